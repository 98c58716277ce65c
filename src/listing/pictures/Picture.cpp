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
#include <QTransform>

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <limits>
#include <vector>

#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/TextFile.h"
#include "site/ListingForm.h"

namespace picture {

Limits siteLimits() {
    return Limits{site::maxPictureBytes(), kLongSide};
}

namespace {

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
    for (const QByteArray& f : readableFormats())
        names << QString::fromLatin1(f).toUpper();
    return names.join(QStringLiteral("、"));
}

QString notAPicture(const QString& path) {
    return told(path,
                QStringLiteral("は画像として読み込めませんでした。\r\n読める画像は %1 です。").arg(formatNames()));
}
QString brokenPicture(const QString& path) {
    return told(path,
                QStringLiteral("は画像として読み込めませんでした。画像のデータが途中までしかないか、壊れています。"));
}
QString tooLarge(const QString& path, const QSize& size) {
    return told(path,
                QStringLiteral("は大きすぎて読み込めませんでした（%1×%2ピクセル）。\r\n小さくした画像を選んで下さい。")
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
        *problem = errno == EACCES ? told(path, QStringLiteral("を開けませんでした。"))
                                   : told(path, QStringLiteral("が見つかりません。"));
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

quint32 be16(const uchar* p) {
    return (quint32(p[0]) << 8) | p[1];
}
quint32 be32(const uchar* p) {
    return (be16(p) << 16) | be16(p + 2);
}
quint32 le16(const uchar* p) {
    return (quint32(p[1]) << 8) | p[0];
}
quint32 le32(const uchar* p) {
    return (le16(p + 2) << 16) | le16(p);
}

// What a file's own structure says before any pixel is decoded.
struct Facts {
    QSize size;
    bool whole = false;       // every byte the first picture needs is there
    qint64 workBytes = 0;     // what the decoder must hold besides the result
    bool interlaced = false;  // PNG only
};

// The marker segments up to the first scan, then the scan's end. An EXIF thumbnail ends with an
// EOI of its own, so only an EOI after the scan counts. Every block of a Huffman-coded scan takes
// at least one bit: a file too short for its declared blocks cannot be whole.
Facts jpegFacts(const uchar* d, qint64 n) {
    Facts f;
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8)
        return f;
    qint64 at = 2;
    bool progressive = false, arithmetic = false;
    int components = 0;
    qint64 blocks = 0, mostBlocks = 0;
    while (at + 4 <= n) {
        if (d[at] != 0xFF)
            return f;
        const uchar m = d[at + 1];
        if (m == 0xFF) {
            ++at;
            continue;
        }  // fill byte
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD8)) {
            at += 2;
            continue;
        }
        if (m == 0xD9)
            return f;  // an end before any scan
        const qint64 length = be16(d + at + 2);
        if (length < 2 || at + 2 + length > n)
            return f;
        const uchar* s = d + at + 4;
        const bool sof = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (sof && length >= 8) {
            f.size = QSize(int(be16(s + 3)), int(be16(s + 1)));
            components = s[5];
            progressive = m == 0xC2 || m == 0xC6 || m == 0xCA || m == 0xCE;
            arithmetic = m >= 0xC9;
            if (length < 8 + 3 * components || components == 0)
                return Facts{};
            int hMax = 1, vMax = 1;
            for (int i = 0; i < components; ++i) {
                hMax = qMax(hMax, s[6 + 3 * i + 1] >> 4);
                vMax = qMax(vMax, s[6 + 3 * i + 1] & 15);
            }
            for (int i = 0; i < components; ++i) {
                const qint64 h = qMax(1, s[6 + 3 * i + 1] >> 4), v = qMax(1, s[6 + 3 * i + 1] & 15);
                const qint64 w = (qint64(f.size.width()) * h + hMax - 1) / hMax;
                const qint64 ht = (qint64(f.size.height()) * v + vMax - 1) / vMax;
                const qint64 b = ((w + 7) / 8) * ((ht + 7) / 8);
                blocks += b;
                mostBlocks = qMax(mostBlocks, b);
            }
        }
        if (m == 0xDA) {
            if (f.size.isEmpty())
                return Facts{};
            // A scan of fewer components than the frame (or a progressive one) makes the decoder
            // keep every coefficient of the picture: 64 of 2 bytes a block.
            if (progressive || (length >= 3 && s[0] < components))
                f.workBytes = blocks * 128;
            const qint64 scan = at + 2 + length;
            const QByteArrayView rest(reinterpret_cast<const char*>(d + scan), n - scan);
            const qint64 end = rest.indexOf(QByteArrayView("\xFF\xD9", 2));
            f.whole = end >= 0 && (arithmetic || end * 8 >= mostBlocks);
            return f;
        }
        at += 2 + length;
    }
    return f;
}

// The chunks up to IEND: a PNG cut short has none.
Facts pngFacts(const uchar* d, qint64 n) {
    Facts f;
    static const uchar signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (n < 33 || std::memcmp(d, signature, 8) != 0 || std::memcmp(d + 12, "IHDR", 4) != 0)
        return f;
    f.size = QSize(int(qMin<quint32>(be32(d + 16), INT_MAX)), int(qMin<quint32>(be32(d + 20), INT_MAX)));
    f.interlaced = d[28] == 1;
    if (f.interlaced)
        f.workBytes = qMin(qint64(f.size.width()) * f.size.height(), std::numeric_limits<qint64>::max() / 4) * 4;
    bool data = false;
    qint64 at = 8;
    while (at + 12 <= n) {
        const qint64 length = be32(d + at);
        if (std::memcmp(d + at + 4, "IDAT", 4) == 0)
            data = true;
        if (std::memcmp(d + at + 4, "IEND", 4) == 0) {
            f.whole = data;
            return f;
        }
        at += 12 + length;
    }
    return f;
}

// The first image's data runs to its terminating empty block.
Facts gifFacts(const uchar* d, qint64 n) {
    Facts f;
    if (n < 13 || (std::memcmp(d, "GIF87a", 6) != 0 && std::memcmp(d, "GIF89a", 6) != 0))
        return f;
    f.size = QSize(int(le16(d + 6)), int(le16(d + 8)));
    qint64 at = 13;
    if (d[10] & 0x80)
        at += 3 * (2 << (d[10] & 7));
    auto skipBlocks = [&] {
        while (at < n) {
            const int size = d[at++];
            if (size == 0)
                return true;
            at += size;
        }
        return false;
    };
    while (at < n) {
        const uchar kind = d[at++];
        if (kind == 0x21) {
            if (++at > n || !skipBlocks())
                return f;
        } else if (kind == 0x2C) {
            if (at + 9 > n)
                return f;
            const uchar packed = d[at + 8];
            at += 9;
            if (packed & 0x80)
                at += 3 * (2 << (packed & 7));
            ++at;  // the LZW code size
            f.whole = at <= n && skipBlocks();
            return f;
        } else {
            return f;  // the trailer, or no GIF block: no picture in it
        }
    }
    return f;
}

// An uncompressed BMP needs its rows; any other says its length in the header.
Facts bmpFacts(const uchar* d, qint64 n) {
    Facts f;
    if (n < 26 || d[0] != 'B' || d[1] != 'M')
        return f;
    const qint64 declared = le32(d + 2), pixelsAt = le32(d + 10), header = le32(d + 14);
    qint64 width = 0, height = 0, bits = 0, compression = 0;
    if (header == 12) {
        width = le16(d + 18), height = le16(d + 20), bits = le16(d + 24);
    } else if (header >= 40 && n >= 34) {
        width = qint32(le32(d + 18)), height = qint32(le32(d + 22)), bits = le16(d + 28), compression = le32(d + 30);
    } else {
        return f;
    }
    height = qAbs(height);
    if (width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX)
        return f;
    f.size = QSize(int(width), int(height));
    if (compression == 0 || compression == 3) {
        // Judged by division: a hostile header's rows times its height need not fit in 64 bits.
        const qint64 rowBytes = (width * bits + 31) / 32 * 4;
        f.whole = pixelsAt <= n && (rowBytes == 0 || height <= (n - pixelsAt) / rowBytes);
    } else {
        f.whole = n >= declared;
    }
    return f;
}

// The picture turned as the file says, the way Qt's own reader turns it.
QImage turned(const QImage& image, QImageIOHandler::Transformations t) {
    if (t == QImageIOHandler::TransformationNone)
        return image;
    QImage out = image.mirrored(t & QImageIOHandler::TransformationMirror, t & QImageIOHandler::TransformationFlip);
    if (t & QImageIOHandler::TransformationRotate90)
        out = out.transformed(QTransform().rotate(90));
    return out;
}

QSize fitted(const QSize& size, int longSide) {
    if (longSide <= 0 || qMax(size.width(), size.height()) <= longSide)
        return size;
    return size.scaled(longSide, longSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

// Rows in, a picture of `out` pixels out: each output pixel the average of the source pixels
// that fall on it, so only the output and one row of sums are ever held.
class Shrinker {
  public:
    Shrinker(const QSize& in, const QSize& out)
        : m_in(in),
          m_image(out, QImage::Format_ARGB32_Premultiplied),
          m_sums(size_t(out.width()) * 4),
          m_count(out.width()) {
        for (int x = 0; x < in.width(); ++x)
            ++m_count[size_t(qint64(x) * out.width() / in.width())];
    }
    bool ok() const { return !m_image.isNull(); }
    // One source row, 8-bit RGBA, not premultiplied.
    void addRow(const uchar* rgba) {
        const int w = m_in.width(), ow = m_image.width();
        for (int x = 0; x < w; ++x) {
            const uchar* p = rgba + 4 * x;
            quint64* s = &m_sums[size_t(qint64(x) * ow / w) * 4];
            s[0] += quint64(p[0]) * p[3];
            s[1] += quint64(p[1]) * p[3];
            s[2] += quint64(p[2]) * p[3];
            s[3] += p[3];
        }
        ++m_rows;
        ++m_row;
        const int nextOut =
            m_row < m_in.height() ? int(qint64(m_row) * m_image.height() / m_in.height()) : m_image.height();
        if (nextOut != m_outRow)
            flush(nextOut);
    }
    QImage image() const { return m_image; }

  private:
    void flush(int nextOut) {
        auto* line = reinterpret_cast<QRgb*>(m_image.scanLine(m_outRow));
        for (int x = 0; x < m_image.width(); ++x) {
            quint64* s = &m_sums[size_t(x) * 4];
            const quint64 n = quint64(m_count[size_t(x)]) * m_rows;
            const quint64 d = 255 * n;
            line[x] = n == 0 ? 0
                             : qRgba(int((s[0] + d / 2) / d), int((s[1] + d / 2) / d), int((s[2] + d / 2) / d),
                                     int((s[3] + n / 2) / n));
            s[0] = s[1] = s[2] = s[3] = 0;
        }
        // A picture made taller (never asked for) would repeat the row.
        for (int y = m_outRow + 1; y < nextOut; ++y)
            std::memcpy(m_image.scanLine(y), line, size_t(m_image.bytesPerLine()));
        m_outRow = nextOut;
        m_rows = 0;
    }
    QSize m_in;
    QImage m_image;
    std::vector<quint64> m_sums;
    std::vector<int> m_count;
    int m_row = 0, m_outRow = 0, m_rows = 0;
};

struct PngSource {
    const uchar* data;
    qint64 size;
    qint64 at;
};

void pngRead(png_structp png, png_bytep out, png_size_t length) {
    auto* src = static_cast<PngSource*>(png_get_io_ptr(png));
    if (src->at + qint64(length) > src->size)
        png_error(png, "short");
    std::memcpy(out, src->data + src->at, length);
    src->at += qint64(length);
}
void pngQuiet(png_structp, png_const_charp) {}
void pngFail(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// A PNG decoded row by row straight into its smaller size: memory follows the output, however
// large the picture (an interlaced one is held whole, within the work limit checked before).
// Everything the error jump may skip is plain data owned by the caller.
struct PngWork {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<uchar> row;
    std::vector<uchar> all;
    std::vector<png_bytep> rows;
};

bool pngDecode(PngWork& w, PngSource& src, Shrinker& shrink, QByteArray* icc) {
    if (setjmp(png_jmpbuf(w.png)))
        return false;
    png_set_read_fn(w.png, &src, pngRead);
    png_set_user_limits(w.png, 0x7FFFFFFF, 0x7FFFFFFF);
    png_read_info(w.png, w.info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0, interlace = 0;
    png_get_IHDR(w.png, w.info, &width, &height, &depth, &colour, &interlace, nullptr, nullptr);
    png_set_expand(w.png);  // palette and small grey to 8-bit, a transparent colour to alpha
    png_set_strip_16(w.png);
    png_set_gray_to_rgb(w.png);
    png_set_add_alpha(w.png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(w.png);
    png_read_update_info(w.png, w.info);
    if (png_get_rowbytes(w.png, w.info) != png_size_t(width) * 4)
        return false;
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 profileLength = 0;
    if (png_get_iCCP(w.png, w.info, &name, &compression, &profile, &profileLength) && profile)
        *icc = QByteArray(reinterpret_cast<const char*>(profile), int(profileLength));
    if (passes > 1) {
        w.all.assign(size_t(width) * 4 * height, 0);
        w.rows.resize(height);
        for (png_uint_32 y = 0; y < height; ++y)
            w.rows[y] = w.all.data() + size_t(y) * width * 4;
        png_read_image(w.png, w.rows.data());
        for (png_uint_32 y = 0; y < height; ++y)
            shrink.addRow(w.rows[y]);
    } else {
        w.row.assign(size_t(width) * 4, 0);
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(w.png, w.row.data(), nullptr);
            shrink.addRow(w.row.data());
        }
    }
    png_read_end(w.png, nullptr);
    return true;
}

QImage pngImage(const uchar* data, qint64 size, const QSize& stored, const QSize& out) {
    Shrinker shrink(stored, out);
    if (!shrink.ok())
        return QImage();
    PngWork w;
    w.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngFail, pngQuiet);
    if (!w.png)
        return QImage();
    w.info = png_create_info_struct(w.png);
    PngSource src{data, size, 0};
    QByteArray icc;
    const bool ok = w.info && pngDecode(w, src, shrink, &icc);
    png_destroy_read_struct(&w.png, w.info ? &w.info : nullptr, nullptr);
    if (!ok)
        return QImage();
    QImage image = shrink.image();
    if (!icc.isEmpty())
        image.setColorSpace(QColorSpace::fromIccProfile(icc));
    return image;
}

QString readerTrouble(const QString& path, QImageReader::ImageReaderError error) {
    switch (error) {
        case QImageReader::FileNotFoundError:
            return told(path, QStringLiteral("が見つかりません。"));
        case QImageReader::DeviceError:
            return told(path, QStringLiteral("を読み込めませんでした。"));
        case QImageReader::UnsupportedFormatError:
            return notAPicture(path);
        default:
            return brokenPicture(path);
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
    if (!writer.write(image))
        return QByteArray();
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
        if (supported.contains(f))
            out << f;
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
    if (!openRegular(path, file, &r.problem))
        return r;
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
        facts = jpegFacts(data, bytes);
    else if (format == "png")
        facts = pngFacts(data, bytes);
    else if (format == "gif")
        facts = gifFacts(data, bytes);
    else if (format == "bmp")
        facts = bmpFacts(data, bytes);
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
        image = pngImage(data, bytes, stored, out);
        if (image.isNull()) {
            r.problem = brokenPicture(path);
            return r;
        }
        image = turned(image, reader.transformation());
    } else {
        // JPEG decodes at the smaller size itself; the other kinds are small enough whole for
        // Qt's own allocation limit, or refused by it.
        if (format != "jpeg" && qint64(stored.width()) * stored.height() * 4 > qint64(QImageReader::allocationLimit())
                                                                                   << 20) {
            r.problem = tooLarge(path, stored);
            return r;
        }
        if (out != stored)
            reader.setScaledSize(out);
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

QString problemWith(const QString& path) {
    return read(path, kCheckSide).problem;
}

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
        if (bytes.isEmpty())
            return failed(source, QStringLiteral("を送れる形に変換できませんでした。\r\n") + source);
        if (limits.maxBytes <= 0 || bytes.size() <= limits.maxBytes)
            break;
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
