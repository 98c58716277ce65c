#include "backup/Backup.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QUrl>
#include <cerrno>
#include <cstdio>
#include <memory>

namespace backup {

namespace {

const QString kManifest = QStringLiteral("ソラバコのバックアップ.txt");
const QByteArray kManifestFirstLine = QByteArrayLiteral("SORABAKO-BACKUP 1");
const QString kStaging = QStringLiteral(".sorabako-restore");
const QString kStagingPart = QStringLiteral(".sorabako-restore.part");
const QString kDatabase = QStringLiteral("DATA/rireki.sqlite");
const QStringList kDatabaseCompanions{QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")};

// Far beyond a seller's data; an archive that unpacks to more is no backup of ours (or a bomb).
constexpr qint64 kLargestTotal = 4LL * 1024 * 1024 * 1024;
constexpr int kMostEntries = 500000;

using Archive = std::unique_ptr<archive, void (*)(archive*)>;
Archive reader() {
    return Archive(archive_read_new(), [](archive* a) { archive_read_free(a); });
}
Archive writer() {
    return Archive(archive_write_new(), [](archive* a) { archive_write_free(a); });
}

QString archiveError(archive* a) {
    const char* text = archive_error_string(a);
    return text ? QString::fromLocal8Bit(text) : QString();
}

// A path inside the archive that may be written below the program folder: relative, no part
// that climbs or stays, inside one of the backup's folders (or the manifest itself).
bool safePath(const QString& path) {
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char('\\')) || path.contains(QChar(0))) return false;
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty()) return false;
    for (const QString& part : parts)
        if (part == QLatin1String("..") || part == QLatin1String(".")) return false;
    if (parts.size() == 1 && parts.first() == kManifest) return true;
    return folders().contains(parts.first());
}

QString entryPath(archive_entry* entry) {
    const char* utf8 = archive_entry_pathname_utf8(entry);
    QString path = utf8 ? QString::fromUtf8(utf8) : QString::fromLocal8Bit(archive_entry_pathname(entry));
    while (path.endsWith(QLatin1Char('/'))) path.chop(1);
    return path;
}

bool syncFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// The database as one consistent moment, whatever another connection writes meanwhile.
bool copyDatabase(const QString& from, const QString& to, QString* problem) {
    sqlite3* source = nullptr;
    sqlite3* target = nullptr;
    auto closeBoth = [&] {
        sqlite3_close(source);
        sqlite3_close(target);
    };
    if (sqlite3_open_v2(QFile::encodeName(from).constData(), &source, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_open_v2(QFile::encodeName(to).constData(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        *problem = QStringLiteral("履歴のデータベースを開けませんでした。");
        closeBoth();
        return false;
    }
    sqlite3_busy_timeout(source, 2000);
    sqlite3_backup* copy = sqlite3_backup_init(target, "main", source, "main");
    if (!copy) {
        *problem = QStringLiteral("履歴のデータベースをコピーできませんでした。");
        closeBoth();
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    int rc = SQLITE_OK;
    do {
        rc = sqlite3_backup_step(copy, -1);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) sqlite3_sleep(50);
    } while ((rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && waited.elapsed() < 30000);
    sqlite3_backup_finish(copy);
    bool ok = rc == SQLITE_DONE;
    if (ok) {
        sqlite3_stmt* check = nullptr;
        ok = sqlite3_prepare_v2(target, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK && sqlite3_step(check) == SQLITE_ROW &&
             qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok") == 0;
        sqlite3_finalize(check);
    }
    closeBoth();
    if (!ok)
        *problem = rc == SQLITE_DONE ? QStringLiteral("履歴のデータベースのコピーが壊れていました。")
                                     : QStringLiteral("履歴のデータベースをコピーできませんでした（他のプログラムが使い続けています）。");
    return ok;
}

bool databaseIntact(const QString& path) {
    sqlite3* db = nullptr;
    // Immutable: the check leaves no write-ahead log or shared-memory file beside the copy.
    const QByteArray uri = "file:" + QUrl::fromLocalFile(path).toEncoded(QUrl::RemoveScheme) + "?immutable=1";
    bool ok = sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) == SQLITE_OK;
    sqlite3_stmt* check = nullptr;
    ok = ok && sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK && sqlite3_step(check) == SQLITE_ROW &&
         qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok") == 0;
    sqlite3_finalize(check);
    sqlite3_close(db);
    return ok;
}

QStringList filesBelow(const QString& root) {
    QStringList files;
    for (const QString& folder : folders()) {
        QDirIterator it(QDir(root).filePath(folder), QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString relative = QDir(root).relativeFilePath(path);
            // Lock files, half-written temporaries and the live database (copied on its own).
            if (QFileInfo(path).fileName().startsWith(QLatin1Char('.'))) continue;
            bool database = relative == kDatabase;
            for (const QString& c : kDatabaseCompanions) database = database || relative == kDatabase + c;
            if (!database) files << relative;
        }
    }
    files.sort();
    return files;
}

bool addFile(archive* a, const QString& name, const QString& path, QString* problem) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        *problem = QStringLiteral("「%1」を読めませんでした。").arg(name);
        return false;
    }
    std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(archive_entry_new(), archive_entry_free);
    archive_entry_set_pathname_utf8(entry.get(), name.toUtf8().constData());
    archive_entry_set_size(entry.get(), in.size());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_mtime(entry.get(), QFileInfo(path).lastModified().toSecsSinceEpoch(), 0);
    if (archive_write_header(a, entry.get()) != ARCHIVE_OK) {
        *problem = QStringLiteral("バックアップに「%1」を書き込めませんでした。%2").arg(name, archiveError(a));
        return false;
    }
    QByteArray chunk;
    while (!(chunk = in.read(1 << 16)).isEmpty())
        if (archive_write_data(a, chunk.constData(), size_t(chunk.size())) != chunk.size()) {
            *problem = QStringLiteral("バックアップに「%1」を書き込めませんでした。%2").arg(name, archiveError(a));
            return false;
        }
    return true;
}

// Reads the archive entry by entry; `each` gets a regular file's path and the reader at its data.
// Everything is checked before `each` sees an entry.
QString walk(const QString& path, const std::function<bool(const QString&, archive*, QString*)>& each, QString* madeAt) {
    if (!QFileInfo(path).isFile()) return QStringLiteral("「%1」はファイルではありません。").arg(QFileInfo(path).fileName());
    Archive a = reader();
    archive_read_support_format_zip_seekable(a.get());
    if (archive_read_open_filename(a.get(), QFile::encodeName(path).constData(), 1 << 16) != ARCHIVE_OK)
        return QStringLiteral("zipファイルとして読めません（壊れているか、途中までしかありません）。");
    archive_entry* entry = nullptr;
    bool manifest = false;
    int count = 0;
    for (;;) {
        const int rc = archive_read_next_header(a.get(), &entry);
        if (rc == ARCHIVE_EOF) break;
        if (rc != ARCHIVE_OK && rc != ARCHIVE_WARN) return QStringLiteral("zipファイルが壊れています。%1").arg(archiveError(a.get()));
        if (++count > kMostEntries) return QStringLiteral("ファイルの数が多すぎます。ソラバコのバックアップではありません。");
        const QString name = entryPath(entry);
        const auto type = archive_entry_filetype(entry);
        if (!safePath(name) || (type != AE_IFREG && type != AE_IFDIR))
            return QStringLiteral("ソラバコのバックアップにない場所のファイル「%1」があります。このファイルは戻せません。").arg(name);
        if (type == AE_IFDIR) continue;
        if (name == kManifest) {
            QByteArray text(64 * 1024, '\0');
            const la_ssize_t n = archive_read_data(a.get(), text.data(), size_t(text.size()));
            if (n < 0) return QStringLiteral("zipファイルが壊れています。%1").arg(archiveError(a.get()));
            text.truncate(int(n));
            const QList<QByteArray> lines = text.split('\n');
            manifest = lines.value(0).trimmed() == kManifestFirstLine;
            if (madeAt) *madeAt = QString::fromUtf8(lines.value(1).trimmed());
            continue;
        }
        QString problem;
        if (!each(name, a.get(), &problem)) return problem;
    }
    if (!manifest) return QStringLiteral("ソラバコのバックアップではありません（%1がありません）。").arg(kManifest);
    return QString();
}

// Reads an entry's data to its end (checksums are checked there), into `out` when given. The
// bytes are counted as they come, not as the archive declares them: `budget` is what may still come.
bool readData(archive* a, const QString& name, QFile* out, qint64* budget, QString* problem) {
    char buffer[1 << 16];
    for (;;) {
        const la_ssize_t n = archive_read_data(a, buffer, sizeof buffer);
        if (n == 0) return true;
        if (n < 0) {
            *problem = QStringLiteral("「%1」が壊れています。%2").arg(name, archiveError(a));
            return false;
        }
        *budget -= n;
        if (*budget < 0) {
            *problem = QStringLiteral("中身が大きすぎます。ソラバコのバックアップではありません。");
            return false;
        }
        if (out && out->write(buffer, n) != n) {
            *problem = QStringLiteral("「%1」を書き込めませんでした。ディスクの空きを確認して下さい。").arg(name);
            return false;
        }
    }
}

// Moves a file, never over another one (a file kept aside must never be replaced by the next);
// across file systems (a folder that is a mount of another disk) by a synced copy.
bool moveInto(const QString& from, const QString& to) {
    if (QFileInfo::exists(to) || !QDir().mkpath(QFileInfo(to).absolutePath())) return false;
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) return true;
    if (errno != EXDEV || !QFile::copy(from, to)) return false;
    if (!syncFile(to)) {
        QFile::remove(to);
        return false;
    }
    return QFile::remove(from);
}

}  // namespace

const QStringList& folders() {
    static const QStringList list{QStringLiteral("INI"), QStringLiteral("USER"), QStringLiteral("DATA"), QStringLiteral("MAST"),
                                  QStringLiteral("Template")};
    return list;
}

QString suggestedName(const QDateTime& at) {
    return QStringLiteral("ソラバコ_バックアップ_%1.zip").arg(at.toString(QStringLiteral("yyyyMMdd-HHmm")));
}

bool make(const QString& programFolder, const QString& archivePath, QString* problem) {
    QTemporaryDir scratch;
    const QString db = QDir(programFolder).filePath(kDatabase);
    const QString dbCopy = scratch.filePath(QStringLiteral("rireki.sqlite"));
    const bool withDatabase = QFileInfo(db).isFile();
    if (withDatabase && !copyDatabase(db, dbCopy, problem)) return false;

    const QFileInfo target(archivePath);
    const QString part = target.absoluteDir().filePath(QStringLiteral(".%1.part").arg(target.fileName()));
    Archive a = writer();
    archive_write_set_format_zip(a.get());
    archive_write_set_options(a.get(), "hdrcharset=UTF-8");
    bool ok = archive_write_open_filename(a.get(), QFile::encodeName(part).constData()) == ARCHIVE_OK;
    if (!ok) *problem = QStringLiteral("バックアップのファイルを作れませんでした。%1").arg(archiveError(a.get()));
    if (ok) {
        const QString manifestPath = scratch.filePath(QStringLiteral("manifest"));
        QFile manifest(manifestPath);
        ok = manifest.open(QIODevice::WriteOnly) &&
             manifest.write(kManifestFirstLine + "\n" + QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + "\n") > 0;
        manifest.close();
        ok = ok && addFile(a.get(), kManifest, manifestPath, problem);
    }
    for (const QString& file : filesBelow(programFolder)) {
        if (!ok) break;
        ok = addFile(a.get(), file, QDir(programFolder).filePath(file), problem);
    }
    if (ok && withDatabase) ok = addFile(a.get(), kDatabase, dbCopy, problem);
    if (archive_write_close(a.get()) != ARCHIVE_OK && ok) {
        *problem = QStringLiteral("バックアップのファイルを書き終えられませんでした。%1").arg(archiveError(a.get()));
        ok = false;
    }
    a.reset();
    if (ok && !syncFile(part)) {
        *problem = QStringLiteral("バックアップのファイルを書き終えられませんでした。ディスクの空きを確認して下さい。");
        ok = false;
    }
    if (ok && ::rename(QFile::encodeName(part).constData(), QFile::encodeName(archivePath).constData()) != 0) {
        *problem = QStringLiteral("バックアップのファイルを置けませんでした。");
        ok = false;
    }
    if (!ok) QFile::remove(part);
    return ok;
}

Contents inspect(const QString& archivePath) {
    Contents contents;
    qint64 budget = kLargestTotal;
    contents.problem = walk(
        archivePath,
        [&](const QString& name, archive* a, QString* problem) {
            contents.files << name;
            const bool ok = readData(a, name, nullptr, &budget, problem);
            contents.bytes = kLargestTotal - budget;
            return ok;
        },
        &contents.madeAt);
    if (!contents.problem.isEmpty()) contents.files.clear();
    return contents;
}

QStringList replaced(const Contents& contents, const QString& programFolder) {
    QStringList files;
    for (const QString& file : contents.files)
        if (QFileInfo::exists(QDir(programFolder).filePath(file))) files << file;
    return files;
}

bool stage(const QString& archivePath, const QString& programFolder, QString* problem) {
    QDir root(programFolder);
    // Read whole first: nothing is written for an archive that is damaged, foreign or too large
    // for the disk the seller's files are on.
    const Contents contents = inspect(archivePath);
    if (!contents.problem.isEmpty()) {
        *problem = contents.problem;
        return false;
    }
    const qint64 room = QStorageInfo(programFolder).bytesAvailable();
    if (room >= 0 && room < contents.bytes + 64LL * 1024 * 1024) {
        *problem = QStringLiteral("ディスクの空きが足りません（%1 MB 必要です）。").arg((contents.bytes >> 20) + 64);
        return false;
    }
    const QString part = root.filePath(kStagingPart);
    QDir(part).removeRecursively();
    QString madeAt;
    qint64 budget = kLargestTotal;
    const QString why = walk(
        archivePath,
        [&](const QString& name, archive* a, QString* p) {
            const QString path = QDir(part).filePath(name);
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile out(path);
            if (!out.open(QIODevice::WriteOnly)) {
                *p = QStringLiteral("「%1」を書き込めませんでした。").arg(name);
                return false;
            }
            if (!readData(a, name, &out, &budget, p)) return false;
            if (!out.flush() || ::fsync(out.handle()) != 0) {
                *p = QStringLiteral("「%1」を書き込めませんでした。ディスクの空きを確認して下さい。").arg(name);
                return false;
            }
            return true;
        },
        &madeAt);
    if (why.isEmpty() && QFileInfo(QDir(part).filePath(kDatabase)).isFile() && !databaseIntact(QDir(part).filePath(kDatabase))) {
        *problem = QStringLiteral("バックアップの中の履歴のデータベースが壊れています。");
        QDir(part).removeRecursively();
        return false;
    }
    if (!why.isEmpty()) {
        *problem = why;
        QDir(part).removeRecursively();
        return false;
    }
    for (const QString& c : kDatabaseCompanions) QFile::remove(QDir(part).filePath(kDatabase + c));
    QDir(root.filePath(kStaging)).removeRecursively();
    if (!root.rename(kStagingPart, kStaging)) {
        *problem = QStringLiteral("戻す準備ができませんでした。");
        QDir(part).removeRecursively();
        return false;
    }
    return true;
}

bool hasStaged(const QString& programFolder) { return QFileInfo(QDir(programFolder).filePath(kStaging)).isDir(); }

bool dropStaged(const QString& programFolder) { return QDir(QDir(programFolder).filePath(kStaging)).removeRecursively(); }

bool applyStaged(const QString& programFolder, QString* aside, QString* problem) {
    QDir root(programFolder);
    const QString staging = root.filePath(kStaging);
    // One folder kept aside per restore, whichever attempt puts it in place: its name is kept
    // with the staged files, so a restore that stopped half-way goes on into the same folder.
    QFile note(QDir(staging).filePath(QStringLiteral(".aside")));
    QString keep = note.open(QIODevice::ReadOnly) ? QString::fromUtf8(note.readAll()).trimmed() : QString();
    note.close();
    if (keep.isEmpty()) {
        const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        keep = root.filePath(QStringLiteral("退避/バックアップから戻す前_%1").arg(stamp));
        for (int n = 2; QFileInfo::exists(keep); ++n)
            keep = root.filePath(QStringLiteral("退避/バックアップから戻す前_%1_%2").arg(stamp).arg(n));
        if (!note.open(QIODevice::WriteOnly) || note.write(keep.toUtf8()) <= 0 || !note.flush()) {
            *problem = QStringLiteral("戻す準備のフォルダに書き込めませんでした。");
            return false;
        }
        note.close();
    }
    *aside = keep;
    QDirIterator it(staging, QDir::Files, QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext()) files << QDir(staging).relativeFilePath(it.next());
    for (const QString& file : files) {
        if (file.startsWith(kDatabase + QLatin1Char('-'))) continue;  // only the database itself is restored
        QStringList current{file};
        if (file == kDatabase)
            for (const QString& c : kDatabaseCompanions) current << file + c;
        for (const QString& c : current)
            if (QFileInfo::exists(root.filePath(c)) && !moveInto(root.filePath(c), QDir(keep).filePath(c))) {
                *problem = QStringLiteral("「%1」を退避できませんでした。").arg(c);
                return false;
            }
        if (!moveInto(QDir(staging).filePath(file), root.filePath(file))) {
            *problem = QStringLiteral("「%1」を戻せませんでした。").arg(file);
            return false;
        }
    }
    QDir(staging).removeRecursively();
    return true;
}

}  // namespace backup
