#include "settings/KeptPasswords.h"

#include "core/mduInterFace.h"
#include "settings/IniFile.h"

namespace keptpasswords {

namespace {
Store& store() {
    static Store s;
    return s;
}
constexpr int kRows = 49;  // the login window's rows
}  // namespace

void install(Store s) { store() = std::move(s); }
bool installed() { return bool(store().read) && bool(store().write); }

QString siteKey(const QString& id) { return QStringLiteral("site:") + id; }
QString idKey(int n) { return QStringLiteral("期間") + QString::number(n); }
QString passwordKey(int n) { return QStringLiteral("ソード") + QString::number(n); }
QString markKey(int n) { return QStringLiteral("キーリング") + QString::number(n); }

QString password(const IniFile& file, int n, const QString& id, bool* inKeyring) {
    const bool kept = file.value(kRecord, markKey(n)).trimmed() == QLatin1String("1");
    if (inKeyring) *inKeyring = kept;
    if (!kept) return mduInterFace::Dec_Str(file.value(kRecord, passwordKey(n)));
    return store().read ? store().read(siteKey(id)).value_or(QString()) : QString();
}

QString rememberedPassword(const IniFile& file, const QString& id, bool* inKeyring) {
    const bool kept = file.value(kOptions, kRememberedMark).trimmed() == QLatin1String("1");
    if (inKeyring) *inKeyring = kept;
    if (!kept) return mduInterFace::Dec_Str(file.value(kOptions, QStringLiteral("ログイン情報1")));
    return store().read && !id.isEmpty() ? store().read(siteKey(id)).value_or(QString()) : QString();
}

QStringList accounts(const IniFile& file, QStringList* inKeyring) {
    QStringList ids;
    for (int n = 1; n <= kRows; ++n) {
        bool found = false;
        const QString id = mduInterFace::Dec_Str(file.value(kRecord, idKey(n), &found));
        if (!found || id.isEmpty()) break;
        ids << id;
        if (inKeyring && file.value(kRecord, markKey(n)).trimmed() == QLatin1String("1")) *inKeyring << id;
    }
    return ids;
}

QString move(IniFile& file, const QString& id, bool toKeyring) {
    if (!installed()) return QStringLiteral("キーリングを使えません。");
    const int n = int(accounts(file).indexOf(id)) + 1;
    if (n < 1) return QString();
    bool kept = false;
    const QString pw = password(file, n, id, &kept);
    if (kept == toKeyring) return QString();
    const QString remembered = mduInterFace::Dec_Str(file.value(kOptions, QStringLiteral("ログイン情報0")));
    if (toKeyring) {
        const QString why = store().write(siteKey(id), pw);
        if (!why.isEmpty()) return why;
        file.setValue(kRecord, passwordKey(n), QString());
        file.setValue(kRecord, markKey(n), QStringLiteral("1"));
        if (remembered == id) {
            file.setValue(kOptions, QStringLiteral("ログイン情報1"), QString());
            file.setValue(kOptions, kRememberedMark, QStringLiteral("1"));
        }
    } else {
        file.setValue(kRecord, passwordKey(n), mduInterFace::Enc_Str(pw));
        file.setValue(kRecord, markKey(n), QStringLiteral("0"));
        if (remembered == id) {
            file.setValue(kOptions, QStringLiteral("ログイン情報1"), mduInterFace::Enc_Str(pw));
            file.setValue(kOptions, kRememberedMark, QStringLiteral("0"));
        }
        if (store().forget) store().forget(siteKey(id));
    }
    return QString();
}

}  // namespace keptpasswords
