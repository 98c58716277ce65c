#include "siteform/Picture.h"

#include <QBuffer>
#include <QColorSpace>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include "core/TextFile.h"
#include "site/ListingForm.h"

namespace picture {

Limits siteLimits() { return Limits{site::maxPictureBytes(), kLongSide}; }

namespace {

// A copy holding pixels only: an image read from a file carries its texts and
// colour profile along, and the writer would put them back into the new file.
QImage pixelsOnly(const QImage& image) {
    QImage source = image;
    if (source.colorSpace().isValid() && source.colorSpace() != QColorSpace(QColorSpace::SRgb))
        source.convertToColorSpace(QColorSpace(QColorSpace::SRgb));
    QImage clean(source.size(), QImage::Format_RGB32);
    clean.fill(Qt::white);  // a transparent picture is shown on white, as the site's pages are
    QPainter painter(&clean);
    painter.drawImage(0, 0, source);
    painter.end();
    return clean;
}

QByteArray jpeg(const QImage& image, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.setOptimizedWrite(true);
    if (!writer.write(image)) return QByteArray();
    return bytes;
}

Prepared failed(const QString& source, const QString& why) {
    Prepared p;
    p.problem = QStringLiteral("「%1」%2").arg(QFileInfo(source).fileName(), why);
    return p;
}

}  // namespace

Prepared prepare(const QString& source, const QString& folder, const Limits& limits) {
    if (!QFileInfo(source).isFile()) return failed(source, QStringLiteral("が見つかりません。\r\n") + source);
    QImageReader reader(source);
    reader.setAutoTransform(true);  // the camera's orientation, as the seller saw the picture
    if (!reader.canRead()) return failed(source, QStringLiteral("は画像として読み込めませんでした。\r\n") + source);
    // A camera's full size is decoded smaller at once: no 50-megapixel image in memory.
    const QSize stored = reader.size();
    if (limits.longSide > 0 && stored.isValid() && qMax(stored.width(), stored.height()) > limits.longSide)
        reader.setScaledSize(stored.scaled(limits.longSide, limits.longSide, Qt::KeepAspectRatio));
    const QImage read = reader.read();
    if (read.isNull())
        return failed(source, QStringLiteral("は画像として読み込めませんでした（%1）。\r\n").arg(reader.errorString()) + source);
    QImage image = pixelsOnly(read);
    if (limits.longSide > 0 && qMax(image.width(), image.height()) > limits.longSide)
        image = image.scaled(limits.longSide, limits.longSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);

    // Smaller quality first, then fewer pixels, until the site takes it.
    QByteArray bytes;
    int quality = 90;
    for (;;) {
        bytes = jpeg(image, quality);
        if (bytes.isEmpty()) return failed(source, QStringLiteral("を送れる形に変換できませんでした。\r\n") + source);
        if (limits.maxBytes <= 0 || bytes.size() <= limits.maxBytes) break;
        if (quality > 60) {
            quality -= 10;
        } else if (qMin(image.width(), image.height()) > 64) {
            image = image.scaled(image.size() * 3 / 4, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        } else {
            return failed(source, QStringLiteral("はサイトの大きさの上限に収まりませんでした。\r\n") + source);
        }
    }
    Prepared p;
    p.size = image.size();
    p.path = QDir(folder).filePath(QFileInfo(source).completeBaseName() + QStringLiteral(".jpg"));
    if (!TextFile::writeBytes(p.path, bytes))
        return failed(source, QStringLiteral("を一時ファイルに書き込めませんでした。\r\n") + p.path);
    return p;
}

}  // namespace picture
