#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

#include "site/OpenListings.h"
#include "store/HistoryStore.h"

// The my-auction check as values: the walk over the open-listings pages, the
// figures of an item page, the rows they make, and the previous scan's file.
namespace scan {

constexpr int kColumns = 15;

// Why the list could not be read, for the seller: the first list page's problem.
enum class ListProblem { None, NoAnswer, ServerError, Unreadable, TooLarge, SignedOut };
QString listProblemMessage(ListProblem problem, int httpStatus);

using Rgb = unsigned int;            // 0xRRGGBB; 0 for no colour of its own
constexpr Rgb kCurrent = 0xFEEAE0;   // columns 2–6 of a new row
constexpr Rgb kPrevious = 0xE4FEE0;  // columns 7–10 of a new row
constexpr Rgb kWatched = 0xC7DEE0;   // column 3 when the watch count is not 0
constexpr Rgb kBid = 0xFFFF00;       // columns 1–14 of a row that received a bid count
constexpr Rgb kChanged = 0xF7A2B0;   // a difference that is not 0

struct Row {
    std::array<QString, kColumns> cells;
    std::array<Rgb, kColumns> colours{};
    QString address;                   // the listing's item page (its auction ID follows it from scan to scan)
    bool listedSinceLastScan = false;  // nothing earlier to compare with: no differences shown
};

// The rows the walk makes from the fetched figures (no value for a page that
// could not be fetched: its row shows empty figures, never another row's).
QList<Row> buildRows(const QList<Step>& steps, const QHash<QString, std::optional<Figures>>& fetched, int* failedSteps = nullptr);

// The previous scan's file: row k of the grid takes line k, while both last.
void applyPrevious(QList<Row>& rows, const QString& fileText);
// Columns 11 to 14: current minus previous, empty when 0, coloured when not.
void compare(QList<Row>& rows);
// The file's lines for the rows: access, watch and bids as "00000", the price as it is.
QStringList previousLines(const QList<Row>& rows);
QString fiveDigits(const QString& cell);

// "h:m" without leading zeros (9:5).
QString clockText(int hour, int minute);

// The grid's columns the history keeps, and the previous figures it gives back.
enum Column {
    kTitle = 1,
    kAccess = 2,
    kWatch = 3,
    kBids = 4,
    kTimeLeft = 5,
    kPrice = 6,
    kPreviousAccess = 7,
    kPreviousWatch = 8,
    kPreviousBids = 9,
    kPreviousPrice = 10
};

// What the history keeps of the rows.
QList<HistoryStore::Row> storedRows(const QList<Row>& rows);

// What a scan shows when the history knows the listings: the previous
// columns (7 to 10) from each listing's own previous figures, new listings
// marked, the rest left as the file put them (by position).
struct Comparison {
    int byId = 0;              // rows compared with their own listing's previous scan
    int byPosition = 0;        // rows left with the positional previous values
    int fresh = 0;             // listings the history has never seen
    int ended = 0;             // listings of the previous scan that are gone
    bool endedCounted = true;  // false when list pages were missing: their listings would look ended
};
constexpr Rgb kNew = 0xD6EAF8;  // the previous columns of a listing new since the last scan
inline const QString kNewMark = QStringLiteral("新規");

// Applies the history's previous figures to `rows` (before compare).
// `previous` is latestBefore(the rows' IDs, now); `lastIds` the IDs of the previous scan (empty: none).
// `wholeList`: every list page of this scan was read, so a listing not among the rows has ended.
Comparison applyPreviousById(QList<Row>& rows, const QHash<QString, HistoryStore::Entry>& previous, const QStringList& lastIds,
                             bool wholeList = true);

// Whether the previous-scan file is the one that scan wrote: a kept scan the
// history could not store leaves a file of its own, newer than the history's base.
bool isPreviousFileOf(const HistoryStore::Base& base, const QString& fileText);

}  // namespace scan
