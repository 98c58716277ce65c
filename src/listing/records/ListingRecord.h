#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <optional>

// Every listing the queue saw through to the site's completion page, kept as
// it went out: its auction ID, time, title, category, description, the memory
// file as it was, and what the site's confirmation page showed. A folder per
// listing below USER/出品記録/, whatever its memory file becomes later.
namespace listingrecord {

struct Record {
    QString auctionId;
    QString listedAt;  // ISO time
    QString title;
    QString category;
    QString categoryAddress;
    QString description;
    QString sourceFile;                           // the memory file it was listed from
    QList<QPair<QString, QString>> confirmation;  // the confirmation page's rows, as it showed them
    QString folder;                               // where it is kept (when read back)
};

QString recordsRoot();
inline const QString kMemoryFileName = QStringLiteral("記憶ファイル.srb");

// Keeps the record and the memory file's bytes as they went out; the folder, or empty
// with the reason. A listing recorded already is not written over.
QString write(const Record& record, const QByteArray& memoryFile, QString* problem, const QString& root = recordsRoot());
std::optional<Record> read(const QString& folder);
// Every record, the newest first; a folder that is no record is passed over.
QList<Record> all(const QString& root = recordsRoot());
// The folder a listing's record is kept in (whether or not it is there).
QString folderOf(const QString& auctionId, const QString& root = recordsRoot());
// The records kept below `root` whose listing is none of `known` (auction IDs), the newest
// first: only the folders of the others are read.
QList<Record> notAmong(const QStringList& known, const QString& root = recordsRoot());
// Newest first, as all() gives them.
void sortNewestFirst(QList<Record>& records);
// Those whose title or auction ID holds `text` (letter case aside).
QList<Record> search(const QList<Record>& records, const QString& text);
QString memoryFileOf(const Record& record);

// The start price lowered by `percent` (whole yen, rounded down, at least 1 yen).
QString lowered(const QString& startPrice, int percent);
// A memory file to list the record again: the one that went out, its start price lowered
// by `percent` (0: as it was). The path, or empty with the reason.
QString relistFile(const Record& record, int percent, QString* problem);

}  // namespace listingrecord
