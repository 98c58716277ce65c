#include "listing/pictures/PngShrink.h"

#include <QColorSpace>

#include <csetjmp>
#include <cstring>
#include <limits>
#include <vector>

#include <png.h>

namespace picture::detail {

namespace {

// Rows in, a picture of `out` pixels out: each output pixel the average of the source pixels
// that fall on it, so only the output and one row of sums are ever held.
class Shrinker {
public:
    Shrinker(const QSize& in, const QSize& out)
        : m_in(in), m_image(out, QImage::Format_ARGB32_Premultiplied), m_sums(size_t(out.width()) * 4), m_count(out.width()) {
        for (int x = 0; x < in.width(); ++x) ++m_count[size_t(qint64(x) * out.width() / in.width())];
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
        const int nextOut = m_row < m_in.height() ? int(qint64(m_row) * m_image.height() / m_in.height()) : m_image.height();
        if (nextOut != m_outRow) flush(nextOut);
    }
    QImage image() const { return m_image; }

private:
    void flush(int nextOut) {
        auto* line = reinterpret_cast<QRgb*>(m_image.scanLine(m_outRow));
        for (int x = 0; x < m_image.width(); ++x) {
            quint64* s = &m_sums[size_t(x) * 4];
            const quint64 n = quint64(m_count[size_t(x)]) * m_rows;
            const quint64 d = 255 * n;
            line[x] =
                n == 0 ? 0 : qRgba(int((s[0] + d / 2) / d), int((s[1] + d / 2) / d), int((s[2] + d / 2) / d), int((s[3] + n / 2) / n));
            s[0] = s[1] = s[2] = s[3] = 0;
        }
        // A picture made taller (never asked for) would repeat the row.
        for (int y = m_outRow + 1; y < nextOut; ++y) std::memcpy(m_image.scanLine(y), line, size_t(m_image.bytesPerLine()));
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
    if (src->at + qint64(length) > src->size) png_error(png, "short");
    std::memcpy(out, src->data + src->at, length);
    src->at += qint64(length);
}
void pngQuiet(png_structp, png_const_charp) {}
void pngFail(png_structp png, png_const_charp) { png_longjmp(png, 1); }

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
    if (setjmp(png_jmpbuf(w.png))) return false;
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
    if (png_get_rowbytes(w.png, w.info) != png_size_t(width) * 4) return false;
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 profileLength = 0;
    if (png_get_iCCP(w.png, w.info, &name, &compression, &profile, &profileLength) && profile)
        *icc = QByteArray(reinterpret_cast<const char*>(profile), int(profileLength));
    if (passes > 1) {
        w.all.assign(size_t(width) * 4 * height, 0);
        w.rows.resize(height);
        for (png_uint_32 y = 0; y < height; ++y) w.rows[y] = w.all.data() + size_t(y) * width * 4;
        png_read_image(w.png, w.rows.data());
        for (png_uint_32 y = 0; y < height; ++y) shrink.addRow(w.rows[y]);
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

}  // namespace

QImage pngImage(const uchar* data, qint64 size, const QSize& stored, const QSize& out) {
    Shrinker shrink(stored, out);
    if (!shrink.ok()) return QImage();
    PngWork w;
    w.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngFail, pngQuiet);
    if (!w.png) return QImage();
    w.info = png_create_info_struct(w.png);
    PngSource src{data, size, 0};
    QByteArray icc;
    const bool ok = w.info && pngDecode(w, src, shrink, &icc);
    png_destroy_read_struct(&w.png, w.info ? &w.info : nullptr, nullptr);
    if (!ok) return QImage();
    QImage image = shrink.image();
    if (!icc.isEmpty()) image.setColorSpace(QColorSpace::fromIccProfile(icc));
    return image;
}

}  // namespace picture::detail
