#pragma once

#include <QList>
#include <QString>
#include <functional>

class IniFile;
class UiServices;

// Access to the settings file (INI/SRB.INI) and to any profile-format file.
namespace mINI {

inline const QString kWriteFailed = QStringLiteral("INIファイル書き込みに失敗しました。");
inline const QString kAppTitle = QStringLiteral("ソラバコ");
inline const QString kLostCharacters = QStringLiteral("次の文字は設定ファイルに保存できないため、「?」で保存しました。\r\n");

// The value, whole and trimmed; `found` is false when the key is missing or empty.
QString Ini_Get(const QString& section, const QString& key, bool* found = nullptr);

// Writes one key; on failure tells the user and returns false.
bool Ini_Put(const QString& section, const QString& key, const QString& value, UiServices& ui);

struct Entry {
    QString section;
    QString key;
    QString value;
};

// Writes many keys in order with one locked read and one atomic write of the
// file as it is now; on failure tells the user once and nothing at all is written.
bool Ini_PutAll(const QList<Entry>& entries, UiServices& ui);

// A change that depends on what the file holds now (a free slot of the login
// list): made to the current file under the writers' lock, as Ini_PutAll.
bool Ini_Update(const std::function<void(IniFile&)>& change, UiServices& ui);

// Named-file access for the memory files; failures are silent.
void Hzn_Write(const QString& strSEC, const QString& strKey, const QString& strMOJI, const QString& strFile);
QString SETEI_Read(const QString& strSEC, const QString& strKey, const QString& strFile);

}  // namespace mINI
