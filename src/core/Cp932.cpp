#include "core/Cp932.h"
#include "core/Charset.h"

#include <QList>
#include <QSet>

#include <iconv.h>

#include <cerrno>

namespace cp932 {

// A conversion descriptor; iconv_t is not thread-safe, so each thread keeps its own.
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
// The input goes to iconv a piece at a time: on an error glibc converts the
// rest of what it was given again to find the spot, so one call over a long
// text with many characters CP932 has no code for would take quadratic time.
template <typename OnBad>
QByteArray convert(const Converter& conv, const QByteArray& in, OnBad onBad) {
    constexpr size_t kPiece = 64;  // longer than any one character's bytes, short enough to search again
    QByteArray out;
    if (!conv.ok() || in.isEmpty()) return out;
    iconv(conv.cd(), nullptr, nullptr, nullptr, nullptr);  // a descriptor used before starts afresh
    out.reserve(in.size() * 3 / 2 + 16);
    char* inPtr = const_cast<char*>(in.constData());
    size_t inLeft = static_cast<size_t>(in.size());
    char buffer[4096];
    while (inLeft > 0) {
        const size_t piece = qMin(inLeft, kPiece);
        size_t pieceLeft = piece;
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(conv.cd(), &inPtr, &pieceLeft, &outPtr, &outLeft);
        const int error = errno;  // before anything that may allocate
        inLeft -= piece - pieceLeft;
        out.append(buffer, static_cast<int>(outPtr - buffer));
        if (rc != static_cast<size_t>(-1)) continue;
        if (error == E2BIG) continue;
        // A character cut by the end of the piece: the next piece starts with it.
        if (error == EINVAL && pieceLeft < inLeft) continue;
        // EILSEQ, or an incomplete sequence at the very end: skip and go on.
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
    // Opened once per thread: a memory file converts a hundred values, and opening costs more than converting.
    thread_local const Converter conv("UTF-8", "CP932");
    const QByteArray replacement = QStringLiteral("\uFFFD").toUtf8();
    QByteArray utf8 = convert(conv, bytes, [&](QByteArray& out, qsizetype, size_t) {
        out.append(replacement);
        return size_t(1);
    });
    return QString::fromUtf8(utf8);
}

namespace {
// The characters CP932 gives back as themselves: the ones some byte sequence
// decodes to. glibc's table also writes a few others as a neighbour's code
// (U+00A5 ¥ as 0x5C, which reads back as "\", U+203E as "~", U+301C as
// U+FF5E, U+2016, U+2212, U+00A2, U+00A3, U+00AC, U+2014 ...): written, they
// would come back changed without a word, so they count as characters CP932
// cannot hold. A bit per character of the Basic Multilingual Plane; CP932
// has nothing beyond it.
class Held {
public:
    Held() : m_bits(0x10000 / 64, 0) {
        Converter conv("UTF-32LE", "CP932");
        const auto take = [&](const char* bytes, size_t size) {
            char32_t out[2] = {0, 0};
            char* inPtr = const_cast<char*>(bytes);
            size_t inLeft = size;
            char* outPtr = reinterpret_cast<char*>(out);
            size_t outLeft = sizeof out;
            iconv(conv.cd(), nullptr, nullptr, nullptr, nullptr);
            if (iconv(conv.cd(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return;
            if (outLeft != sizeof out - sizeof(char32_t) || out[0] > 0xFFFF) return;
            m_bits[out[0] / 64] |= quint64(1) << (out[0] % 64);
        };
        for (int b = 0; b < 0x100; ++b) {
            const char one = static_cast<char>(b);
            take(&one, 1);
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead > 0x9F && lead < 0xE0) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                take(two, 2);
            }
        }
    }
    bool has(char16_t c) const { return (m_bits[c / 64] >> (c % 64)) & 1; }

private:
    QList<quint64> m_bits;
};

const Held& held() {
    static const Held table;
    return table;
}
}  // namespace

QByteArray encode(const QString& text, QString* unmappable) {
    thread_local const Converter conv("CP932", "UTF-8");
    // Every character is judged here, in the text's order, so the ones that cannot be held
    // are named in that order; what reaches iconv is then all of its own.
    QString holdable;
    bool changed = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // NUL too: a file holding one is binary to every reader of the program.
        if ((c.unicode() != 0 && c.unicode() < 0x80) || (c.unicode() >= 0x80 && !c.isSurrogate() && held().has(c.unicode()))) {
            if (changed) holdable += c;
            continue;
        }
        if (!changed) {
            holdable = text.left(i);
            changed = true;
        }
        const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        if (unmappable) *unmappable += text.mid(i, pair ? 2 : 1);
        if (pair) ++i;
        holdable += QLatin1Char('?');
    }
    const QByteArray utf8 = (changed ? holdable : text).toUtf8();
    return convert(conv, utf8, [&](QByteArray& out, qsizetype pos, size_t) {
        out.append('?');
        return size_t(utf8SequenceLength(static_cast<unsigned char>(utf8.at(pos))));
    });
}

QByteArray encode(const QString& text) { return encode(text, nullptr); }

QString escaped(const QString& text) {
    // One pass finds the characters CP932 has no code for; whether a character has one does not
    // depend on its neighbours, so each of them is then replaced wherever it stands.
    QString unmappable;
    encode(text, &unmappable);
    if (unmappable.isEmpty()) return text;
    const QList<uint> badList = unmappable.toUcs4();
    const QSet<uint> bad(badList.cbegin(), badList.cend());
    QString out;
    for (uint cp : text.toUcs4()) {
        if (bad.contains(cp))
            out += QStringLiteral("&#%1;").arg(cp);
        else
            out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&cp), 1);
    }
    return out;
}

namespace {
// Judged as encode() judges it.
bool holds(char32_t cp) {
    if (cp == 0) return false;
    if (cp < 0x80) return true;
    return cp <= 0xFFFF && (cp < 0xD800 || cp > 0xDFFF) && held().has(static_cast<char16_t>(cp));
}

// The length of "#number;" at `at` when it is the rest of a reference escaped() writes (the
// number as QString::number gives it, of a character CP932 cannot hold); 0 otherwise.
qsizetype referenceTail(const QString& text, qsizetype at, char32_t* cp) {
    if (at + 2 >= text.size() || text.at(at) != QLatin1Char('#')) return 0;
    const qsizetype first = at + 1;
    qsizetype i = first;
    char32_t n = 0;
    while (i < text.size() && i - first < 8 && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'))
        n = n * 10 + static_cast<char32_t>(text.at(i++).unicode() - '0');
    if (i == first || text.at(first) == QLatin1Char('0') || i >= text.size() || text.at(i) != QLatin1Char(';')) return 0;
    if (n > 0x10FFFF || (n >= 0xD800 && n <= 0xDFFF) || holds(n)) return 0;
    *cp = n;
    return i + 1 - at;
}

enum class Reference { None, Character, Ampersand };

// What unescaped() reads at an "&": a character's reference, or "&#38;" followed by
// ("#38;")* and the rest of a character's reference, which is the "&" of text typed that way.
Reference referenceAt(const QString& text, qsizetype at, char32_t* cp, qsizetype* length) {
    if (text.at(at) != QLatin1Char('&')) return Reference::None;
    const QLatin1String mark("#38;");
    int marks = 0;
    for (qsizetype i = at + 1;; i += mark.size(), ++marks) {
        if (const qsizetype tail = referenceTail(text, i, cp)) {
            *length = marks == 0 ? 1 + tail : 1 + mark.size();
            return marks == 0 ? Reference::Character : Reference::Ampersand;
        }
        if (QStringView(text).mid(i, mark.size()) != mark) return Reference::None;
    }
}
}  // namespace

QString reversiblyEscaped(const QString& text) {
    QString out;
    bool changed = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const char32_t cp = pair ? QChar::surrogateToUcs4(c, text.at(i + 1)) : c.unicode();
        char32_t named = 0;
        qsizetype length = 0;
        QString written;
        if (c == QLatin1Char('&') && referenceAt(text, i, &named, &length) != Reference::None)
            written = QStringLiteral("&#38;");
        else if (!holds(cp))
            written = QStringLiteral("&#%1;").arg(c.isSurrogate() && !pair ? 0xFFFD : cp);  // as toUcs4() takes a lone half
        if (written.isEmpty()) {
            if (changed) out += text.mid(i, pair ? 2 : 1);
        } else {
            if (!changed) out = text.left(i);
            changed = true;
            out += written;
        }
        if (pair) ++i;
    }
    return changed ? out : text;
}

QString unescaped(const QString& text) {
    if (!text.contains(QLatin1String("&#"))) return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        char32_t cp = 0;
        qsizetype length = 0;
        switch (referenceAt(text, i, &cp, &length)) {
            case Reference::Character: out += QString::fromUcs4(&cp, 1); break;
            case Reference::Ampersand: out += QLatin1Char('&'); break;
            case Reference::None:
                out += text.at(i);
                length = 1;
                break;
        }
        i += length;
    }
    return out;
}

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
namespace {

bool isShiftJis(const QByteArray& name) {
    // The spellings a server may use for it; Windows' Shift_JIS is CP932, the table of the program's files.
    static const QList<QByteArray> names{"shift_jis", "shift-jis",  "sjis",  "x-sjis", "windows-31j",
                                         "ms_kanji",  "csshiftjis", "ms932", "cp932",  "x-ms-cp932"};
    return names.contains(name);
}

bool isEucJp(const QByteArray& name) { return name == "euc-jp" || name == "x-euc-jp" || name == "cseucpkdfmtjapanese"; }

// Characters of the two-byte EUC-JP codes and of the three-byte (0x8F) ones,
// by pointer: (first byte - 0xA1) * 94 + (second byte - 0xA1). A null
// character for a code that names none.
struct EucJpTables {
    QList<char16_t> jis0208;
    QList<char32_t> jis0212;
};

QByteArray bytesOf(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values) bytes.append(static_cast<char>(v));
    return bytes;
}

const EucJpTables& eucJpTables() {
    static const EucJpTables tables = [] {
        EucJpTables t;
        t.jis0208.fill(0, 94 * 94);
        t.jis0212.fill(0, 94 * 94);
        cp932::Converter fromCp932("UTF-32LE", "CP932");
        cp932::Converter fromEucJp("UTF-32LE", "EUC-JP");
        auto one = [](const cp932::Converter& conv, QByteArray in) -> char32_t {
            char32_t out = 0;
            char* inPtr = in.data();
            size_t inLeft = static_cast<size_t>(in.size());
            char* outPtr = reinterpret_cast<char*>(&out);
            size_t outLeft = sizeof out;
            iconv(conv.cd(), nullptr, nullptr, nullptr, nullptr);
            if (iconv(conv.cd(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 || outLeft != 0) return 0;
            return out;
        };
        for (int row = 0; row < 94; ++row)
            for (int cell = 0; cell < 94; ++cell) {
                // Row and cell as the Shift_JIS bytes of the same code, so the two-byte codes go
                // through CP932's table: the NEC row 13 and the NEC-selected IBM rows 89-92 included.
                const int lead = (row >> 1) + (row < 62 ? 0x81 : 0xC1);
                const int trail = row % 2 == 0 ? cell + (cell < 63 ? 0x40 : 0x41) : cell + 0x9F;
                const char32_t c = one(fromCp932, bytesOf({lead, trail}));
                // The user-defined rows of CP932 are no character of a page.
                if (c < 0xE000 || c > 0xF8FF) t.jis0208[row * 94 + cell] = static_cast<char16_t>(c <= 0xFFFF ? c : 0);
                t.jis0212[row * 94 + cell] = one(fromEucJp, bytesOf({0x8F, 0xA1 + row, 0xA1 + cell}));
            }
        // The engine also reads row 83 of the three-byte codes as IBM's Roman numerals and ㈱
        // (0x8FF3A1 ⅰ … 0x8FF3AA ⅹ, 0x8FF3AB Ⅰ … 0x8FF3B4 Ⅹ, 0x8FF3B7 ㈱); JIS X 0212 has nothing there.
        for (int i = 0; i < 10; ++i) {
            t.jis0212[82 * 94 + i] = 0x2170 + i;
            t.jis0212[82 * 94 + 10 + i] = 0x2160 + i;
        }
        t.jis0212[82 * 94 + 22] = 0x3231;
        return t;
    }();
    return tables;
}

// EUC-JP the way the web engine reads it, byte for byte: a code the tables
// do not name becomes U+FFFD; a sequence cut short by a byte that can begin
// a character becomes U+001A and that byte is read again; a sequence broken
// by a byte that can begin nothing (0xA0, 0xFF) becomes one U+FFFD with it.
QString decodeEucJp(const QByteArray& bytes) {
    const EucJpTables& tables = eucJpTables();
    QString out;
    out.reserve(bytes.size());
    const auto within = [](int b, int low, int high) { return b >= low && b <= high; };
    const auto canBegin = [](int b) { return b != 0xA0 && b != 0xFF; };
    const QChar cutShort(0x001A), unknown(0xFFFD);
    const qsizetype n = bytes.size();
    const auto at = [&bytes](qsizetype i) { return static_cast<int>(static_cast<unsigned char>(bytes[i])); };
    qsizetype i = 0;
    while (i < n) {
        const int b = at(i);
        if (b < 0x8E || within(b, 0x90, 0x9F)) {  // ASCII and the C1 controls stand for themselves
            out += QChar(b);
            ++i;
            continue;
        }
        if (!canBegin(b) || i + 1 >= n) {
            out += cutShort;
            ++i;
            continue;
        }
        const int t = at(i + 1);
        if (b == 0x8E) {
            if (within(t, 0xA1, 0xDF)) {
                out += QChar(0xFF61 - 0xA1 + t);  // half-width katakana
                i += 2;
            } else if (within(t, 0xE0, 0xE4)) {
                static const char16_t signs[] = {0x00A2, 0x00A3, 0x00AC, 0xFFFD, 0xFFFD};  // ¢ £ ¬
                out += QChar(signs[t - 0xE0]);
                i += 2;
            } else if (canBegin(t)) {
                out += cutShort;
                ++i;
            } else {
                out += unknown;
                i += 2;
            }
            continue;
        }
        if (b == 0x8F) {
            if (within(t, 0xA1, 0xFE)) {
                if (i + 2 < n && within(at(i + 2), 0xA1, 0xFE)) {
                    const char32_t c = tables.jis0212[(t - 0xA1) * 94 + (at(i + 2) - 0xA1)];
                    out += c != 0 ? QString::fromUcs4(&c, 1) : QString(unknown);
                    i += 3;
                } else {
                    out += cutShort;  // read again from the second byte
                    ++i;
                }
            } else if (canBegin(t)) {
                out += cutShort;
                ++i;
            } else {
                out += unknown;
                i += 2;
            }
            continue;
        }
        // 0xA1 to 0xFE: a two-byte code.
        if (within(t, 0xA1, 0xFE)) {
            const char16_t c = tables.jis0208[(b - 0xA1) * 94 + (t - 0xA1)];
            out += c != 0 ? QChar(c) : unknown;
            i += 2;
        } else if (canBegin(t)) {
            out += cutShort;
            ++i;
        } else {
            out += unknown;
            i += 2;
        }
    }
    return out;
}

}  // namespace

bool decode(const QByteArray& bytes, const QByteArray& name, QString* text) {
    const QByteArray label = name.trimmed().toLower();
    if (isShiftJis(label)) {
        *text = cp932::decode(bytes);
        return true;
    }
    if (isEucJp(label)) {
        *text = decodeEucJp(bytes);
        return true;
    }
    cp932::Converter conv("UTF-8", label.constData());
    if (!conv.ok()) return false;
    const QByteArray replacement = QStringLiteral("\uFFFD").toUtf8();
    *text = QString::fromUtf8(cp932::convert(conv, bytes, [&](QByteArray& out, qsizetype, size_t) {
        out.append(replacement);
        return size_t(1);
    }));
    return true;
}

}  // namespace charset
