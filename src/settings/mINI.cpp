#include "settings/mINI.h"

#include "core/ProgramFolder.h"
#include "core/UiServices.h"
#include "settings/IniFile.h"

namespace mINI {
namespace {
void reportWriteFailure(UiServices& ui) {
    ui.message(kWriteFailed, kAppTitle, UiServices::Icon::None, UiServices::Buttons::Ok);
}
}  // namespace

QString Ini_Get(const QString& section, const QString& key, bool* found) {
    return IniFile::read(ProgramFolder::settingsFile(), section, key, found);
}

bool Ini_Put(const QString& section, const QString& key, const QString& value, UiServices& ui) {
    if (IniFile::write(ProgramFolder::settingsFile(), section, key, value, true)) return true;
    reportWriteFailure(ui);
    return false;
}

bool Ini_PutAll(const QList<Entry>& entries, UiServices& ui) {
    IniFile file = IniFile::load(ProgramFolder::settingsFile());
    file.setOwnerOnly(true);
    for (const Entry& e : entries) file.setValue(e.section, e.key, e.value);
    if (file.save()) return true;
    reportWriteFailure(ui);
    return false;
}

void Hzn_Write(const QString& strSEC, const QString& strKey, const QString& strMOJI, const QString& strFile) {
    IniFile::write(strFile, strSEC, strKey, strMOJI);
}

QString SETEI_Read(const QString& strSEC, const QString& strKey, const QString& strFile) {
    return IniFile::read(strFile, strSEC, strKey);
}

}  // namespace mINI
