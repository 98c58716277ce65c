#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

#include "store/HistoryStore.h"

// A complete scan the history could not take while another program held it is
// not lost: it waits in a file of its own beside the database (JSON, replaced
// whole under a lock file) and is stored later, oldest first, each scan once.
namespace pendingscans {

// A scan waiting to be stored: only what the history keeps of its rows.
struct PendingScan {
    QDateTime taken;
    QList<HistoryStore::Row> rows;
    bool kept = false;
};
QByteArray pendingBytes(const QList<PendingScan>& scans);
// Nothing when the bytes are no pending file.
std::optional<QList<PendingScan>> pendingFromBytes(const QByteArray& bytes);

// The lock file that lets one program, and one thread, at a time read and replace the pending file.
QString lockPath(const QString& pendingPath);
// The scans waiting, oldest first. A file that is no pending file is kept aside, never deleted, and counts as none.
QList<PendingScan> read(const QString& pendingPath);
// Replaces the file with these scans; none: the file goes.
bool write(const QString& pendingPath, const QList<PendingScan>& scans);
// Oldest first, until one is not taken: the history stays in the order the scans were taken.
// Returns how many were stored; they leave `scans`.
int storeWaiting(HistoryStore& history, QList<PendingScan>& scans);

}  // namespace pendingscans
