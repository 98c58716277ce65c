#pragma once

#include <QSize>
#include <QtGlobal>

// What a picture file's own structure says before any pixel is decoded: the
// size it declares, whether every byte of the picture is there, and what a
// decoder would have to hold. A file that lies is refused before it costs memory.
namespace picture::detail {

struct Facts {
    QSize size;
    bool whole = false;       // every byte the first picture needs is there
    qint64 workBytes = 0;     // what the decoder must hold besides the result
    bool interlaced = false;  // PNG only
};

Facts jpegFacts(const uchar* d, qint64 n);
Facts pngFacts(const uchar* d, qint64 n);
Facts gifFacts(const uchar* d, qint64 n);
Facts bmpFacts(const uchar* d, qint64 n);

}  // namespace picture::detail
