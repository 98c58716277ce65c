#pragma once

#include <QByteArray>
#include <QImage>
#include <QPixmap>

// The product's pictures, drawn rather than shipped as files.
namespace Artwork {
// The start-up picture and the window icon come from the copies drawn at build time when the
// program carries them; drawing them here needs the fonts at once.
QPixmap splash();
QIcon appIcon();
QPixmap product();  // the version window's picture
// Drawn now, whatever the program carries: what the build-time copies are made from.
QImage drawSplash();
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128};
// A carried copy is the image's pixels as they are in memory, nothing around them: a PNG would
// need the image readers and a decoder at start-up, and these are read once per start.
QByteArray carriedBytes(const QImage& image);
// The program's icon at `size` pixels square: the box under a patch of sky,
// the same picture as packaging/icons/jp.sorabako.Sorabako.svg.
QImage iconImage(int size);
}  // namespace Artwork
