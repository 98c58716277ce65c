#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "siteform/Picture.h"

namespace {

// The JPEG markers of a file, in order (SOI and EOI included, the scan's data skipped).
QList<quint8> markers(const QByteArray& jpeg) {
    QList<quint8> out;
    qsizetype at = 0;
    while (at + 1 < jpeg.size()) {
        if (static_cast<quint8>(jpeg[at]) != 0xFF) return out << 0;  // not where a marker must be
        const quint8 m = static_cast<quint8>(jpeg[at + 1]);
        out << m;
        if (m == 0xD8) { at += 2; continue; }
        if (m == 0xD9) return out;
        const int length = (static_cast<quint8>(jpeg[at + 2]) << 8) | static_cast<quint8>(jpeg[at + 3]);
        at += 2 + length;
        if (m == 0xDA) {  // the scan runs to the next marker that is no stuffed byte or restart
            while (at + 1 < jpeg.size() &&
                   !(static_cast<quint8>(jpeg[at]) == 0xFF && jpeg[at + 1] != 0 &&
                     (static_cast<quint8>(jpeg[at + 1]) < 0xD0 || static_cast<quint8>(jpeg[at + 1]) > 0xD7)))
                ++at;
        }
    }
    return out;
}

void put16(QByteArray& b, quint16 v) { b.append(char(v >> 8)).append(char(v & 0xFF)); }
void put32(QByteArray& b, quint32 v) { put16(b, v >> 16); put16(b, v & 0xFFFF); }
void entry(QByteArray& b, quint16 tag, quint16 type, quint32 count, quint32 value) {
    put16(b, tag); put16(b, type); put32(b, count); put32(b, value);
}

// A camera's EXIF block: orientation 6 (the camera held upright: turn 90° clockwise to view),
// a GPS position, a serial number and a date.
QByteArray exifBlock() {
    QByteArray tiff("MM\0*", 4);
    put32(tiff, 8);
    // IFD0 at 8: four entries, then the next-IFD offset.
    const quint32 ifd0Size = 2 + 4 * 12 + 4;
    const quint32 dateAt = 8 + ifd0Size;              // 20 bytes "2026:05:04 10:11:12\0"
    const quint32 serialAt = dateAt + 20;             // 12 bytes "SN-00424242\0"
    const quint32 gpsAt = serialAt + 12;
    put16(tiff, 4);
    entry(tiff, 0x0112, 3, 1, 6u << 16);              // Orientation: SHORT 6, left-justified
    entry(tiff, 0x0132, 2, 20, dateAt);               // DateTime
    entry(tiff, 0xA431, 2, 12, serialAt);             // BodySerialNumber
    entry(tiff, 0x8825, 4, 1, gpsAt);                 // GPS IFD
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

    void whatIsNoPictureIsNamed() {
        QTemporaryDir from, to;
        const QString text = write(from, QStringLiteral("メモ.jpg"), "これは画像ではありません");
        const picture::Prepared p = picture::prepare(text, to.path(), picture::siteLimits());
        QVERIFY(!p.ok());
        QVERIFY(p.problem.contains(QStringLiteral("「メモ.jpg」は画像として読み込めませんでした")));
        QVERIFY(p.path.isEmpty());
        const picture::Prepared gone = picture::prepare(from.filePath(QStringLiteral("無い.jpg")), to.path(), picture::siteLimits());
        QVERIFY(gone.problem.contains(QStringLiteral("「無い.jpg」が見つかりません")));
        // A picture cut short is no picture either.
        const QByteArray camera = cameraJpeg();
        const picture::Prepared cut =
            picture::prepare(write(from, QStringLiteral("cut.jpg"), camera.left(camera.size() / 3)), to.path(), picture::siteLimits());
        QVERIFY2(!cut.ok() || !cut.size.isEmpty(), "a cut picture either fails or yields a picture");
        QCOMPARE(QDir(to.path()).entryList(QDir::Files).size(), cut.ok() ? 1 : 0);
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
