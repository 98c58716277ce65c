#include "outbox/MailMessage.h"

#include <iconv.h>

#include <QLocale>
#include <QRegularExpression>
#include <QUuid>
#include <cerrno>
#include <optional>

namespace outbox {

namespace {

// The text in ISO-2022-JP, or nothing when a character has no JIS code (glibc's table: JIS X
// 0208 and ASCII; half-width katakana, the circled numbers and the like are not in it).
std::optional<QByteArray> iso2022jp(const QString& text) {
    iconv_t cd = iconv_open("ISO-2022-JP", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 4 + 16, '\0');
    char* inp = in.data();
    size_t inLeft = size_t(in.size());
    char* outp = out.data();
    size_t outLeft = size_t(out.size());
    bool ok = iconv(cd, &inp, &inLeft, &outp, &outLeft) != size_t(-1);
    // Back to ASCII at the end, as the encoding requires.
    ok = ok && iconv(cd, nullptr, nullptr, &outp, &outLeft) != size_t(-1);
    iconv_close(cd);
    if (!ok) return std::nullopt;
    out.truncate(int(outp - out.data()));
    return out;
}

// CP932's templates give the full-width forms Windows uses; JIS X 0208 has each under its own
// code point, which glibc's ISO-2022-JP table knows (～ is 〜 there, and so on).
QString jisForms(QString text) {
    static const QList<QPair<QChar, QChar>> pairs{{QChar(0xFF5E), QChar(0x301C)}, {QChar(0x2225), QChar(0x2016)},
                                                  {QChar(0xFF0D), QChar(0x2212)}, {QChar(0xFFE0), QChar(0x00A2)},
                                                  {QChar(0xFFE1), QChar(0x00A3)}, {QChar(0xFFE2), QChar(0x00AC)}};
    for (const auto& [windows, jis] : pairs) text.replace(windows, jis);
    return text;
}

bool ascii(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() > 0x7E || (c.unicode() < 0x20 && c != QLatin1Char('\r') && c != QLatin1Char('\n') && c != QLatin1Char('\t')))
            return false;
    return true;
}

// A header's text as encoded words (RFC 2047), each within a line's length; ASCII stays as it is.
QByteArray headerText(const QString& text, bool jis) {
    QString flat = text;
    flat.replace(QRegularExpression(QStringLiteral("[\\r\\n]+")), QStringLiteral(" "));  // no header injection
    if (ascii(flat)) return flat.toLatin1();
    QByteArrayList words;
    // Short pieces, so that every encoded word stays under 75 characters.
    for (int at = 0; at < flat.size();) {
        int n = qMin(6, int(flat.size()) - at);
        if (n < int(flat.size()) - at && flat.at(at + n - 1).isHighSurrogate()) ++n;
        const QString piece = flat.mid(at, n);
        at += n;
        if (jis)
            words << "=?ISO-2022-JP?B?" + iso2022jp(piece).value_or(QByteArray()).toBase64() + "?=";
        else
            words << "=?UTF-8?B?" + piece.toUtf8().toBase64() + "?=";
    }
    return words.join("\r\n ");
}

QString crlf(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

QByteArray base64Lines(const QByteArray& bytes) {
    const QByteArray all = bytes.toBase64();
    QByteArray out;
    for (int at = 0; at < all.size(); at += 76) out += all.mid(at, 76) + "\r\n";
    return out;
}

}  // namespace

bool plainAddress(const QString& address) {
    static const QRegularExpression form(
        QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z0-9.!#$%&'*+/=?^_`{|}~-]+@[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)*")));
    return form.match(address).hasMatch();
}

QString newMessageId(const QString& from) {
    const QString domain = from.section(QLatin1Char('@'), 1);
    return QStringLiteral("<%1@%2>").arg(QUuid::createUuid().toString(QUuid::WithoutBraces),
                                         domain.isEmpty() ? QStringLiteral("sorabako.invalid") : domain);
}

Composed compose(const Draft& draft, const QDateTime& at, const QString& messageId) {
    Composed c;
    const QString body = crlf(draft.body);
    const std::optional<QByteArray> jisBody = iso2022jp(jisForms(body));
    const bool jis = jisBody && iso2022jp(jisForms(draft.subject)) && iso2022jp(jisForms(draft.fromName));
    const QString subject = jis ? jisForms(draft.subject) : draft.subject;
    const QString fromName = jis ? jisForms(draft.fromName) : draft.fromName;
    // A line of more than 998 bytes is no mail line: such a body goes in base64 (same charset).
    bool longLine = false;
    if (jisBody)
        for (const QByteArray& line : jisBody->split('\n')) longLine = longLine || line.size() > 990;
    c.charset = jis ? QStringLiteral("ISO-2022-JP") : QStringLiteral("UTF-8");
    // A name of plain letters with a comma or a quote in it is quoted, or it would read as two addresses.
    QByteArray name = headerText(fromName, jis);
    static const QRegularExpression specials(QStringLiteral("[()<>\\[\\]:;@\\\\,.\"]"));
    if (ascii(fromName) && fromName.contains(specials))
        name = "\"" +
               QString(fromName)
                   .replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
                   .replace(QLatin1Char('"'), QStringLiteral("\\\""))
                   .toLatin1() +
               "\"";
    const QByteArray from = fromName.isEmpty() ? draft.from.toLatin1() : name + " <" + draft.from.toLatin1() + ">";
    QByteArray h;
    h += "From: " + from + "\r\n";
    h += "To: " + draft.to.toLatin1() + "\r\n";
    h += "Reply-To: " + (draft.replyTo.isEmpty() ? draft.from : draft.replyTo).toLatin1() + "\r\n";
    h += "Subject: " + headerText(subject, jis) + "\r\n";
    const int offset = at.offsetFromUtc() / 60;
    h += "Date: " + QLocale::c().toString(at, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss ")).toLatin1() +
         QString::asprintf("%c%02d%02d", offset < 0 ? '-' : '+', qAbs(offset) / 60, qAbs(offset) % 60).toLatin1() + "\r\n";
    h += "Message-ID: " + messageId.toLatin1() + "\r\n";
    h += "MIME-Version: 1.0\r\n";
    if (jis && longLine) {
        h += "Content-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: base64\r\n\r\n";
        c.data = h + base64Lines(*jisBody);
    } else if (jis) {
        h += "Content-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: 7bit\r\n\r\n";
        c.data = h + *jisBody;
        if (!c.data.endsWith("\r\n")) c.data += "\r\n";
    } else {
        h += "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n\r\n";
        c.data = h + base64Lines(body.toUtf8());
    }
    c.recipients << draft.to;
    if (draft.copyToSender && draft.from != draft.to) c.recipients << draft.from;
    return c;
}

}  // namespace outbox
