#pragma once

#include <QByteArrayList>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

class QThreadPool;

// A seller's picture as the site should get it: turned the way the camera
// held it, no larger than the site takes, and with nothing in it but the
// picture (no position, camera serial number or dates). The seller's own
// file is only read.
namespace picture {

struct Limits {
    qint64 maxBytes = 0;  // per picture
    int longSide = 0;     // pixels; a larger picture is scaled down
};
// The site's limit per picture, and the size buyers' screens show at most.
Limits siteLimits();
inline constexpr int kLongSide = 1600;

struct Prepared {
    QString path;  // the new file (a JPEG), empty when `problem` says why not
    QSize size;
    QString problem;  // Japanese, naming the seller's file
    bool ok() const { return problem.isEmpty(); }
};

// Writes the picture at `source` into `folder` as "<name>.jpg": the site shows the seller's name.
Prepared prepare(const QString& source, const QString& folder, const Limits& limits);

// Copies of `sources` for the site, in that order, each in a numbered folder of its own under
// `root` (the site shows a copy's name, which is the seller's). Made on `pool`, the window
// drawn meanwhile; the first picture that cannot be made ends it, saying why.
struct PreparedAll {
    QStringList paths;
    QString problem;
};
PreparedAll prepareAll(const QStringList& sources, const QString& root, QThreadPool* pool);

// A declared size above this is no photograph but a broken or hostile file.
inline constexpr qint64 kMaxPixels = 150'000'000;

// The kinds of picture the program reads (QImageReader's names: "jpeg", "png", ...), as the
// installed image plugins allow, and the file dialog's filter offering exactly those.
QByteArrayList readableFormats();
QString choiceFilter();

struct Read {
    QImage image;     // upright, no larger than asked; null when `problem` says why not
    QString problem;  // Japanese, naming the file
};
// The picture at `path` as a fresh image: a regular file only (a FIFO or a device is never
// opened for reading), judged by its declared size before any decoding, decoded whole or not
// at all, turned the way the camera held it and at most `longSide` pixels on its long side
// (0: as stored). Memory stays near the result's size. Safe on any thread; a large picture
// takes a moment, so the window's thread leaves it to another.
Read read(const QString& path, int longSide);

// Why the file at `path` cannot be one of a listing's pictures (Japanese, naming the file), or
// empty when it can: read() at thumbnail size. Safe on any thread.
QString problemWith(const QString& path);

}  // namespace picture
