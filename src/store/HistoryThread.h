#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

#include "store/HistoryStore.h"
#include "store/SalesTable.h"

// What the windows ask of the history, each call on a connection of its own,
// so it can run on a thread of its own: a database another program holds makes
// the call wait (SQLite's busy wait), never the window.
namespace historythread {

// What a scan asks: the base of its comparison, and (a complete scan) its store.
// A complete scan the history could not take while another program held it waits
// in the pending file (`pendingPath`, see PendingScans.h) and is stored before the
// next scan, when the pane tries again, or at the next start; each scan once.
struct Request {
    QString path;
    QString pendingPath;  // empty: a scan the history cannot take is not kept
    QDateTime taken;
    QList<HistoryStore::Row> rows;
    bool store = false;  // a complete scan
    bool kept = false;   // 前回保存 was ticked
};
struct Answer {
    HistoryStore::Opened opened = HistoryStore::Opened::Failed;
    QString movedAside;
    HistoryStore::Error error = HistoryStore::Error::None;
    std::optional<HistoryStore::Base> base;  // the last kept scan before this one
    bool stored = false;
    bool pending = false;   // not stored, and waiting in the pending file to be
    int pendingStored = 0;  // scans that waited, stored now (before this one)
    int pendingLeft = 0;    // scans still waiting, this one included
};
Answer ask(const Request& request);

// The waiting scans stored, oldest first, until one is not taken; what is left stays in the file.
struct PendingResult {
    int stored = 0;
    int left = 0;
};
PendingResult storePending(const QString& path, const QString& pendingPath);

// Stores listings' records (one transaction for all of them).
bool storeListed(const QString& path, const QList<HistoryStore::Listed>& listings, HistoryStore::Error* error);
// Every listing's record the history holds, newest first, with the columns a list of them shows
// (no confirmation rows): one query on a read-only connection of its own, without the check of the
// whole file open() makes, so a list opens at once. Nothing when the history cannot be read.
std::optional<QList<HistoryStore::Listed>> listings(const QString& path);

// Every sale, as listings() reads the records: read-only, no check, nothing created or moved.
std::optional<QList<salestable::Row>> sales(const QString& path);

}  // namespace historythread
