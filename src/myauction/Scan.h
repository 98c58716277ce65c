#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

// The my-auction check as values: the walk over the open-listings pages, the
// figures of an item page, the rows they make, and the previous scan's file.
namespace scan {

constexpr int kColumns = 15;

struct Link {
    QString text;  // visible text, untrimmed
    QString href;
};

// What an item page gives: read from its markup.
struct Figures {
    QString price;     // column 6, digits only
    QString watch;     // column 3
    QString timeLeft;  // column 5
    QString access;    // column 2
};
Figures parseItemFigures(const QString& pageText);

// One thing the walk does with a link, in walking order.
struct Step {
    enum class Kind { Title, Bid } kind;
    QString address;  // whose figures are fetched
    QString text;     // the link's untrimmed text
    int counter;      // the walk's counter when it met the link
    bool addsRow;     // a title that is not a page link (次の50件, 前の50件)
};

// The walk over the open-listings pages, as one run of the rules: `pages`
// holds the links of the pages loaded so far (no value for a page that did
// not load). When the walk reaches a page it does not have yet, `missing` is
// that page's address and the steps are not complete: load it and walk again.
struct Walk {
    QList<Step> steps;
    QString missing;
};
Walk walk(const QString& firstPage, const QHash<QString, std::optional<QList<Link>>>& pages);

// What a loaded page of the open listings is: the list (its 残り時間 link
// heads the list, even an empty one), the site asking for a sign-in (a password
// field), or something else (garbage, another page).
enum class ListPage { List, SignedOut, Unknown };
ListPage classifyListPage(const QList<Link>& links, bool asksForSignIn);

// Why the list could not be read, for the seller: the first list page's problem.
enum class ListProblem { None, NoAnswer, ServerError, Unreadable, TooLarge, SignedOut };
QString listProblemMessage(ListProblem problem, int httpStatus);

// The addresses whose figures the walk needs, each once, in walking order.
QStringList fetchList(const QList<Step>& steps);

using Rgb = unsigned int;  // 0xRRGGBB; 0 for no colour of its own
constexpr Rgb kCurrent = 0xFEEAE0;   // columns 2–6 of a new row
constexpr Rgb kPrevious = 0xE4FEE0;  // columns 7–10 of a new row
constexpr Rgb kWatched = 0xC7DEE0;   // column 3 when the watch count is not 0
constexpr Rgb kBid = 0xFFFF00;       // columns 1–14 of a row that received a bid count
constexpr Rgb kChanged = 0xF7A2B0;   // a difference that is not 0

struct Row {
    std::array<QString, kColumns> cells;
    std::array<Rgb, kColumns> colours{};
    QString address;  // the listing's item page (its auction ID follows it from scan to scan)
    bool listedSinceLastScan = false;  // nothing earlier to compare with: no differences shown
};

// The rows the walk makes from the fetched figures (no value for a page that
// could not be fetched: its row shows empty figures, never another row's).
QList<Row> buildRows(const QList<Step>& steps, const QHash<QString, std::optional<Figures>>& fetched,
                     int* failedSteps = nullptr);

// The previous scan's file: row k of the grid takes line k, while both last.
void applyPrevious(QList<Row>& rows, const QString& fileText);
// Columns 11 to 14: current minus previous, empty when 0, coloured when not.
void compare(QList<Row>& rows);
// The file's lines for the rows: access, watch and bids as "00000", the price as it is.
QStringList previousLines(const QList<Row>& rows);
QString fiveDigits(const QString& cell);

// "h:m" without leading zeros (9:5).
QString clockText(int hour, int minute);

inline const QString kNextPage = QStringLiteral("次の50件");
inline const QString kPriceLabel = QStringLiteral("現在の価格：");
inline const QString kPreviousPage = QStringLiteral("前の50件");

}  // namespace scan
