#include "login/LoginList.h"

#include "core/ProgramFolder.h"
#include "core/Values.h"
#include "core/mduInterFace.h"
#include "settings/IniFile.h"
#include "settings/KeptPasswords.h"

namespace LoginList {
namespace {
using keptpasswords::idKey;
using keptpasswords::kOptions;
using keptpasswords::kRecord;
using keptpasswords::passwordKey;
}  // namespace

State read() { return stateOf(IniFile::load(ProgramFolder::settingsFile())); }

State stateOf(const IniFile& file) {
    State s;
    s.text1 = mduInterFace::Dec_Str(file.value(kOptions, QStringLiteral("ログイン情報0")));
    s.text2 = keptpasswords::rememberedPassword(file, s.text1);
    s.rows = QList<Row>(kRows);
    for (int n = 1; n <= kRows; ++n) {
        bool found = false;
        Row& row = s.rows[n - 1];
        row.id = mduInterFace::Dec_Str(file.value(kRecord, idKey(n), &found));
        if (!s.text1.isEmpty() && s.text1 == row.id) row.tick = QStringLiteral("-1");
        if (!found) {
            row.id.clear();
            break;
        }
        row.password = keptpasswords::password(file, n, row.id, &row.inKeyring);
    }
    return s;
}

int numberFor(const QList<Row>& rows, const QString& id) {
    int filled = 0;
    for (const Row& row : rows) {
        if (row.id.isEmpty()) break;
        if (row.id.trimmed() == id.trimmed()) return 0;
        ++filled;
    }
    return filled + 1;
}

QList<mINI::Entry> addEntries(int number, const QString& id, const QString& password) {
    return {{kRecord, idKey(number), mduInterFace::Enc_Str(id)}, {kRecord, passwordKey(number), mduInterFace::Enc_Str(password)}};
}

void add(IniFile& file, const QString& id, const QString& password) {
    const int n = numberFor(stateOf(file).rows, id);
    if (n < 1) return;
    for (const mINI::Entry& e : addEntries(n, id, password)) file.setValue(e.section, e.key, e.value);
}

bool editAllowed(const QList<Row>& rows, int row, int currentCol) {
    if (row < 1 || row > rows.size() || rows[row - 1].id.isEmpty() || currentCol != 0) return false;
    for (int i = 0; i < rows.size(); ++i)
        if (i != row - 1 && values::leadingNumber(rows[i].tick) == -1) return false;
    return true;
}

QList<mINI::Entry> closingEntries(const QList<Row>& rows) {
    QList<mINI::Entry> out;
    for (const Row& row : rows)
        if (values::leadingNumber(row.tick) == -1)
            // A password the keyring keeps stays there: the file gets the mark, never the password.
            out = {{kOptions, QStringLiteral("ログイン情報0"), mduInterFace::Enc_Str(row.id)},
                   {kOptions, QStringLiteral("ログイン情報1"), row.inKeyring ? QString() : mduInterFace::Enc_Str(row.password)},
                   {kOptions, keptpasswords::kRememberedMark, row.inKeyring ? QStringLiteral("1") : QStringLiteral("0")}};
    return out;
}

}  // namespace LoginList
