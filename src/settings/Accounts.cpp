#include "settings/Accounts.h"

#include "core/ProgramFolder.h"
#include "core/Values.h"
#include "core/mduInterFace.h"
#include "settings/IniFile.h"
#include "settings/KeptPasswords.h"

namespace accounts {
namespace {
QString key(const QString& name, int row) { return name + QString::number(row); }
QString state(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }
}  // namespace

Settings read() {
    // One read of the file for the whole dialog.
    const IniFile file = IniFile::load(ProgramFolder::settingsFile());
    Settings s;
    for (int n = 1; n <= kBankRows; ++n) {
        QStringList row;
        for (const QString& k : kBankKeys) row << file.value(kBank, key(k, n));
        s.bank << row;
    }
    for (int n = 1; n <= kPostalRows; ++n) {
        QStringList row;
        for (const QString& k : kPostalKeys) row << file.value(kPostal, key(k, n));
        s.postal << row;
    }
    s.sender.id = file.value(kSender, QStringLiteral("YahooID"));
    s.sender.postcode = file.value(kSender, QStringLiteral("郵便番号"));
    s.sender.phone = file.value(kSender, QStringLiteral("電話番号"));
    s.sender.name = file.value(kSender, QStringLiteral("氏名"));
    s.sender.address = values::fromStoredLine(file.value(kSender, QStringLiteral("住所")));
    s.startFile = values::leadingNumber(file.value(kOptions, QStringLiteral("起動時ﾌｧｲﾙ"))) == 1;
    s.startFilePath = file.value(kOptions, QStringLiteral("起動時ﾌｧｲﾙﾊﾟｽ"));
    s.autoLogin = values::leadingNumber(file.value(kOptions, QStringLiteral("自動ログイン"))) == 1;
    s.loginId = mduInterFace::Dec_Str(file.value(kOptions, QStringLiteral("ログイン情報0")));
    s.loginPassword = keptpasswords::rememberedPassword(file, s.loginId);
    return s;
}

QList<mINI::Entry> entriesToSave(const Settings& s) {
    QList<mINI::Entry> out;
    for (int n = 1; n <= kBankRows; ++n)
        for (int c = 0; c < kBankKeys.size(); ++c) out.append({kBank, key(kBankKeys[c], n), s.bank.value(n - 1).value(c)});
    for (int n = 1; n <= kPostalRows; ++n)
        for (int c = 0; c < kPostalKeys.size(); ++c) out.append({kPostal, key(kPostalKeys[c], n), s.postal.value(n - 1).value(c)});
    out.append({kSender, QStringLiteral("YahooID"), s.sender.id});
    out.append({kSender, QStringLiteral("郵便番号"), s.sender.postcode});
    out.append({kSender, QStringLiteral("電話番号"), s.sender.phone});
    out.append({kSender, QStringLiteral("氏名"), s.sender.name});
    out.append({kSender, QStringLiteral("住所"), values::toStoredLine(s.sender.address)});
    out.append({kOptions, QStringLiteral("起動時ﾌｧｲﾙ"), state(s.startFile)});
    out.append({kOptions, QStringLiteral("起動時ﾌｧｲﾙﾊﾟｽ"), s.startFilePath});
    out.append({kOptions, QStringLiteral("自動ログイン"), state(s.autoLogin)});
    return out;
}

void save(IniFile& file, const Settings& opened, const Settings& now) {
    const QList<mINI::Entry> before = entriesToSave(opened);
    const QList<mINI::Entry> after = entriesToSave(now);
    for (int i = 0; i < after.size(); ++i) {
        const mINI::Entry& e = after[i];
        // What the seller changed here, and what the file lacks (a fresh file gets every key in
        // the dialog's order); a value another program wrote meanwhile is not put back.
        if (e.value != before.value(i).value || !file.hasKey(e.section, e.key)) file.setValue(e.section, e.key, e.value);
    }
}

}  // namespace accounts
