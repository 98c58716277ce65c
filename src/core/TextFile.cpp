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

bool writeCp932Lines(const QString& path, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) bytes += cp932::encode(line) + "\r\n";
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

}  // namespace TextFile
