#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class IniFile;

// The site accounts' passwords: the login window's saved accounts live in the settings file
// (section レコード: 期間n the ID, ソードn the password, both with the weak encoding), and the
// seller may move an account's password into the desktop's keyring. The file then holds an empty
// password and the mark キーリングn=1 (for the remembered account, 各種設定 ログイン情報キーリング=1),
// and every reader here fills the password from the keyring. A file without marks reads as before.
namespace keptpasswords {

// The keyring as the program reaches it (the app installs it; without one nothing is moved).
struct Store {
    std::function<std::optional<QString>(const QString& key)> read;
    // Empty when kept; else why not (no keyring).
    std::function<QString(const QString& key, const QString& password)> write;
    std::function<void(const QString& key)> forget;
};
void install(Store store);
bool installed();

QString siteKey(const QString& id);  // the keyring's name of a site account's password

QString idKey(int n);
QString passwordKey(int n);
QString markKey(int n);
inline const QString kRecord = QStringLiteral("レコード");
inline const QString kOptions = QStringLiteral("各種設定");
inline const QString kRememberedMark = QStringLiteral("ログイン情報キーリング");

// The password of saved account `n` (from 1) as the file or the keyring holds it.
QString password(const IniFile& file, int n, const QString& id, bool* inKeyring = nullptr);
// The remembered account's password (ログイン情報1), likewise.
QString rememberedPassword(const IniFile& file, const QString& id, bool* inKeyring = nullptr);

// The saved accounts' IDs, in order, and which of them the keyring holds.
QStringList accounts(const IniFile& file, QStringList* inKeyring = nullptr);
// Moves account `id`'s password into the keyring (or back into the file). Empty when done; else
// the seller's message (nothing changed then).
QString move(IniFile& file, const QString& id, bool toKeyring);

}  // namespace keptpasswords
