#include "EucJp.h"

#include <QList>
#include <QUrl>

#include <iconv.h>

namespace eucjp {
namespace {

QByteArray bytesOf(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values) bytes.append(static_cast<char>(v));
    return bytes;
}

// One character through an open iconv descriptor, or 0 when the bytes name none.
char32_t decodeOne(iconv_t cd, QByteArray bytes) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char32_t out = 0;
    char* in = bytes.data();
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* outPtr = reinterpret_cast<char*>(&out);
    size_t outLeft = sizeof out;
    const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    return rc == static_cast<size_t>(-1) || inLeft != 0 || outLeft != 0 ? 0 : out;
}

iconv_t openFrom(const char* from) {
    iconv_t cd = iconv_open("UTF-32LE", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) qFatal("iconv cannot convert from %s", from);
    return cd;
}

// The browsers' tables, by pointer (row * 94 + cell, both from 0): the
// two-byte codes are Windows-31J's characters (read through its Shift_JIS
// bytes), the three-byte ones (0x8F) JIS X 0212. The encoder uses the first
// pointer of a character, as browsers do.
struct Tables {
    QList<char32_t> jis0208;
    QList<char32_t> jis0212;
    QHash<char32_t, int> pointerOf;
};

const Tables& tables() {
    static const Tables t = [] {
        Tables t;
        t.jis0208.fill(0, 94 * 94);
        t.jis0212.fill(0, 94 * 94);
        iconv_t cp932 = openFrom("CP932");
        iconv_t eucJp = openFrom("EUC-JP");
        for (int row = 0; row < 94; ++row) {
            for (int cell = 0; cell < 94; ++cell) {
                const int lead = (row >> 1) + (row < 62 ? 0x81 : 0xC1);
                const int trail = row % 2 == 0 ? cell + (cell < 63 ? 0x40 : 0x41) : cell + 0x9F;
                const char32_t c = decodeOne(cp932, bytesOf({lead, trail}));
                const int pointer = row * 94 + cell;
                if (c != 0 && (c < 0xE000 || c > 0xF8FF)) {
                    t.jis0208[pointer] = c;
                    if (!t.pointerOf.contains(c)) t.pointerOf.insert(c, pointer);
                }
                t.jis0212[pointer] = decodeOne(eucJp, bytesOf({0x8F, 0xA1 + row, 0xA1 + cell}));
            }
        }
        iconv_close(cp932);
        iconv_close(eucJp);
        return t;
    }();
    return t;
}

}  // namespace

QByteArray encode(const QString& text) {
    const Tables& t = tables();
    QByteArray out;
    out.reserve(text.size() * 2);
    for (char32_t c : text.toUcs4()) {
        if (c < 0x80) {
            out += char(c);
        } else if (c == 0xA5) {
            out += char(0x5C);
        } else if (c == 0x203E) {
            out += char(0x7E);
        } else if (c >= 0xFF61 && c <= 0xFF9F) {
            out += char(0x8E);
            out += char(c - 0xFF61 + 0xA1);
        } else {
            const auto it = t.pointerOf.constFind(c == 0x2212 ? 0xFF0D : c);
            if (it == t.pointerOf.constEnd()) {
                out += "&#" + QByteArray::number(quint32(c)) + ';';
            } else {
                out += char(0xA1 + *it / 94);
                out += char(0xA1 + *it % 94);
            }
        }
    }
    return out;
}

QString decode(const QByteArray& bytes) {
    const Tables& t = tables();
    QString out;
    const auto in = [](int b, int low, int high) { return b >= low && b <= high; };
    int lead = 0;
    bool threeByte = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int b = static_cast<unsigned char>(bytes[i]);
        if (lead == 0x8E && in(b, 0xA1, 0xDF)) {
            lead = 0;
            out += QChar(0xFF61 - 0xA1 + b);
            continue;
        }
        if (lead == 0x8F && in(b, 0xA1, 0xFE)) {
            threeByte = true;
            lead = b;
            continue;
        }
        if (lead != 0) {
            char32_t c = 0;
            if (in(lead, 0xA1, 0xFE) && in(b, 0xA1, 0xFE)) c = (threeByte ? t.jis0212 : t.jis0208)[(lead - 0xA1) * 94 + (b - 0xA1)];
            lead = 0;
            threeByte = false;
            if (c != 0) {
                out += QString::fromUcs4(&c, 1);
            } else {
                out += QChar(0xFFFD);
                if (b < 0x80) --i;
            }
            continue;
        }
        if (b < 0x80)
            out += QChar(b);
        else if (b == 0x8E || b == 0x8F || in(b, 0xA1, 0xFE))
            lead = b;
        else
            out += QChar(0xFFFD);
    }
    if (lead != 0) out += QChar(0xFFFD);
    return out;
}

Form parseForm(const QByteArray& urlEncoded) {
    Form form;
    for (QByteArray pair : urlEncoded.split('&')) {
        if (pair.isEmpty()) continue;
        pair.replace('+', ' ');
        const qsizetype equals = pair.indexOf('=');
        const QByteArray name = equals < 0 ? pair : pair.left(equals);
        const QByteArray value = equals < 0 ? QByteArray() : pair.mid(equals + 1);
        form.insert(decode(QByteArray::fromPercentEncoding(name)), decode(QByteArray::fromPercentEncoding(value)));
    }
    return form;
}

QString percentEncode(const QString& value) { return QString::fromLatin1(QUrl::toPercentEncoding(encode(value))); }

}  // namespace eucjp
