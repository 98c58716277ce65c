#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

#include "myauction/Scan.h"

class QSqlError;
class QSqlQuery;

// Every completed scan, kept per listing: a SQLite database below DATA/,
// keyed by auction ID and scan time, so that a listing is compared with its
// own previous figures (not with whatever row stood at its position) and its
// accesses, watches, bids and price can be followed over time.
//
// The database has a schema version and migrations; a scan is stored in one
// transaction; several programs may use one folder at once (SQLite's locks,
// write-ahead log). A database that is no database (damaged) is moved aside,
// never deleted, and a new one is started.
class ScanHistory {
public:
    static constexpr int kSchemaVersion = 3;

    // One listing in one scan.
    struct Entry {
        QDateTime taken;
        QString auctionId;
        int row = 0;  // its row in that scan's grid
        QString title, access, watch, bids, timeLeft, price;  // as the grid showed them
    };

    // A listing the program took through the site's form, as it went out: its
    // record's folder holds the rest (the memory file, the description).
    struct Listed {
        QString auctionId;
        QDateTime listedAt;
        QString title, category, folder;
        QList<QPair<QString, QString>> confirmation;  // what the site's confirmation page showed
    };

    enum class Opened { Ok, MovedAside, Failed };

    explicit ScanHistory(const QString& path);
    ~ScanHistory();
    ScanHistory(const ScanHistory&) = delete;
    ScanHistory& operator=(const ScanHistory&) = delete;

    // Opens (creating or migrating) the database. MovedAside: it was damaged,
    // kept as movedAsidePath(), and a new one started. Failed: see error().
    Opened open();
    bool isOpen() const { return m_open; }
    QString error() const { return m_error; }
    QString movedAsidePath() const { return m_movedAside; }
    QString path() const { return m_path; }

    // The scan's rows, in one transaction; false (and nothing stored) when
    // the database is locked by another program for longer than it waits,
    // or cannot be written. `kept`: the seller kept it (前回保存) as the base
    // of the next comparison; every complete scan is stored for the history.
    // A scan stored already (a scan of the same time) is not stored again: true.
    bool store(const QDateTime& taken, const QList<scan::Row>& rows, bool kept = true);
    // The last failure was another program holding the database (SQLite busy or locked),
    // which passes, rather than a database that cannot be used.
    bool busy() const { return m_busy; }

    // The base of the next comparison: the last scan the seller kept before `before`.
    struct Base {
        QDateTime taken;
        QHash<QString, Entry> byId;
        QStringList ids;  // in row order
    };
    std::optional<Base> keptBefore(const QDateTime& before) const;

    // The most recent figures stored before `before` of each of these listings, by auction ID.
    QHash<QString, Entry> latestBefore(const QStringList& ids, const QDateTime& before) const;
    // The auction IDs of the scan stored last before `before` (to tell which listings ended).
    QStringList idsOfScanBefore(const QDateTime& before) const;
    bool hasScanBefore(const QDateTime& before) const;

    // One listing over time, oldest first.
    QList<Entry> history(const QString& auctionId) const;
    // Every scan's time, newest first, and one scan's rows in grid order.
    QList<QDateTime> scanTimes() const;
    QList<Entry> scanAt(const QDateTime& taken) const;

    // A listing's record: kept once, as it first went out (a second store of the same ID changes nothing).
    bool storeListed(const Listed& listed);
    // Several at once, in one transaction: all or none.
    bool storeListed(const QList<Listed>& listings);
    std::optional<Listed> listed(const QString& auctionId) const;

    // The auction ID in an item page's address (".../jp/auction/ID", fragment and query ignored).
    static QString auctionIdOf(const QString& address);

    // "SELECT <an entry's columns> FROM <its tables>", for a WHERE to follow; entryOf reads a row of it.
    static QString entrySelect();
    static Entry entryOf(const QSqlQuery& row);

private:
    bool migrate();
    bool exec(const QString& sql) const;
    void failed(const QSqlError& why);

    QString m_path;
    QString m_connection;
    bool m_open = false;
    QString m_error;
    QString m_movedAside;
    bool m_busy = false;
    QHash<QString, QVariant> m_titleIds;  // titles this program has seen committed
};

namespace scanhistory {
// What a scan shows when the database knows the listings: the previous
// columns (7 to 10) from each listing's own previous figures, new listings
// marked, the rest left as the file put them (by position).
struct Comparison {
    int byId = 0;        // rows compared with their own listing's previous scan
    int byPosition = 0;  // rows left with the positional previous values
    int fresh = 0;       // listings the database has never seen
    int ended = 0;       // listings of the previous scan that are gone
    bool endedCounted = true;  // false when list pages were missing: their listings would look ended
};
constexpr scan::Rgb kNew = 0xD6EAF8;  // the previous columns of a listing new since the last scan
inline const QString kNewMark = QStringLiteral("新規");

// Applies the database's previous figures to `rows` (before scan::compare).
// `previous` is latestBefore(the rows' IDs, now); `lastIds` the IDs of the previous scan (empty: none).
// `wholeList`: every list page of this scan was read, so a listing not among the rows has ended.
Comparison applyPreviousById(QList<scan::Row>& rows, const QHash<QString, ScanHistory::Entry>& previous,
                             const QStringList& lastIds, bool wholeList = true);

// The time axis of a listing's chart: its range and ticks, and a label format
// fine enough that no two ticks read the same and no coarser than needed:
// times alone within a day, the date with them once the scans span days, the
// date alone over a week or more.
struct TimeAxis {
    QDateTime from, to;
    QString format;  // QDateTime's format
    int ticks = 2;   // including both ends
};
TimeAxis timeAxis(const QDateTime& first, const QDateTime& last);
// The labels that axis shows, tick by tick.
QStringList timeLabels(const TimeAxis& axis);

// CSV text (a header row, then a line per entry, fields quoted where they need it).
QString historyCsv(const QList<ScanHistory::Entry>& entries);

// Whether the previous-scan file is the one that scan wrote: a kept scan the
// history could not store leaves a file of its own, newer than the history's base.
bool isPreviousFileOf(const ScanHistory::Base& base, const QString& fileText);

// What a scan asks of the history, done on a connection of its own, so it can
// run off the window's thread: a database another program holds makes this
// wait (SQLite's busy wait), never the window.
// A complete scan the history could not take while another program held it is
// not lost: it waits in a file of its own beside the database (`pendingPath`,
// JSON, replaced whole under a lock file) and is stored before the next scan,
// when the pane tries again, or at the next start; each scan once.
struct Request {
    QString path;
    QString pendingPath;  // empty: a scan the history cannot take is not kept
    QDateTime taken;
    QList<scan::Row> rows;
    bool store = false;  // a complete scan
    bool kept = false;   // 前回保存 was ticked
};
struct Answer {
    ScanHistory::Opened opened = ScanHistory::Opened::Failed;
    QString movedAside, error;
    std::optional<ScanHistory::Base> base;  // the last kept scan before this one
    bool stored = false;
    bool pending = false;      // not stored, and waiting in the pending file to be
    int pendingStored = 0;     // scans that waited, stored now (before this one)
    int pendingLeft = 0;       // scans still waiting, this one included
};
Answer ask(const Request& request);

// A scan waiting to be stored: only what the history keeps of its rows.
struct PendingScan {
    QDateTime taken;
    QList<scan::Row> rows;
    bool kept = false;
};
QByteArray pendingBytes(const QList<PendingScan>& scans);
// Nothing when the bytes are no pending file.
std::optional<QList<PendingScan>> pendingFromBytes(const QByteArray& bytes);
// The waiting scans stored, oldest first, until one is not taken; what is left stays in the file.
struct PendingResult {
    int stored = 0;
    int left = 0;
};
PendingResult storePending(const QString& path, const QString& pendingPath);
// Stores a listing's record on a connection of its own, so it can run off the window's thread like ask.
bool storeListed(const QString& path, const ScanHistory::Listed& listed, QString* error);
bool storeListed(const QString& path, const QList<ScanHistory::Listed>& listings, QString* error);
// Every listing's record the history holds, newest first, with the columns a list of them shows
// (no confirmation rows): one query on a read-only connection of its own, without the check of the
// whole file open() makes, so a list opens at once. Nothing when the history cannot be read.
std::optional<QList<ScanHistory::Listed>> listings(const QString& path);
QString scanCsv(const QList<ScanHistory::Entry>& entries);
}  // namespace scanhistory
