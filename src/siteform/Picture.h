#pragma once

#include <QSize>
#include <QString>

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
    QString path;     // the new file (a JPEG), empty when `problem` says why not
    QSize size;
    QString problem;  // Japanese, naming the seller's file
    bool ok() const { return problem.isEmpty(); }
};

// Writes the picture at `source` into `folder` as "<name>.jpg": the site shows the seller's name.
Prepared prepare(const QString& source, const QString& folder, const Limits& limits);

}  // namespace picture
