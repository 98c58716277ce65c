#include "EucJp.h"

#include <QUrl>

#include <iconv.h>

#include <cerrno>

namespace eucjp {
namespace {

bool isUtf8Continuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Converts the whole input; each sequence iconv rejects is replaced by
// `substitute` and skipped (a whole character for UTF-8 input, one byte otherwise).
QByteArray convert(const char* to, const char* from, const QByteArray& input, const QByteArray& substitute,
                   bool utf8Input) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        qFatal("iconv cannot convert from %s to %s", from, to);
    QByteArray out;
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (rc != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        out.append(substitute);
        do {
            ++in;
            --inLeft;
        } while (utf8Input && inLeft > 0 && isUtf8Continuation(*in));
    }
    iconv_close(cd);
    return out;
}

}  // namespace

QByteArray encode(const QString& text) {
    return convert("EUC-JP", "UTF-8", text.toUtf8(), "?", true);
}

QString decode(const QByteArray& bytes) {
    return QString::fromUtf8(convert("UTF-8", "EUC-JP", bytes, "\xEF\xBF\xBD", false));
}

Form parseForm(const QByteArray& urlEncoded) {
    Form form;
    for (QByteArray pair : urlEncoded.split('&')) {
        if (pair.isEmpty())
            continue;
        pair.replace('+', ' ');
        const qsizetype equals = pair.indexOf('=');
        const QByteArray name = equals < 0 ? pair : pair.left(equals);
        const QByteArray value = equals < 0 ? QByteArray() : pair.mid(equals + 1);
        form.insert(decode(QByteArray::fromPercentEncoding(name)), decode(QByteArray::fromPercentEncoding(value)));
    }
    return form;
}

QString percentEncode(const QString& value) {
    return QString::fromLatin1(QUrl::toPercentEncoding(encode(value)));
}

}  // namespace eucjp
