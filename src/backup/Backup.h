#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The seller's whole data in one zip file, and back: the settings, the memory
// files and records, the history database, the site definition, the seller's
// own templates and lists. The database is copied by SQLite's online backup,
// so a backup taken while the program stores rows is a consistent one.
//
// Restoring never writes into the program folder while the program uses it:
// the archive is read whole and checked first (every path below the folders a
// backup holds, every checksum, the database's integrity), unpacked into a
// staging folder, and put in place when the program ends (or, if it was
// killed, when it starts next), the files it replaces moved aside first.
namespace backup {

// The folders below the program folder a backup holds.
const QStringList& folders();

// "ソラバコ_バックアップ_20261210-1030.zip"
QString suggestedName(const QDateTime& at);

// Writes the archive (beside it first, then renamed over it). False with `problem` (Japanese).
bool make(const QString& programFolder, const QString& archive, QString* problem);

struct Contents {
    QString problem;    // Japanese; why the file is no backup of this program, or damaged
    QString madeAt;     // as the archive says
    QStringList files;  // relative paths
    qint64 bytes = 0;   // what they unpack to
};
// Reads every byte of the archive, checking each entry, writing nothing.
Contents inspect(const QString& archive);

// The files of the archive that `programFolder` has now, which restoring would replace.
QStringList replaced(const Contents& contents, const QString& programFolder);

// Unpacks a checked archive into the staging folder of `programFolder`. False with `problem`.
bool stage(const QString& archive, const QString& programFolder, QString* problem);
bool hasStaged(const QString& programFolder);
// The staged restore given up (the program was not ended after all): nothing in place changes.
bool dropStaged(const QString& programFolder);
// Puts a staged restore in place: each file it replaces moved first into `aside`
// (退避/<time>/ below the program folder). False with `problem`; what was moved stays moved
// and the rest stays staged, so the next call goes on.
bool applyStaged(const QString& programFolder, QString* aside, QString* problem);

}  // namespace backup
