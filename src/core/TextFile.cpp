#include "core/TextFile.h"

#include <QFile>
#include <QSaveFile>

#include "core/Cp932.h"

namespace TextFile {

bool readCp932(const QString& path, QString* text) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    *text = cp932::decode(f.readAll());
    return true;
}

Read readCp932Text(const QString& path, QString* text) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return Read::Missing;
    const QByteArray bytes = f.readAll();
    if (bytes.contains('\0')) return Read::NotText;
    const QString decoded = cp932::decode(bytes);
    if (decoded.contains(QChar(0xFFFD))) return Read::NotText;
    *text = decoded;
    return Read::Ok;
}

bool writeCp932Lines(const QString& path, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) bytes += cp932::encode(line) + "\r\n";
    return writeBytes(path, bytes);
}

namespace {
WriteLimit& writeLimit() {
    static WriteLimit limit;
    return limit;
}
}  // namespace

void setWriteLimitForTests(WriteLimit limit) { writeLimit() = std::move(limit); }

bool writeBytes(const QString& path, const QByteArray& bytes, bool ownerOnly) {
    const qint64 allowed = writeLimit() ? writeLimit()(path, bytes.size()) : -1;
    if (allowed == 0) return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (ownerOnly) f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (allowed > 0 && allowed < bytes.size()) {
        f.write(bytes.left(allowed));  // the disk fills up here
        f.cancelWriting();
        return false;
    }
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

}  // namespace TextFile
