#pragma once

#include <QImage>
#include <QSize>

namespace picture::detail {

// A PNG decoded row by row straight into `out` pixels (each the average of the source pixels
// on it), so a large picture never lies whole in memory; `stored` is the size the file
// declares. Null when the data is no whole PNG.
QImage pngImage(const uchar* data, qint64 size, const QSize& stored, const QSize& out);

}  // namespace picture::detail
