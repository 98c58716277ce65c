#pragma once

#include <QPixmap>

// The product's pictures, drawn rather than shipped as files.
namespace Artwork {
QPixmap splash();   // start-up picture
QPixmap product();  // the version window's picture
QIcon appIcon();
}  // namespace Artwork
