#include "settings/mINI.h"

#include "core/ProgramFolder.h"
#include "core/UiServices.h"
#include "settings/IniFile.h"

namespace mINI {
namespace {
void reportWriteFailure(UiServices& ui) { ui.message(kWriteFailed, kAppTitle, UiServices::Icon::None, UiServices::Buttons::Ok); }
}  // namespace

QString Ini_Get(const QString& section, const QString& key, bool* found) {
    return IniFile::read(ProgramFolder::settingsFile(), section, key, found);
}

bool Ini_Put(const QString& section, const QString& key, const QString& value, UiServices& ui) {
    return Ini_Update([&](IniFile& file) { file.setValue(section, key, value); }, ui);
}

bool Ini_PutAll(const QList<Entry>& entries, UiServices& ui) {
    return Ini_Update(
        [&entries](IniFile& file) {
            for (const Entry& e : entries) file.setValue(e.section, e.key, e.value);
        },
        ui);
}

bool Ini_Update(const std::function<void(IniFile&)>& change, UiServices& ui) {
    QString lost;
    const bool saved = IniFile::update(
        ProgramFolder::settingsFile(),
        [&](IniFile& file) {
            change(file);
            lost = file.lostCharacters();
        },
        true);
    if (!saved) {
        reportWriteFailure(ui);
        return false;
    }
    if (!lost.isEmpty()) ui.message(kLostCharacters + lost, kAppTitle, UiServices::Icon::Information, UiServices::Buttons::Ok);
    return true;
}

void Hzn_Write(const QString& strSEC, const QString& strKey, const QString& strMOJI, const QString& strFile) {
    IniFile::write(strFile, strSEC, strKey, strMOJI);
}

QString SETEI_Read(const QString& strSEC, const QString& strKey, const QString& strFile) { return IniFile::read(strFile, strSEC, strKey); }

}  // namespace mINI
