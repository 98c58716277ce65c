// The profile format: any bytes read, keys set, and the file written back.
#include "FuzzInput.h"

#include "core/Cp932.h"
#include "settings/IniFile.h"

namespace {
// A name the format can hold: no brackets, equals sign or line end, no blanks around it.
bool plainName(const QString& s) {
    if (s.isEmpty() || s != s.trimmed()) return false;
    for (QChar c : s)
        if (c == QLatin1Char('[') || c == QLatin1Char(']') || c == QLatin1Char('=') || c == QLatin1Char(';') || c < QLatin1Char(' '))
            return false;
    return cp932::canEncode(s);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in(data, size);
    const QByteArray original = in.bytes(0);
    IniFile file = IniFile::fromBytes(QStringLiteral("fuzz.ini"), original);

    // Untouched, the file is written back byte for byte (less UTF-8 byte-order marks at its start).
    QByteArray expected = original;
    while (expected.startsWith("\xEF\xBB\xBF")) expected.remove(0, 3);
    FUZZ_CHECK(file.toBytes() == expected);

    for (int i = 1; i + 2 < in.count(); i += 3) {
        const QString section = in.text(i), key = in.text(i + 1), value = in.text(i + 2);
        file.value(section, key);
        file.setValue(section, key, value);
        if (!plainName(section) || !plainName(key) || !cp932::canEncode(value)) continue;
        // Set, then read back from the bytes that would be saved: the value on one line, trimmed.
        QString oneLine = value;
        oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        const IniFile again = IniFile::fromBytes(QStringLiteral("fuzz.ini"), file.toBytes());
        bool found = false;
        const QString read = again.value(section, key, &found);
        FUZZ_CHECK(read == file.value(section, key));
        FUZZ_CHECK(found == !read.isEmpty());
    }
    return 0;
}
