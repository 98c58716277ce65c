// The memory file's rules: any value applied to any kind of control, and a
// whole file written from any values and read back.
#include "FuzzInput.h"

#include "core/Cp932.h"
#include "memory/MemoryTable.h"
#include "settings/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in(data, size);
    for (int kind = 0; kind <= static_cast<int>(memory::Kind::OptionalNumber); ++kind)
        for (int i = 2; i < in.count() && i < 40; ++i) {
            memory::written(static_cast<memory::Kind>(kind), in.text(i));
            memory::applied(static_cast<memory::Kind>(kind), in.text(i), in.number(i + 1, 100) - 1);
        }
    // The whole file is the slow part: one input in four writes and reads it.
    if (in.number(1, 4) != 0) return 0;
    const QList<memory::Key>& keys = memory::keys();
    QMap<QString, QString> values;
    // Values from the fields after the file's bytes, each a screenful at most (one field for every
    // key would make each run check the same long text a hundred times over).
    for (int i = 0; i < keys.size(); ++i) values.insert(keys[i].control, in.text(1 + i % qMax(1, in.count() - 1)).left(300));
    // Any file's bytes, the program's keys written into it.
    IniFile file = IniFile::fromBytes(QStringLiteral("fuzz.srb"), in.bytes(0));
    QString unmappable;
    memory::write(file, values, &unmappable);
    const IniFile again = IniFile::fromBytes(QStringLiteral("fuzz.srb"), file.toBytes());
    for (const memory::Key& key : keys) {
        const QString stored = again.value(key.section, key.key);
        const std::optional<QString> applied = memory::applied(key.kind, stored, in.number(1, 60));
        // A plain one-line text the file can hold comes back as it was written.
        const QString value = values.value(key.control);
        if (key.kind == memory::Kind::Text && applied && cp932::canEncode(value) && value == value.trimmed() &&
            !value.contains(QLatin1Char('\r')) && !value.contains(QLatin1Char('\n')))
            FUZZ_CHECK(*applied == value);
    }
    return 0;
}
