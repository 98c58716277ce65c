#include "listing/pictures/Picture.h"

#include <QBuffer>
#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QThreadPool>
#include <QTransform>

#include <atomic>
#include <cerrno>
#include <memory>
#include <cstring>
#include <limits>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/TextFile.h"
#include "listing/pictures/PictureFacts.h"
#include "listing/pictures/PngShrink.h"
#include "site/ListingForm.h"
#include "core/WaitFor.h"

namespace picture {

Limits siteLimits() { return Limits{site::maxPictureBytes(), kLongSide}; }

namespace {

using detail::Facts;

// What decoding one picture may hold besides its result: a progressive JPEG keeps every
// coefficient of the full size, an interlaced PNG every pixel.
constexpr qint64 kMaxWorkBytes = qint64(512) << 20;
// A thumbnail is enough to know a picture decodes whole; the JPEG decoder makes it at 1/8.
constexpr int kCheckSide = 64;

QString told(const QString& path, const QString& why) {
    return QStringLiteral("「%1」%2\r\n%3").arg(QFileInfo(path).fileName(), why, path);
}

QString formatNames() {
    QStringList names;
    for (const QByteArray& f : readableFormats()) names << QString::fromLatin1(f).toUpper();
    return names.join(QStringLiteral("、"));
}

QString notAPicture(const QString& path) {
    return told(path, QStringLiteral("は画像として読み込めませんでした。\r\n読める画像は %1 です。").arg(formatNames()));
}
QString brokenPicture(const QString& path) {
    return told(path, QStringLiteral("は画像として読み込めませんでした。画像のデータが途中までしかないか、壊れています。"));
}
QString tooLarge(const QString& path, const QSize& size) {
    return told(path, QStringLiteral("は大きすぎて読み込めませんでした（%1×%2ピクセル）。\r\n小さくした画像を選んで下さい。")
                          .arg(size.width())
                          .arg(size.height()));
}

// Opens only a regular file, and without waiting: opening a FIFO waits for a writer forever,
// and a device never ends.
bool openRegular(const QString& path, QFile& file, QString* problem) {
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    errno = 0;
    if (path.isEmpty() || ::stat(native.constData(), &st) != 0) {
        *problem = errno == EACCES ? told(path, QStringLiteral("を開けませんでした。")) : told(path, QStringLiteral("が見つかりません。"));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *problem = told(path, QStringLiteral("はファイルではありません。"));
        return false;
    }
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *problem = told(path, QStringLiteral("を開けませんでした。"));
        return false;
    }
    // What was opened is what counts: the name may have been given to something else meanwhile.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        *problem = told(path, QStringLiteral("はファイルではありません。"));
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *problem = told(path, QStringLiteral("を開けませんでした。"));
        return false;
    }
    return true;
}

// The picture turned as the file says, the way Qt's own reader turns it.
QImage turned(const QImage& image, QImageIOHandler::Transformations t) {
    if (t == QImageIOHandler::TransformationNone) return image;
    QImage out = image.mirrored(t & QImageIOHandler::TransformationMirror, t & QImageIOHandler::TransformationFlip);
    if (t & QImageIOHandler::TransformationRotate90) out = out.transformed(QTransform().rotate(90));
    return out;
}

QSize fitted(const QSize& size, int longSide) {
    if (longSide <= 0 || qMax(size.width(), size.height()) <= longSide) return size;
    return size.scaled(longSide, longSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QString readerTrouble(const QString& path, QImageReader::ImageReaderError error) {
    switch (error) {
        case QImageReader::FileNotFoundError: return told(path, QStringLiteral("が見つかりません。"));
        case QImageReader::DeviceError: return told(path, QStringLiteral("を読み込めませんでした。"));
        case QImageReader::UnsupportedFormatError: return notAPicture(path);
        default: return brokenPicture(path);
    }
}

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

QByteArrayList readableFormats() {
    // Formats a seller's photograph comes in; icons and bitmaps of other kinds are no listing picture.
    static const QByteArrayList photos = {"jpeg", "png", "gif", "bmp", "webp", "tiff"};
    const QList<QByteArray> supported = QImageReader::supportedImageFormats();
    QByteArrayList out;
    for (const QByteArray& f : photos)
        if (supported.contains(f)) out << f;
    return out;
}

QString choiceFilter() {
    QStringList patterns;
    for (const QByteArray& f : readableFormats()) {
        if (f == "jpeg")
            patterns << QStringLiteral("*.jpg") << QStringLiteral("*.jpeg");
        else if (f == "tiff")
            patterns << QStringLiteral("*.tif") << QStringLiteral("*.tiff");
        else
            patterns << QStringLiteral("*.") + QString::fromLatin1(f);
    }
    const QString list = patterns.join(QLatin1Char(';'));
    return QStringLiteral("画像ファイル(%1)|%1").arg(list);
}

Read read(const QString& path, int longSide) {
    Read r;
    QFile file;
    if (!openRegular(path, file, &r.problem)) return r;
    QImageReader reader(&file);
    reader.setAutoTransform(true);  // the camera's orientation, as the seller saw the picture
    const QByteArray format = reader.format();
    if (format.isEmpty() || !readableFormats().contains(format)) {
        r.problem = notAPicture(path);
        return r;
    }
    const qint64 bytes = file.size();
    const uchar* data = bytes > 0 ? file.map(0, bytes) : nullptr;
    QByteArray copy;
    if (!data && bytes > 0) {  // a file system that cannot map: read it as it is
        copy = file.readAll();
        file.seek(0);
        data = reinterpret_cast<const uchar*>(copy.constData());
    }
    Facts facts;
    if (format == "jpeg")
        facts = detail::jpegFacts(data, bytes);
    else if (format == "png")
        facts = detail::pngFacts(data, bytes);
    else if (format == "gif")
        facts = detail::gifFacts(data, bytes);
    else if (format == "bmp")
        facts = detail::bmpFacts(data, bytes);
    else
        facts = Facts{reader.size(), true, 0, false};
    // Judged by the size it claims before a pixel is decoded.
    const QSize stored = facts.size;
    if (!stored.isValid() || stored.isEmpty()) {
        r.problem = facts.size.isValid() ? brokenPicture(path) : notAPicture(path);
        return r;
    }
    if (qint64(stored.width()) * stored.height() > kMaxPixels || facts.workBytes > kMaxWorkBytes) {
        r.problem = tooLarge(path, stored);
        return r;
    }
    if (!facts.whole) {
        r.problem = brokenPicture(path);
        return r;
    }
    const QSize out = fitted(stored, longSide);
    QImage image;
    if (format == "png") {
        image = detail::pngImage(data, bytes, stored, out);
        if (image.isNull()) {
            r.problem = brokenPicture(path);
            return r;
        }
        image = turned(image, reader.transformation());
    } else {
        // JPEG decodes at the smaller size itself; the other kinds are small enough whole for
        // Qt's own allocation limit, or refused by it.
        if (format != "jpeg" && qint64(stored.width()) * stored.height() * 4 > qint64(QImageReader::allocationLimit()) << 20) {
            r.problem = tooLarge(path, stored);
            return r;
        }
        if (out != stored) reader.setScaledSize(out);
        image = reader.read();
        if (image.isNull()) {
            r.problem = readerTrouble(path, reader.error());
            return r;
        }
    }
    if (longSide > 0 && qMax(image.width(), image.height()) > longSide)
        image = image.scaled(longSide, longSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    r.image = image;
    return r;
}

QString problemWith(const QString& path) { return read(path, kCheckSide).problem; }

Prepared prepare(const QString& source, const QString& folder, const Limits& limits) {
    const Read read = picture::read(source, limits.longSide);
    if (!read.problem.isEmpty()) {
        Prepared p;
        p.problem = read.problem;
        return p;
    }
    QImage image = pixelsOnly(read.image);

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
    if (!TextFile::writeBytes(p.path, bytes)) return failed(source, QStringLiteral("を一時ファイルに書き込めませんでした。\r\n") + p.path);
    return p;
}

PreparedAll prepareAll(const QStringList& sources, const QString& root, QThreadPool* pool) {
    struct Made {
        PreparedAll result;
        std::atomic<bool> done{false};
    };
    auto made = std::make_shared<Made>();
    pool->start([made, sources, root] {
        for (int i = 0; i < sources.size(); ++i) {
            const QString folder = QDir(root).filePath(QString::number(i + 1));
            QDir().mkpath(folder);
            const Prepared p = prepare(sources[i], folder, siteLimits());
            if (!p.ok()) {
                made->result.problem = p.problem;
                break;
            }
            made->result.paths << p.path;
        }
        made->done = true;
    });
    waitFor([made] { return made->done.load(); }, -1);
    return made->result;
}

}  // namespace picture
