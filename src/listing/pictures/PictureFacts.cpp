#include "listing/pictures/PictureFacts.h"

#include <climits>

namespace picture::detail {

namespace {
quint32 be16(const uchar* p) { return (quint32(p[0]) << 8) | p[1]; }
quint32 be32(const uchar* p) { return (be16(p) << 16) | be16(p + 2); }
quint32 le16(const uchar* p) { return (quint32(p[1]) << 8) | p[0]; }
quint32 le32(const uchar* p) { return (le16(p + 2) << 16) | le16(p); }

}  // namespace

// The marker segments up to the first scan, then the scan's end. An EXIF thumbnail ends with an
// EOI of its own, so only an EOI after the scan counts. Every block of a Huffman-coded scan takes
// at least one bit: a file too short for its declared blocks cannot be whole.
Facts jpegFacts(const uchar* d, qint64 n) {
    Facts f;
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8) return f;
    qint64 at = 2;
    bool progressive = false, arithmetic = false;
    int components = 0;
    qint64 blocks = 0, mostBlocks = 0;
    while (at + 4 <= n) {
        if (d[at] != 0xFF) return f;
        const uchar m = d[at + 1];
        if (m == 0xFF) {
            ++at;
            continue;
        }  // fill byte
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD8)) {
            at += 2;
            continue;
        }
        if (m == 0xD9) return f;  // an end before any scan
        const qint64 length = be16(d + at + 2);
        if (length < 2 || at + 2 + length > n) return f;
        const uchar* s = d + at + 4;
        const bool sof = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (sof && length >= 8) {
            f.size = QSize(int(be16(s + 3)), int(be16(s + 1)));
            components = s[5];
            progressive = m == 0xC2 || m == 0xC6 || m == 0xCA || m == 0xCE;
            arithmetic = m >= 0xC9;
            if (length < 8 + 3 * components || components == 0) return Facts{};
            int hMax = 1, vMax = 1;
            for (int i = 0; i < components; ++i) {
                hMax = qMax(hMax, s[6 + 3 * i + 1] >> 4);
                vMax = qMax(vMax, s[6 + 3 * i + 1] & 15);
            }
            for (int i = 0; i < components; ++i) {
                const qint64 h = qMax(1, s[6 + 3 * i + 1] >> 4), v = qMax(1, s[6 + 3 * i + 1] & 15);
                const qint64 w = (qint64(f.size.width()) * h + hMax - 1) / hMax;
                const qint64 ht = (qint64(f.size.height()) * v + vMax - 1) / vMax;
                const qint64 b = ((w + 7) / 8) * ((ht + 7) / 8);
                blocks += b;
                mostBlocks = qMax(mostBlocks, b);
            }
        }
        if (m == 0xDA) {
            if (f.size.isEmpty()) return Facts{};
            // A scan of fewer components than the frame (or a progressive one) makes the decoder
            // keep every coefficient of the picture: 64 of 2 bytes a block.
            if (progressive || (length >= 3 && s[0] < components)) f.workBytes = blocks * 128;
            const qint64 scan = at + 2 + length;
            const QByteArrayView rest(reinterpret_cast<const char*>(d + scan), n - scan);
            const qint64 end = rest.indexOf(QByteArrayView("\xFF\xD9", 2));
            f.whole = end >= 0 && (arithmetic || end * 8 >= mostBlocks);
            return f;
        }
        at += 2 + length;
    }
    return f;
}

// The chunks up to IEND: a PNG cut short has none.
Facts pngFacts(const uchar* d, qint64 n) {
    Facts f;
    static const uchar signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (n < 33 || std::memcmp(d, signature, 8) != 0 || std::memcmp(d + 12, "IHDR", 4) != 0) return f;
    f.size = QSize(int(qMin<quint32>(be32(d + 16), INT_MAX)), int(qMin<quint32>(be32(d + 20), INT_MAX)));
    f.interlaced = d[28] == 1;
    if (f.interlaced) f.workBytes = qMin(qint64(f.size.width()) * f.size.height(), std::numeric_limits<qint64>::max() / 4) * 4;
    bool data = false;
    qint64 at = 8;
    while (at + 12 <= n) {
        const qint64 length = be32(d + at);
        if (std::memcmp(d + at + 4, "IDAT", 4) == 0) data = true;
        if (std::memcmp(d + at + 4, "IEND", 4) == 0) {
            f.whole = data;
            return f;
        }
        at += 12 + length;
    }
    return f;
}

// The first image's data runs to its terminating empty block.
Facts gifFacts(const uchar* d, qint64 n) {
    Facts f;
    if (n < 13 || (std::memcmp(d, "GIF87a", 6) != 0 && std::memcmp(d, "GIF89a", 6) != 0)) return f;
    f.size = QSize(int(le16(d + 6)), int(le16(d + 8)));
    qint64 at = 13;
    if (d[10] & 0x80) at += 3 * (2 << (d[10] & 7));
    auto skipBlocks = [&] {
        while (at < n) {
            const int size = d[at++];
            if (size == 0) return true;
            at += size;
        }
        return false;
    };
    while (at < n) {
        const uchar kind = d[at++];
        if (kind == 0x21) {
            if (++at > n || !skipBlocks()) return f;
        } else if (kind == 0x2C) {
            if (at + 9 > n) return f;
            const uchar packed = d[at + 8];
            at += 9;
            if (packed & 0x80) at += 3 * (2 << (packed & 7));
            ++at;  // the LZW code size
            f.whole = at <= n && skipBlocks();
            return f;
        } else {
            return f;  // the trailer, or no GIF block: no picture in it
        }
    }
    return f;
}

// An uncompressed BMP needs its rows; any other says its length in the header.
Facts bmpFacts(const uchar* d, qint64 n) {
    Facts f;
    if (n < 26 || d[0] != 'B' || d[1] != 'M') return f;
    const qint64 declared = le32(d + 2), pixelsAt = le32(d + 10), header = le32(d + 14);
    qint64 width = 0, height = 0, bits = 0, compression = 0;
    if (header == 12) {
        width = le16(d + 18), height = le16(d + 20), bits = le16(d + 24);
    } else if (header >= 40 && n >= 34) {
        width = qint32(le32(d + 18)), height = qint32(le32(d + 22)), bits = le16(d + 28), compression = le32(d + 30);
    } else {
        return f;
    }
    height = qAbs(height);
    if (width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX) return f;
    f.size = QSize(int(width), int(height));
    if (compression == 0 || compression == 3) {
        // Judged by division: a hostile header's rows times its height need not fit in 64 bits.
        const qint64 rowBytes = (width * bits + 31) / 32 * 4;
        f.whole = pixelsAt <= n && (rowBytes == 0 || height <= (n - pixelsAt) / rowBytes);
    } else {
        f.whole = n >= declared;
    }
    return f;
}

}  // namespace picture::detail
