#include "core/Cp932.h"
#include "core/Charset.h"

#include <QList>

#include <iconv.h>

#include <cerrno>

namespace cp932 {

// One conversion descriptor per call: iconv_t is not thread-safe and opening
// one is cheap next to the file I/O around every use.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t cd() const { return m_cd; }

private:
    iconv_t m_cd;
};

int utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

// Runs iconv over the whole input; on a sequence it cannot convert it calls
// onBad(position, length-to-skip) which may append a replacement to `out`.
template <typename OnBad>
QByteArray convert(const Converter& conv, const QByteArray& in, OnBad onBad) {
    QByteArray out;
    if (!conv.ok() || in.isEmpty()) return out;
    out.reserve(in.size() * 3 / 2 + 16);
    char* inPtr = const_cast<char*>(in.constData());
    size_t inLeft = static_cast<size_t>(in.size());
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(conv.cd(), &inPtr, &inLeft, &outPtr, &outLeft);
        const int error = errno;  // before anything that may allocate
        out.append(buffer, static_cast<int>(outPtr - buffer));
        if (rc != static_cast<size_t>(-1)) break;
        if (error == E2BIG) continue;
        // EILSEQ or EINVAL (an incomplete sequence at the end): skip and go on.
        size_t skip = onBad(out, inPtr - in.constData(), inLeft);
        if (skip == 0 || skip > inLeft) skip = 1;
        inPtr += skip;
        inLeft -= skip;
    }
    // Flush any shift state (none for these encodings, but harmless).
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(conv.cd(), nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<int>(outPtr - buffer));
    return out;
}

QString decode(const QByteArray& bytes) {
    Converter conv("UTF-8", "CP932");
    const QByteArray replacement = QStringLiteral("\uFFFD").toUtf8();
    QByteArray utf8 = convert(conv, bytes, [&](QByteArray& out, qsizetype, size_t) {
        out.append(replacement);
        return size_t(1);
    });
    return QString::fromUtf8(utf8);
}

QByteArray encode(const QString& text, QString* unmappable) {
    Converter conv("CP932", "UTF-8");
    const QByteArray utf8 = text.toUtf8();
    return convert(conv, utf8, [&](QByteArray& out, qsizetype pos, size_t) {
        const int len = utf8SequenceLength(static_cast<unsigned char>(utf8.at(pos)));
        if (unmappable) *unmappable += QString::fromUtf8(utf8.mid(pos, len));
        out.append('?');
        return size_t(len);
    });
}

QByteArray encode(const QString& text) { return encode(text, nullptr); }

bool canEncode(const QString& text) {
    QString bad;
    encode(text, &bad);
    return bad.isEmpty();
}

bool ansiCode(const QString& character, int* code) {
    QString bad;
    const QByteArray bytes = encode(character, &bad);
    if (!bad.isEmpty()) return false;
    if (bytes.size() == 1) {
        *code = static_cast<unsigned char>(bytes.at(0));
        return true;
    }
    if (bytes.size() == 2) {
        const int raw = (static_cast<unsigned char>(bytes.at(0)) << 8) | static_cast<unsigned char>(bytes.at(1));
        *code = static_cast<qint16>(raw);
        return true;
    }
    return false;
}

bool fromAnsiCode(int code, QString* character) {
    if (code < -32768 || code > 32767) return false;
    QByteArray bytes;
    if (code >= 0 && code <= 0xFF) {
        bytes.append(static_cast<char>(code));
    } else {
        const auto raw = static_cast<quint16>(code);
        bytes.append(static_cast<char>(raw >> 8));
        bytes.append(static_cast<char>(raw & 0xFF));
    }
    // A valid code decodes to exactly one character and encodes back to the same bytes;
    // lead bytes alone, undefined cells and codes 0x100..0x7FFF fail this.
    const QString decoded = decode(bytes);
    if (decoded.isEmpty() || decoded.contains(QChar(0xFFFD)) || decoded.toUcs4().size() != 1) return false;
    if (encode(decoded) != bytes) return false;
    *character = decoded;
    return true;
}

}  // namespace cp932

namespace charset {

bool decode(const QByteArray& bytes, const QByteArray& name, QString* text) {
    // Windows' Shift_JIS is CP932: the same table the program's files use.
    const QByteArray from = name.compare("Shift_JIS", Qt::CaseInsensitive) == 0 ? QByteArray("CP932") : name;
    cp932::Converter conv("UTF-8", from.constData());
    if (!conv.ok()) return false;
    const QByteArray replacement = QStringLiteral("\uFFFD").toUtf8();
    *text = QString::fromUtf8(cp932::convert(conv, bytes, [&](QByteArray& out, qsizetype, size_t) {
        out.append(replacement);
        return size_t(1);
    }));
    return true;
}

}  // namespace charset
