#include "app/StartUp.h"

#include <QDir>
#include <QFile>

#include "core/ProgramFolder.h"
#include "core/UiServices.h"
#include "core/Values.h"

namespace StartUp {

void run(StartUpSteps& steps, UiServices& ui) {
    if (steps.isFirstStart()) {
        const auto answer = ui.message(kFirstStartText, kFirstStartTitle, UiServices::Icon::Information, UiServices::Buttons::YesNo);
        // Recorded before the dialog opens: a crash in it must not ask again forever.
        steps.markStarted();
        if (answer == UiServices::Answer::Yes) steps.showSettings();
    }
    if (values::leadingNumber(steps.setting(QStringLiteral("自動ログイン"))) == 1) steps.showLogin();
    if (values::leadingNumber(steps.setting(QStringLiteral("起動時ﾌｧｲﾙ"))) == 1) {
        const QString path = steps.setting(QStringLiteral("起動時ﾌｧｲﾙﾊﾟｽ"));
        // A start-up file that is gone has been reported; it does not become the current file.
        if (steps.readFile(path)) steps.setCurrentPath(path);
    }
    steps.showSplash();
    steps.setListDefaults();
    steps.disableBrowserDrops();
    steps.iniRe();
    steps.navigateClosedListings();
    steps.navigateSubmitStart();
    steps.processEvents();
    steps.ensureMainLoaded();
    // The only wait of start-up: the two browsers load while the bar fills.
    for (int i = 1; i <= kProgressMax; ++i) {
        steps.setProgress(i);
        steps.processEvents();
    }
    steps.finish();
}

namespace {
QString recordPath() { return ProgramFolder::userConfigDir() + QStringLiteral("/started"); }
}  // namespace

bool isFirstStart() { return !QFile::exists(recordPath()); }

void markStarted() {
    QDir().mkpath(ProgramFolder::userConfigDir());
    QFile f(recordPath());
    if (f.open(QIODevice::WriteOnly)) f.write("1\n");
}

}  // namespace StartUp
