#include "app/Artwork.h"

#include <QFont>
#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QResource>

namespace Artwork {
namespace {

// A sky with a parcel box: "ソラ" (sky) and "バコ" (box).
void paintBox(QPainter& p, const QRectF& r) {
    const qreal w = r.width(), h = r.height();
    QPainterPath front;
    front.addRect(r.x() + w * 0.10, r.y() + h * 0.35, w * 0.55, h * 0.55);
    QPainterPath top;
    top.moveTo(r.x() + w * 0.10, r.y() + h * 0.35);
    top.lineTo(r.x() + w * 0.35, r.y() + h * 0.15);
    top.lineTo(r.x() + w * 0.90, r.y() + h * 0.15);
    top.lineTo(r.x() + w * 0.65, r.y() + h * 0.35);
    top.closeSubpath();
    QPainterPath side;
    side.moveTo(r.x() + w * 0.65, r.y() + h * 0.35);
    side.lineTo(r.x() + w * 0.90, r.y() + h * 0.15);
    side.lineTo(r.x() + w * 0.90, r.y() + h * 0.70);
    side.lineTo(r.x() + w * 0.65, r.y() + h * 0.90);
    side.closeSubpath();
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x2b), 2));
    p.setBrush(QColor(0xe8, 0xb8, 0x7a));
    p.drawPath(front);
    p.setBrush(QColor(0xf3, 0xcf, 0x9a));
    p.drawPath(top);
    p.setBrush(QColor(0xc9, 0x93, 0x58));
    p.drawPath(side);
    // Packing tape across the lid and down the front.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd9, 0xe8, 0xf5, 200));
    QPainterPath tape;
    tape.moveTo(r.x() + w * 0.34, r.y() + h * 0.35);
    tape.lineTo(r.x() + w * 0.59, r.y() + h * 0.15);
    tape.lineTo(r.x() + w * 0.66, r.y() + h * 0.15);
    tape.lineTo(r.x() + w * 0.41, r.y() + h * 0.35);
    tape.closeSubpath();
    p.drawPath(tape);
    p.drawRect(QRectF(r.x() + w * 0.34, r.y() + h * 0.35, w * 0.07, h * 0.22));
}

void paintSky(QPainter& p, const QRect& r) {
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0.0, QColor(0x3f, 0x8c, 0xd9));
    sky.setColorAt(1.0, QColor(0xbf, 0xe3, 0xff));
    p.fillRect(r, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 220));
    const int cx = r.width() * 3 / 4, cy = r.height() / 4;
    for (const QRect& c : {QRect(cx - 50, cy, 70, 34), QRect(cx - 20, cy - 16, 70, 44), QRect(cx + 20, cy, 60, 32)}) p.drawEllipse(c);
}

constexpr int kSplashWidth = 480;
constexpr int kSplashHeight = 300;
constexpr QImage::Format kSplashFormat = QImage::Format_RGB32;
constexpr QImage::Format kIconFormat = QImage::Format_ARGB32_Premultiplied;

// The copy drawn at build time, or a null image where the program carries none of that size.
QImage carriedImage(const QString& name, const QSize& size, QImage::Format format) {
    const QResource resource(QStringLiteral(":/drawn/") + name);
    const qsizetype bytesPerLine = qsizetype(size.width()) * 4;  // both formats are four bytes a pixel
    if (!resource.isValid() || resource.uncompressedSize() != bytesPerLine * size.height()) return QImage();
    const QByteArray bytes = resource.uncompressedData();
    return QImage(reinterpret_cast<const uchar*>(bytes.constData()), size.width(), size.height(), bytesPerLine, format)
        .copy();  // the bytes may be a decompressed copy that goes with this scope
}

}  // namespace

QByteArray carriedBytes(const QImage& image) { return QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()); }

QImage drawSplash() {
    QImage pm(kSplashWidth, kSplashHeight, kSplashFormat);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    paintSky(p, pm.rect());
    paintBox(p, QRectF(30, 90, 180, 180));
    QFont title(QStringLiteral("Noto Sans CJK JP"), 40, QFont::Bold);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 60));
    p.drawText(QRect(222, 112, 260, 70), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ソラバコ"));
    p.setPen(Qt::white);
    p.drawText(QRect(220, 110, 260, 70), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ソラバコ"));
    QFont sub(QStringLiteral("Noto Sans CJK JP"), 11);
    p.setFont(sub);
    p.drawText(QRect(224, 180, 250, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ヤフオク出品支援ツール"));
    p.drawText(QRect(224, 250, 240, 30), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("起動しています…"));
    return pm;
}

QPixmap splash() {
    const QImage carried = carriedImage(QStringLiteral("splash"), QSize(kSplashWidth, kSplashHeight), kSplashFormat);
    return QPixmap::fromImage(carried.isNull() ? drawSplash() : carried);
}

QPixmap product() {
    QPixmap pm(120, 120);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    paintSky(p, pm.rect());
    paintBox(p, QRectF(10, 10, 100, 100));
    return pm;
}

QImage iconImage(int size) {
    QImage image(size, size, kIconFormat);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient sky(0, 0, 0, 64);
    sky.setColorAt(0.0, QColor(0x3f, 0x8c, 0xd9));
    sky.setColorAt(1.0, QColor(0xbf, 0xe3, 0xff));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(1, 1, 62, 62), 10, 10);
    p.setBrush(QColor(255, 255, 255, 217));
    p.drawEllipse(QPointF(44, 14), 12, 5);
    paintBox(p, QRectF(0, 0, 64, 64));
    return image;
}

QIcon appIcon() {
    QIcon icon;
    for (int size : kIconSizes) {
        const QImage carried = carriedImage(QStringLiteral("icon%1").arg(size), QSize(size, size), kIconFormat);
        icon.addPixmap(QPixmap::fromImage(carried.isNull() ? iconImage(size) : carried));
    }
    return icon;
}

}  // namespace Artwork
