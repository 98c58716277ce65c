// Page text in any bytes, decoded by any charset a server may declare.
#include "FuzzInput.h"

#include "core/Charset.h"
#include "core/Cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in(data, size);
    static const QList<QByteArray> names{"EUC-JP", "Shift_JIS", "sjis", "UTF-8", "ISO-8859-1", "no-such-charset"};
    const QByteArray bytes = in.bytes(1);
    QString text;
    if (charset::decode(bytes, names.value(in.number(0, names.size())), &text)) {
        // Every byte becomes at most one character (three-byte codes become one).
        FUZZ_CHECK(text.size() <= bytes.size() * 2);
    }
    const QString back = cp932::decode(cp932::encode(cp932::decode(bytes)));
    Q_UNUSED(back);
    return 0;
}
