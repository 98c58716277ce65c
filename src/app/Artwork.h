#pragma once

#include <QPixmap>

// The product's pictures, drawn rather than shipped as files.
namespace Artwork {
QPixmap splash();   // start-up picture
QPixmap product();  // the version window's picture
QIcon appIcon();
// The program's icon at `size` pixels square: the box under a patch of sky,
// the same picture as packaging/icons/jp.sorabako.Sorabako.svg.
QImage iconImage(int size);
}  // namespace Artwork
