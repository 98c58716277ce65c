#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

class QSqlDatabase;
class QSqlError;
class QSqlQuery;

// What the seller keeps of the listings over time: a SQLite database below
// DATA/ with every completed scan, kept per listing (keyed by auction ID and
// scan time, so that a listing is compared with its own previous figures and
// its accesses, watches, bids and price can be followed), and the record of
// each listing the program took through the site's form.
//
// The database has a schema version and migrations; a scan is stored in one
// transaction; several programs may use one folder at once (SQLite's locks,
// write-ahead log). A database that is no database (damaged) is moved aside,
// never deleted, and a new one is started.
class HistoryStore {
public:
    static constexpr int kSchemaVersion = 5;

    // Why the history did not do what was asked. The windows say it in words of their own.
    enum class Error {
        None,
        NoDriver,         // Qt's SQLite driver is not installed
        NoFolder,         // the folder the database belongs in is not there
        Busy,             // another program holds the database for longer than a store waits
        Newer,            // written by a newer version of the program (its schema is unknown here)
        Damaged,          // damaged (quick_check), and so is the new one started in its place
        CannotMoveAside,  // damaged, and it could not be renamed to make room for a new one
        NoAuctionId,      // a listing's record without its auction ID
        Refused,          // the database could not be opened, read or written (permissions, a full disk)
    };

    // One listing in one scan, as the grid showed it: what a scan gives the history to keep.
    struct Row {
        QString address;  // the listing's item page: its auction ID follows it from scan to scan
        QString title, access, watch, bids, timeLeft, price;
    };

    // One listing in one stored scan.
    struct Entry {
        QDateTime taken;
        QString auctionId;
        int row = 0;                                          // its row in that scan's grid
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

    // The seller's database in the program folder (DATA/rireki.sqlite).
    static QString programFile();

    explicit HistoryStore(const QString& path);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // Opens (creating or migrating) the database. MovedAside: it was damaged,
    // kept as movedAsidePath(), and a new one started. Failed: see error().
    Opened open();
    bool isOpen() const { return m_open; }
    Error error() const { return m_error; }
    QString movedAsidePath() const { return m_movedAside; }
    QString path() const { return m_path; }

    // The scan's rows, in one transaction; false (and nothing stored) when
    // the database is locked by another program for longer than it waits
    // (Error::Busy, which passes), or cannot be written. `kept`: the seller kept it
    // (前回保存) as the base of the next comparison; every complete scan is stored for
    // the history. A scan stored already (a scan of the same time) is not stored again: true.
    bool store(const QDateTime& taken, const QList<Row>& rows, bool kept = true);

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

    // Runs `work` in one transaction on the database: committed when it returns true, rolled
    // back (nothing changed) when it returns false or the commit fails; error() says why.
    // `work` reports a failed statement through failedWith().
    bool inTransaction(const std::function<bool(QSqlDatabase&)>& work);
    // The database for reading, as it is committed; nothing when it is not open.
    std::optional<QSqlDatabase> database() const;
    void failedWith(const QSqlError& why) { failed(why); }

    // The auction ID in an item page's address (".../jp/auction/ID", fragment and query ignored).
    static QString auctionIdOf(const QString& address);

    // "SELECT <an entry's columns> FROM <its tables>", for a WHERE to follow; entryOf reads a row of it.
    static QString entrySelect();
    static Entry entryOf(const QSqlQuery& row);

    // Times are stored as UTC text with milliseconds: sortable, and the same on every machine.
    static QString stamp(const QDateTime& t);
    static QDateTime fromStamp(const QString& s);

private:
    bool migrate();
    bool exec(const QString& sql);
    void failed(const QSqlError& why);

    QString m_path;
    QString m_connection;
    bool m_open = false;
    Error m_error = Error::None;
    QString m_movedAside;
    QHash<QString, QVariant> m_titleIds;  // titles this program has seen committed
};
