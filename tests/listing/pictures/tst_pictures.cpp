#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cstdio>
#include <vector>

#include <png.h>
#include <sys/stat.h>

#include "listing/pictures/Picture.h"

namespace {

// The JPEG markers of a file, in order (SOI and EOI included, the scan's data skipped).
QList<quint8> markers(const QByteArray& jpeg) {
    QList<quint8> out;
    qsizetype at = 0;
    while (at + 1 < jpeg.size()) {
        if (static_cast<quint8>(jpeg[at]) != 0xFF) return out << 0;  // not where a marker must be
        const quint8 m = static_cast<quint8>(jpeg[at + 1]);
        out << m;
        if (m == 0xD8) {
            at += 2;
            continue;
        }
        if (m == 0xD9) return out;
        const int length = (static_cast<quint8>(jpeg[at + 2]) << 8) | static_cast<quint8>(jpeg[at + 3]);
        at += 2 + length;
        if (m == 0xDA) {  // the scan runs to the next marker that is no stuffed byte or restart
            while (at + 1 < jpeg.size() && !(static_cast<quint8>(jpeg[at]) == 0xFF && jpeg[at + 1] != 0 &&
                                             (static_cast<quint8>(jpeg[at + 1]) < 0xD0 || static_cast<quint8>(jpeg[at + 1]) > 0xD7)))
                ++at;
        }
    }
    return out;
}

void put16(QByteArray& b, quint16 v) { b.append(char(v >> 8)).append(char(v & 0xFF)); }
void put32(QByteArray& b, quint32 v) {
    put16(b, v >> 16);
    put16(b, v & 0xFFFF);
}
void entry(QByteArray& b, quint16 tag, quint16 type, quint32 count, quint32 value) {
    put16(b, tag);
    put16(b, type);
    put32(b, count);
    put32(b, value);
}

// A camera's EXIF block: orientation 6 (the camera held upright: turn 90° clockwise to view),
// a GPS position, a serial number and a date.
QByteArray exifBlock() {
    QByteArray tiff("MM\0*", 4);
    put32(tiff, 8);
    // IFD0 at 8: four entries, then the next-IFD offset.
    const quint32 ifd0Size = 2 + 4 * 12 + 4;
    const quint32 dateAt = 8 + ifd0Size;   // 20 bytes "2026:05:04 10:11:12\0"
    const quint32 serialAt = dateAt + 20;  // 12 bytes "SN-00424242\0"
    const quint32 gpsAt = serialAt + 12;
    put16(tiff, 4);
    entry(tiff, 0x0112, 3, 1, 6u << 16);   // Orientation: SHORT 6, left-justified
    entry(tiff, 0x0132, 2, 20, dateAt);    // DateTime
    entry(tiff, 0xA431, 2, 12, serialAt);  // BodySerialNumber
    entry(tiff, 0x8825, 4, 1, gpsAt);      // GPS IFD
    put32(tiff, 0);
    tiff.append("2026:05:04 10:11:12", 20);
    tiff.append("SN-00424242", 12);
    // GPS IFD: latitude reference and latitude (three rationals after the IFD).
    const quint32 latAt = gpsAt + 2 + 2 * 12 + 4;
    put16(tiff, 2);
    entry(tiff, 0x0001, 2, 2, quint32('N') << 24);
    entry(tiff, 0x0002, 5, 3, latAt);
    put32(tiff, 0);
    for (quint32 v : {35u, 1u, 41u, 1u, 2222u, 100u}) put32(tiff, v);
    QByteArray app1 = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xFF\xE1", 2);
    put16(segment, quint16(app1.size() + 2));
    return segment + app1;
}

// A 80×40 picture, left half red and right half blue, stored as the camera stores it
// (sideways) with its EXIF block.
QByteArray cameraJpeg() {
    QImage image(80, 40, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) image.setPixel(x, y, qRgb(255, 0, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    // After SOI and the encoder's APP0, as a camera writes it.
    return bytes.left(2) + exifBlock() + bytes.mid(2);
}

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return f.fileName();
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

bool reddish(QRgb c) { return qRed(c) > 200 && qBlue(c) < 60; }
bool bluish(QRgb c) { return qBlue(c) > 200 && qRed(c) < 60; }

QByteArray encoded(const QImage& image, const char* format, bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

// Colour everywhere: a picture that does not compress to nothing.
QImage noise(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    quint32 seed = 777;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            image.setPixel(x, y, seed >> 8);
        }
    return image;
}

// A PNG written row by row, as large as asked without such an image in memory here either:
// RGBA of 8 or 16 bits, the left half red and the right half blue.
bool halvesPng(const QString& path, int w, int h, bool interlaced, int depth = 8) {
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const int bytes = depth / 8;
    std::vector<png_byte> row(size_t(w) * 4 * bytes);
    for (int x = 0; x < w; ++x)
        for (int b = 0; b < bytes; ++b) {
            png_byte* p = &row[size_t(x) * 4 * bytes + b];
            p[0] = x < w / 2 ? 255 : 0, p[bytes] = 0, p[2 * bytes] = x < w / 2 ? 0 : 255, p[3 * bytes] = 255;
        }
    bool ok = false;
    if (!setjmp(png_jmpbuf(png))) {
        png_init_io(png, file);
        png_set_compression_level(png, 1);
        png_set_filter(png, 0, PNG_FILTER_NONE);
        png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), depth, PNG_COLOR_TYPE_RGBA,
                     interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        const int passes = png_set_interlace_handling(png);
        for (int pass = 0; pass < passes; ++pass)
            for (int y = 0; y < h; ++y) png_write_row(png, row.data());
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return ok;
}

// The first line of a message without the file's name: what the program itself says.
QString ownWords(const QString& problem, const QString& name) { return problem.section(QStringLiteral("\r\n"), 0, 0).remove(name); }
bool hasLatinWord(const QString& text) {
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{3,}"));
    return text.contains(word);
}

}  // namespace

class TestPictures : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aCameraPictureLeavesUprightAndWithoutItsMetadata() {
        QTemporaryDir from, to;
        const QByteArray camera = cameraJpeg();
        // The block is really there, and a reader sees the orientation: else the test proves nothing.
        QVERIFY(markers(camera).contains(0xE1));
        QImageReader probe(write(from, QStringLiteral("camera.jpg"), camera));
        QCOMPARE(probe.transformation(), QImageIOHandler::TransformationRotate90);
        const QString source = from.filePath(QStringLiteral("camera.jpg"));

        const picture::Prepared p = picture::prepare(source, to.path(), picture::siteLimits());
        QVERIFY2(p.ok(), qPrintable(p.problem));
        QCOMPARE(QFileInfo(p.path).fileName(), QStringLiteral("camera.jpg"));
        const QByteArray sent = readAll(p.path);
        // Only the picture: no APP1 (EXIF, XMP), APP2 (ICC), APP13 (IPTC) or comment.
        const QList<quint8> seen = markers(sent);
        QCOMPARE(seen.first(), quint8(0xD8));
        QCOMPARE(seen.last(), quint8(0xD9));
        for (quint8 m : seen) QVERIFY2((m < 0xE1 || m > 0xEF) && m != 0xFE, qPrintable(QString::number(m, 16)));
        QVERIFY(!sent.contains("Exif"));
        QVERIFY(!sent.contains("SN-00424242"));
        QVERIFY(!sent.contains("2026:05:04"));

        // Upright: turned clockwise, the red left half is now on top.
        QImage upright;
        QVERIFY(upright.loadFromData(sent));
        QCOMPARE(upright.size(), QSize(40, 80));
        QVERIFY(reddish(upright.pixel(20, 10)));
        QVERIFY(bluish(upright.pixel(20, 70)));
        // The seller's file is as it was.
        QCOMPARE(readAll(source), camera);
    }

    void aLargePictureIsMadeToFitTheSite() {
        QTemporaryDir from, to;
        // Noise compresses badly: a picture that only fits by losing quality and then pixels.
        QImage noise(2400, 1800, QImage::Format_RGB32);
        quint32 seed = 12345;
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x) {
                seed = seed * 1664525u + 1013904223u;
                noise.setPixel(x, y, seed >> 8);
            }
        QVERIFY(noise.save(from.filePath(QStringLiteral("big.png"))));
        const picture::Limits tight{300 * 1024, 1600};
        const picture::Prepared p = picture::prepare(from.filePath(QStringLiteral("big.png")), to.path(), tight);
        QVERIFY2(p.ok(), qPrintable(p.problem));
        QVERIFY(QFileInfo(p.path).size() <= tight.maxBytes);
        QVERIFY(qMax(p.size.width(), p.size.height()) <= 1600);
        QCOMPARE(p.size.width() * 3, p.size.height() * 4);  // the proportions kept
        QImage back;
        QVERIFY(back.load(p.path));
        QCOMPARE(back.size(), p.size);
        // A picture already small enough keeps its size.
        QImage small(300, 200, QImage::Format_RGB32);
        small.fill(Qt::darkGreen);
        QVERIFY(small.save(from.filePath(QStringLiteral("small.png"))));
        const picture::Prepared s = picture::prepare(from.filePath(QStringLiteral("small.png")), to.path(), picture::siteLimits());
        QVERIFY(s.ok());
        QCOMPARE(s.size, QSize(300, 200));
        QCOMPARE(picture::siteLimits().maxBytes, qint64(5 * 1024 * 1024));
    }

    // What the seller wrote into a picture's texts (a PNG's tEXt, a JPEG's comment) stays home.
    void theSellersWordsInAPictureStayHome() {
        QTemporaryDir from, to;
        const QString secret = QStringLiteral("仕入れ値800円・傷あり隠す");
        QImage image = noise(120, 90);
        image.setText(QStringLiteral("Comment"), secret);
        image.setText(QStringLiteral("Author"), QStringLiteral("SellerSecretName"));
        for (const char* format : {"png", "jpeg"}) {
            const QByteArray source = encoded(image, format);
            // The words are really in the seller's file: else the test proves nothing.
            QVERIFY2(source.contains(secret.toUtf8()) || source.contains(secret.toLatin1()) || source.contains("SellerSecretName"), format);
            const QString name = QStringLiteral("memo.") + QString::fromLatin1(format);
            const picture::Prepared p = picture::prepare(write(from, name, source), to.path(), picture::siteLimits());
            QVERIFY2(p.ok(), qPrintable(p.problem));
            const QByteArray sent = readAll(p.path);
            QVERIFY2(!sent.contains("SellerSecretName") && !sent.contains(secret.toUtf8()) && !sent.contains("Comment"), format);
            QVERIFY2(!markers(sent).contains(0xFE), format);
            QImage back;
            QVERIFY(back.loadFromData(sent));
            QVERIFY2(back.textKeys().isEmpty(), qPrintable(back.textKeys().join(u',')));
        }
    }

    // What is no picture, or no file, is named in Japanese, and is never waited for.
    void whatIsNoPictureIsNamed() {
        QTemporaryDir from, to;
        const QString text = write(from, QStringLiteral("メモ.jpg"), "これは画像ではありません");
        const picture::Prepared p = picture::prepare(text, to.path(), picture::siteLimits());
        QVERIFY(!p.ok());
        QVERIFY(p.problem.startsWith(QStringLiteral("「メモ.jpg」は画像として読み込めませんでした")));
        QVERIFY(p.path.isEmpty());
        QCOMPARE(picture::problemWith(text), p.problem);
        const picture::Prepared gone = picture::prepare(from.filePath(QStringLiteral("無い.jpg")), to.path(), picture::siteLimits());
        QVERIFY(gone.problem.startsWith(QStringLiteral("「無い.jpg」が見つかりません")));

        // A FIFO would hold the reader until someone writes to it; a device never ends; a folder is no file.
        const QString fifo = from.filePath(QStringLiteral("待つ.jpg"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QDir(from.path()).mkdir(QStringLiteral("写真.png"));
        const QList<std::pair<QString, QString>> notFiles = {{fifo, QStringLiteral("待つ.jpg")},
                                                             {from.filePath(QStringLiteral("写真.png")), QStringLiteral("写真.png")},
                                                             {QStringLiteral("/dev/zero"), QStringLiteral("zero")}};
        for (const auto& [path, name] : notFiles) {
            const QString expected = QStringLiteral("「%1」はファイルではありません。").arg(name);
            QVERIFY2(picture::problemWith(path).startsWith(expected), qPrintable(picture::problemWith(path)));
            QVERIFY2(picture::prepare(path, to.path(), picture::siteLimits()).problem.startsWith(expected), qPrintable(name));
        }

        // Only the kinds the program reads: an icon file is a picture to Qt, not a listing's picture.
        QImage small(16, 16, QImage::Format_RGB32);
        small.fill(Qt::darkCyan);
        const QString icon = write(from, QStringLiteral("icon.xpm"), encoded(small, "xpm"));
        QVERIFY(QImageReader(icon).canRead());
        QVERIFY(picture::problemWith(icon).startsWith(
            QStringLiteral("「icon.xpm」は画像として読み込めませんでした。\r\n読める画像は JPEG、PNG")));
        QCOMPARE(QDir(to.path()).entryList(QDir::Files).size(), 0);
    }

    // The file dialog offers exactly what the program reads.
    void theChoiceOffersWhatIsRead() {
        const QString filter = picture::choiceFilter();
        QVERIFY(filter.startsWith(QStringLiteral("画像ファイル(")));
        const QList<QByteArray> supported = QImageReader::supportedImageFormats();
        for (const char* kind : {"png", "gif", "bmp", "webp", "tiff"})
            QCOMPARE(filter.contains(QStringLiteral("*.") + QString::fromLatin1(kind)), supported.contains(kind));
        QVERIFY(filter.contains(QStringLiteral("*.jpg;*.jpeg")));
        QVERIFY(!filter.contains(QStringLiteral("*.*")));
        QVERIFY(!filter.contains(QStringLiteral("*.xpm")));
    }

    // A picture that does not decode whole is refused, in Japanese, before anything is written.
    void aPictureCutShortIsRefused() {
        QTemporaryDir from, to;
        const QByteArray main = encoded(noise(320, 240), "jpeg");
        // A camera's EXIF block with a thumbnail: a whole JPEG of its own, its own EOI included.
        const QByteArray thumb = encoded(noise(32, 24), "jpeg");
        QByteArray app1("\xFF\xE1", 2);
        put16(app1, quint16(2 + 6 + thumb.size()));
        const QByteArray withThumb = main.left(2) + app1 + QByteArray("Exif\0\0", 6) + thumb + main.mid(2);
        const QByteArray png = encoded(noise(320, 240), "png");
        const QByteArray bmp = encoded(noise(320, 240), "bmp");
        // A 1×1 GIF, whole, and cut inside its image data.
        const QByteArray gif(
            "GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\xFF\xFF\x00\x00\x00"
            ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
            35);
        const QList<std::pair<QString, QByteArray>> whole = {{QStringLiteral("a.jpg"), main},
                                                             {QStringLiteral("b.jpg"), withThumb},
                                                             {QStringLiteral("c.png"), png},
                                                             {QStringLiteral("d.bmp"), bmp},
                                                             {QStringLiteral("e.gif"), gif}};
        for (const auto& [name, bytes] : whole) {
            const QString path = write(from, name, bytes);
            QVERIFY2(picture::problemWith(path).isEmpty(), qPrintable(picture::problemWith(path)));
            const QString cut = QStringLiteral("cut-") + name;
            const qsizetype keep = name.endsWith(QStringLiteral(".gif")) ? 30 : bytes.size() * 4 / 10;
            if (name == QStringLiteral("b.jpg")) QVERIFY(keep > 2 + app1.size() + 6 + thumb.size() + 200);  // past the thumbnail's EOI
            const QString cutPath = write(from, cut, bytes.left(keep));
            const picture::Prepared p = picture::prepare(cutPath, to.path(), picture::siteLimits());
            QVERIFY2(!p.ok(), qPrintable(cut));
            QVERIFY2(
                p.problem.startsWith(
                    QStringLiteral("「%1」は画像として読み込めませんでした。画像のデータが途中までしかないか、壊れています。").arg(cut)),
                qPrintable(p.problem));
            QVERIFY2(!hasLatinWord(ownWords(p.problem, cut)), qPrintable(p.problem));  // no reader's English
            QCOMPARE(picture::problemWith(cutPath), p.problem);
        }
        QCOMPARE(QDir(to.path()).entryList(QDir::Files).size(), 0);
    }

    // A few hundred bytes declaring a huge picture are judged by that before any decoding.
    void aPictureIsJudgedByItsDeclaredSize() {
        QTemporaryDir from, to;
        QImage grey(16, 16, QImage::Format_Grayscale8);
        grey.fill(128);
        const QByteArray tiny = encoded(grey, "jpeg", true);
        const qsizetype sof = tiny.indexOf(QByteArray("\xFF\xC2", 2));
        QVERIFY(sof > 0);  // progressive, else the test proves less
        auto declaring = [&](quint16 side) {
            QByteArray b = tiny;
            b[sof + 5] = char(side >> 8), b[sof + 6] = char(side & 0xFF);
            b[sof + 7] = char(side >> 8), b[sof + 8] = char(side & 0xFF);
            return b;
        };
        QCOMPARE(QImageReader(write(from, QStringLiteral("probe.jpg"), declaring(40000))).size(), QSize(40000, 40000));
        const QString absurd = write(from, QStringLiteral("巨大.jpg"), declaring(40000));
        const QString expected = QStringLiteral("「巨大.jpg」は大きすぎて読み込めませんでした（40000×40000ピクセル）。");
        QVERIFY2(picture::problemWith(absurd).startsWith(expected), qPrintable(picture::problemWith(absurd)));
        QVERIFY(picture::prepare(absurd, to.path(), picture::siteLimits()).problem.startsWith(expected));
        // Within what a camera makes, but far too few bytes for it: it cannot be whole, it is not sent grey.
        const QString hollow = write(from, QStringLiteral("中身なし.jpg"), declaring(9000));
        QVERIFY2(picture::prepare(hollow, to.path(), picture::siteLimits())
                     .problem.startsWith(QStringLiteral(
                         "「中身なし.jpg」は画像として読み込めませんでした。画像のデータが途中までしかないか、壊れています。")),
                 qPrintable(picture::problemWith(hollow)));
        QCOMPARE(QDir(to.path()).entryList(QDir::Files).size(), 0);
    }

    // A PNG as large as a camera's picture is made smaller like a JPEG, and every kind of PNG
    // keeps its colours.
    void aLargePngIsShrunkAsAJpegIs() {
        QTemporaryDir from, to;
        const QString big = from.filePath(QStringLiteral("大きい.png"));
        QVERIFY(halvesPng(big, 7000, 5000, false, 16));  // 35 megapixels of 16 bits, as a raw developer writes them
        const picture::Prepared p = picture::prepare(big, to.path(), picture::siteLimits());
        QVERIFY2(p.ok(), qPrintable(p.problem));
        QCOMPARE(p.size, QSize(1600, 1142));
        QImage back;
        QVERIFY(back.load(p.path));
        QVERIFY(reddish(back.pixel(400, 570)));
        QVERIFY(bluish(back.pixel(1200, 570)));
        const picture::Read thumb = picture::read(big, 64);
        QCOMPARE(thumb.image.size(), QSize(64, 45));

        const QString interlaced = from.filePath(QStringLiteral("飛び越し.png"));
        QVERIFY(halvesPng(interlaced, 300, 200, true));
        const picture::Read r = picture::read(interlaced, 0);
        QVERIFY2(r.problem.isEmpty(), qPrintable(r.problem));
        QCOMPARE(r.image.size(), QSize(300, 200));
        QVERIFY(reddish(r.image.pixel(10, 100)) && bluish(r.image.pixel(290, 100)));

        // Palette, grey, 16 bits, and transparency (shown on white, as the site's pages are).
        QImage rgb(40, 30, QImage::Format_RGB32);
        rgb.fill(QColor(200, 40, 40));
        QImage clear(40, 30, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        const QList<std::pair<QImage, QRgb>> kinds = {
            {rgb.convertToFormat(QImage::Format_Indexed8), qRgb(200, 40, 40)},
            {rgb.convertToFormat(QImage::Format_Grayscale8), rgb.convertToFormat(QImage::Format_Grayscale8).pixel(0, 0)},
            {rgb.convertToFormat(QImage::Format_RGBA64), qRgb(200, 40, 40)},
            {clear, qRgb(255, 255, 255)}};
        for (const auto& [image, colour] : kinds) {
            const QString path = write(from, QStringLiteral("kind.png"), encoded(image, "png"));
            const picture::Prepared k = picture::prepare(path, to.path(), picture::siteLimits());
            QVERIFY2(k.ok(), qPrintable(k.problem));
            QImage seen;
            QVERIFY(seen.load(k.path));
            const QRgb c = seen.pixel(20, 15);
            QVERIFY2(qAbs(qRed(c) - qRed(colour)) < 12 && qAbs(qGreen(c) - qGreen(colour)) < 12 && qAbs(qBlue(c) - qBlue(colour)) < 12,
                     qPrintable(QStringLiteral("%1 for %2").arg(c, 0, 16).arg(colour, 0, 16)));
        }
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
