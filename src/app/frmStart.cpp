#include "app/frmStart.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "app/Artwork.h"
#include "app/MailSending.h"
#include "app/SplashBar.h"
#include "app/fMain.h"
#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "core/UiServices.h"
#include "widgets/Browser.h"
#include "widgets/ScreenFit.h"
#include "login/frmLogin.h"
#include "settings/SiteAddresses.h"
#include "site/SiteFacts.h"
#include "settings/frmINI.h"
#include "settings/mINI.h"

frmStart::frmStart(UiServices& ui, MemoryFiles* memory)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), m_ui(ui), m_memory(memory) {
    setObjectName(QStringLiteral("frmStart"));
    // The first text anything measures makes the font database read every font on the system.
    // The splash shows a picture, and the browser engine starts without fonts: that reading is
    // done here meanwhile, on the other core. A window that needs a font first waits for it.
    m_fontLookup = std::thread([] {
        const QFontMetrics metrics{QFont()};
        metrics.horizontalAdvance(QStringLiteral("ソラバコ起動"));
    });
    // Before the first window: the first start's settings and login windows fit the screen too.
    ScreenFit::install();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* picture = new QLabel;
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(Artwork::splash());
    layout->addWidget(picture);
    m_pb = new SplashBar;
    m_pb->setObjectName(QStringLiteral("pb"));
    m_pb->setRange(0, StartUp::kProgressMax);
    m_pb->setFixedHeight(10);
    layout->addWidget(m_pb);
}

frmStart::~frmStart() {
    m_fontLookup.join();
    delete m_main;
}

void frmStart::run() {
    setAsideBrokenSettings();
    loadSiteDefinition();
    StartUp::run(*this, m_ui);
}

void frmStart::setAsideBrokenSettings() {
    // A settings file that is no text (a disk error, another program's file) would be read as
    // nothing and then written over: it is kept aside instead, and the program starts fresh.
    const QString path = ProgramFolder::settingsFile();
    QString text;
    if (TextFile::readCp932Text(path, &text) != TextFile::Read::NotText) return;
    QString aside = path + QStringLiteral(".broken");
    for (int n = 2; QFile::exists(aside); ++n) aside = path + QStringLiteral(".broken%1").arg(n);
    const bool moved = QFile::rename(path, aside);
    m_ui.message(moved ? QStringLiteral("設定ファイルが壊れていたため、次の名前で残して新しい設定で起動します。\r\n") + aside +
                             QStringLiteral("\r\n[オプション]-[設定]で設定し直して下さい。")
                       : QStringLiteral("設定ファイルが壊れていて読み込めません。\r\n") + path +
                             QStringLiteral("\r\n設定は保存されないことがあります。"),
                 QStringLiteral("ソラバコ"), UiServices::Icon::Critical, UiServices::Buttons::Ok);
}

void frmStart::loadSiteDefinition() {
    // What the seller mended of the site's pages holds from this start on; a damaged file is
    // said once and the program goes on as if there were none.
    const QString path = ProgramFolder::mast() + site::kDefinitionFile;
    site::DefinitionProblem problem;
    site::Facts::setCurrent(site::Facts::fromFile(path, &problem));
    if (problem.any())
        m_ui.message(site::problemMessage(path, problem), QStringLiteral("ソラバコ"), UiServices::Icon::Critical, UiServices::Buttons::Ok);
}

fMain* frmStart::takeMain() {
    fMain* main = m_main;
    m_main = nullptr;
    return main;
}

fMain* frmStart::main() {
    // The seller waits for the window with the mail pane; the other panes come once it shows.
    if (!m_main) m_main = new fMain(m_ui, m_memory, nullptr, fMain::Panes::MailFirst);
    return m_main;
}

QString frmStart::setting(const QString& key) { return mINI::Ini_Get(QStringLiteral("各種設定"), key); }
bool frmStart::isFirstStart() { return StartUp::isFirstStart(); }
void frmStart::markStarted() { StartUp::markStarted(); }
// Before the splash the main window need not exist yet: it is created only
// when these windows actually reach it (the login list, a successful sign-in).
void frmStart::showSettings() {
    frmINI dialog(m_ui, [this] { showLogin(); });
    dialog.setMailHooks(MailSending::settingsHooks(m_ui));
    dialog.exec();
}

void frmStart::showLogin() {
    frmLogin dialog(m_ui, [this] { main()->Command18_Click(); });
    dialog.exec();
}
bool frmStart::readFile(const QString& path) { return main()->ReadFile(path); }
void frmStart::setCurrentPath(const QString& path) { main()->setCurrentPath(path); }

void frmStart::showSplash() {
    adjustSize();
    if (const QScreen* screen = QApplication::primaryScreen()) move(screen->availableGeometry().center() - rect().center());
    show();
}

void frmStart::setListDefaults() { main()->setListDefaults(); }

void frmStart::disableBrowserDrops() {
    fMain* window = main();
    window->whenPanesBuilt([window] { window->WB()->setRegisterAsDropTarget(false); });
    window->WB2()->setRegisterAsDropTarget(false);
}

void frmStart::iniRe() { main()->Ini_Re(); }
void frmStart::navigateClosedListings() { main()->WB2()->Navigate2(SiteAddresses::closedListingsUrl()); }
// The listing tab is not the one shown at start: its page loads when the seller opens the tab
// (or anything needs the page first), not while the seller waits for the window.
void frmStart::navigateSubmitStart() {
    fMain* window = main();
    window->whenPanesBuilt([window] { window->WB()->navigateWhenShown(SiteAddresses::submitStartUrl()); });
}
void frmStart::processEvents() { QCoreApplication::processEvents(); }
void frmStart::ensureMainLoaded() { main(); }
void frmStart::setProgress(int value) { m_pb->setValue(value); }

void frmStart::finish() {
    hide();
    main()->showPlaced();
}
