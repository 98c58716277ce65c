// A seller's picture in any bytes: the declared size, the check that it decodes whole and
// the shrinking decoders (libjpeg's scaling, libpng row by row) read whatever a file holds.
#include "FuzzInput.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "listing/pictures/Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();
    // Both sizes the program asks for: a thumbnail, and the site's long side.
    for (const int longSide : {64, picture::kLongSide}) {
        const picture::Read read = picture::read(path, longSide);
        FUZZ_CHECK(read.image.isNull() != read.problem.isEmpty());
        if (!read.image.isNull()) FUZZ_CHECK(qMax(read.image.width(), read.image.height()) <= longSide);
    }
    return 0;
}
