#include "app/fMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>
#include <QVBoxLayout>

#include "app/Artwork.h"
#include "app/MainPlacement.h"
#include "app/BackupActions.h"
#include "app/MailSending.h"
#include "app/PaneWiring.h"
#include "core/MemoryFiles.h"
#include "memory/MemoryStore.h"
#include "memory/MemoryTable.h"
#include "core/ProgramFolder.h"
#include "core/UiServices.h"
#include "app/frmSHINDAN.h"
#include "listing/queue/QueueRun.h"
#include "listing/records/frmKIROKU.h"
#include "listing/csv/frmCSV.h"
#include "listing/queue/frmQUEUE.h"
#include "sales/Deadlines.h"
#include "sales/SaleMail.h"
#include "sales/SaleRecord.h"
#include "sales/SalesWindow.h"
#include "store/HistoryStore.h"
#include "store/HistoryThread.h"
#include "app/frmVer.h"
#include "core/mduInterFace.h"
#include "widgets/Browser.h"
#include "widgets/WebProfile.h"
#include "widgets/ScreenFit.h"
#include "description/Description.h"
#include "description/DescriptionPane.h"
#include "login/frmLogin.h"
#include "mail/MailPane.h"
#include "myauction/MyAuctionPane.h"
#include "settings/Accounts.h"
#include "settings/IniFile.h"
#include "settings/SiteAddresses.h"
#include "settings/frmINI.h"
#include "settings/SalesKeys.h"
#include "settings/mINI.h"
#include "shipping/ShippingPane.h"
#include "listing/form/SiteFormPane.h"

namespace {
const QString kAppTitle = QStringLiteral("ソラバコ");
}  // namespace

fMain::fMain(UiServices& ui, MemoryFiles* memory, QWidget* parent, Panes panes) : QMainWindow(parent), m_ui(ui), m_memory(memory) {
    // The window's own memory files, unless a caller brings another store.
    if (!m_memory) {
        m_ownMemory = std::make_unique<MemoryStore>(this, ui);
        m_memory = m_ownMemory.get();
    }
    // The browser engine starts first: it needs no font, so the font database is read meanwhile
    // (on the splash's thread, at start-up), and the panes built after it find their fonts ready.
    WebProfile::shared();
    setObjectName(QStringLiteral("fMain"));
    setWindowTitle(kAppTitle);
    setWindowIcon(Artwork::appIcon());

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 6);
    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("vsMAIN"));
    m_mail = new MailPane(ui);
    m_tabs->addTab(m_mail, QStringLiteral("メール作成(&1)"));
    // The other tabs' panes come in their places when they are built.
    for (const QString& caption : {QStringLiteral("送料計算(&2)"), QStringLiteral("出品ﾌｫｰﾑ作成(&3)"), QStringLiteral("出品手続(&4)"),
                                   QStringLiteral("ｱｸｾｽ解析(&5)")})
        m_tabs->addTab(new QWidget, caption);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] { buildPanes(); });
    layout->addWidget(m_tabs, 1);
    layout->addWidget(buildBottomBar());
    setCentralWidget(central);
    buildMenus();
    ScreenFit::install();
    resize(MainPlacement::kFirstWidth, MainPlacement::kFirstHeight);
    m_mail->setLoginWindow([this] { showLogin(); });

    // Ctrl+A and Ctrl+X belong to this window's menu even where a text box has the focus.
    qApp->installEventFilter(this);
    m_mail->setMailTemplates(description::listMailTemplates(ProgramFolder::templateMail()));
    if (panes == Panes::AllNow) buildPanes();
}

void fMain::buildPanes() {
    if (m_siteForm) return;
    UiServices& ui = m_ui;
    m_shipping = new ShippingPane(ui);
    m_description = new DescriptionPane(ui);
    m_siteForm = new SiteFormPane(ui);
    m_myAuction = new MyAuctionPane(ui);
    {
        // Each in its tab's place; the tab the seller is on stays the one shown.
        const QSignalBlocker quiet(m_tabs);
        const int current = m_tabs->currentIndex();
        const QList<QWidget*> built{m_shipping, m_description, m_siteForm, m_myAuction};
        for (int i = 0; i < built.size(); ++i) {
            const int index = i + 1;
            QWidget* place = m_tabs->widget(index);
            const QString caption = m_tabs->tabText(index);
            m_tabs->removeTab(index);
            m_tabs->insertTab(index, built[i], caption);
            delete place;
        }
        m_tabs->setCurrentIndex(current);
    }

    m_queue = new QueueRun(ui, m_siteForm, listingqueue::queueFile(), this);
    PaneWiring::connectPanes(*this, ui);
    Form_Load();
    QTimer::singleShot(0, this, &fMain::reportSales);
    // What reached these panes before they were built, in the order it came.
    const auto pending = std::move(m_whenBuilt);
    m_whenBuilt.clear();
    for (const auto& step : pending) step();
}

void fMain::whenPanesBuilt(const std::function<void()>& step) {
    if (m_siteForm)
        step();
    else
        m_whenBuilt.push_back(step);
}

fMain* fMain::built() const {
    // Building the panes changes nothing a caller can see but that they now exist.
    auto* self = const_cast<fMain*>(this);
    self->buildPanes();
    return self;
}

ShippingPane* fMain::shippingPane() const { return built()->m_shipping; }
DescriptionPane* fMain::descriptionPane() const { return built()->m_description; }
SiteFormPane* fMain::siteFormPane() const { return built()->m_siteForm; }
MyAuctionPane* fMain::myAuctionPane() const { return built()->m_myAuction; }
QueueRun* fMain::queueRun() const { return built()->m_queue; }

void fMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The seller sees the mail pane first; the other panes are built once it is on screen.
    if (!m_siteForm) m_buildOnExpose = true;
}

fMain::~fMain() { qApp->removeEventFilter(this); }

Browser* fMain::WB() const { return siteFormPane()->WB(); }
Browser* fMain::WB2() const { return m_mail->WB2(); }
Browser* fMain::WB3() const { return descriptionPane()->WB3(); }

void fMain::buildMenus() {
    auto addItem = [this](QMenu* menu, const char* name, const QString& caption, const QKeySequence& key,
                          const std::function<void()>& handler) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (!key.isEmpty()) a->setShortcut(key);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("mFile"));
    addItem(file, "mOpen", QStringLiteral("開く(&O)"), QKeySequence(Qt::CTRL | Qt::Key_O), [this] { Open(); });
    addItem(file, "mUwaGakiHzn", QStringLiteral("上書き保存(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S), [this] { Save(); });
    m_saveAs = addItem(file, "mNameHzn", QStringLiteral("名前を付けて保存(&A)"), QKeySequence(Qt::CTRL | Qt::Key_A), [this] { SaveAs(); });
    file->addSeparator();
    addItem(file, "mQUEUE", QStringLiteral("出品キュー(&Q)..."), QKeySequence(), [this] { showQueue(); });
    addItem(file, "mKIROKU", QStringLiteral("出品記録(&R)..."), QKeySequence(), [this] { showRecords(); });
    addItem(file, "mTORIHIKI", QStringLiteral("取引一覧(&T)..."), QKeySequence(), [this] { showSales(); });
    file->addSeparator();
    addItem(file, "mCSV", QStringLiteral("記憶ファイルをCSVに書き出す(&E)..."), QKeySequence(),
            [this] { listingcsv::exportFolder(m_ui, queueRun()->csvHooks(), this); });
    addItem(file, "mBACKUP", QStringLiteral("バックアップ(&B)..."), QKeySequence(), [this] { BackupActions::takeBackup(m_ui, this); });
    addItem(file, "mRESTORE", QStringLiteral("バックアップから戻す..."), QKeySequence(), [this] {
        if (!BackupActions::prepareRestore(m_ui, this) || close()) return;
        // The seller kept the program open after all: what is done from now on is not replaced later.
        BackupActions::dropRestore(m_ui, this);
    });
    file->addSeparator();
    m_end = addItem(file, "mEnd", QStringLiteral("終了(&X)"), QKeySequence(Qt::CTRL | Qt::Key_X), [this] { close(); });

    QMenu* option = menuBar()->addMenu(QStringLiteral("オプション"));
    option->setObjectName(QStringLiteral("mOption"));
    addItem(option, "mINI", QStringLiteral("設定"), QKeySequence(), [this] { mINI_Click(); });
    addItem(option, "mSHINDAN", QStringLiteral("サイト診断"), QKeySequence(), [this] { mSHINDAN_Click(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("mHelp"));
    addItem(help, "mHelp2", QStringLiteral("ソラバコWebページ"), QKeySequence(), [this] { mHelp2_Click(); });
    addItem(help, "mVer", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"), QKeySequence(), [this] { mVer_Click(); });
}

QWidget* fMain::buildBottomBar() {
    auto* bar = new QWidget;
    bar->setObjectName(QStringLiteral("fraBottom"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    auto* open = new QPushButton;
    open->setObjectName(QStringLiteral("Command12"));
    open->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    open->setToolTip(QStringLiteral("開く"));
    auto* save = new QPushButton;
    save->setObjectName(QStringLiteral("Command13"));
    save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    save->setToolTip(QStringLiteral("上書き保存"));
    row->addWidget(open);
    row->addWidget(save);
    row->addStretch(1);
    // What waits among the sales; a click opens them.
    m_salesSummary = new QPushButton;
    m_salesSummary->setObjectName(QStringLiteral("cmdTORIHIKI_JOUKYOU"));
    m_salesSummary->setFlat(true);
    m_salesSummary->setToolTip(QStringLiteral("取引一覧を開く"));
    m_salesSummary->hide();
    row->addWidget(m_salesSummary);
    connect(m_salesSummary, &QPushButton::clicked, this, [this] { showSales(); });
    auto* idCaption = new QLabel(QStringLiteral("YahooID"));
    idCaption->setObjectName(QStringLiteral("Label_YahooID"));
    row->addWidget(idCaption);
    m_lblUser = new QLabel;
    m_lblUser->setObjectName(QStringLiteral("lblUser"));
    m_lblUser->setMinimumWidth(160);
    m_lblUser->setFrameShape(QFrame::StyledPanel);
    m_lblUser->setTextFormat(Qt::PlainText);
    row->addWidget(m_lblUser);
    row->addSpacing(12);
    auto* end = new QPushButton(QStringLiteral("終了"));
    end->setObjectName(QStringLiteral("Command3"));
    row->addWidget(end);
    connect(open, &QPushButton::clicked, this, &fMain::Open);
    connect(save, &QPushButton::clicked, this, &fMain::Save);
    connect(end, &QPushButton::clicked, this, &QWidget::close);
    return bar;
}

void fMain::Form_Load() {
    m_description->fillDesignList(ProgramFolder::templateHtml());
    m_description->showDesign();
    m_siteForm->setFocusScrollFlags(true);
}

void fMain::Open() {
    const QString name = m_ui.openFileName(ProgramFolder::user(), memory::kFilter, this);
    if (name.isEmpty()) return;
    if (ReadFile(name)) m_currentPath = name;
}

fMain::SaveResult fMain::Save() {
    buildPanes();  // the memory file holds every pane's fields
    if (m_currentPath.trimmed().isEmpty()) return SaveAs();
    return m_memory->SaveFile(m_currentPath) ? SaveResult::Saved : SaveResult::Failed;
}

fMain::SaveResult fMain::SaveAs() {
    QString name;
    for (;;) {
        name = m_ui.saveFileName(ProgramFolder::user(), memory::kFilter, this);
        if (name.isEmpty()) return SaveResult::Cancelled;
        name = memory::withExtension(name);
        // The file dialog does not ask (it cannot know the name gets ".srb"); this is the one question.
        // No means another name, as in the dialog itself: the screen is still to be saved.
        if (!QFileInfo::exists(name) ||
            m_ui.message(QStringLiteral("「%1」は既にあります。\r\n上書きしますか?").arg(QFileInfo(name).fileName()), kAppTitle,
                         UiServices::Icon::Question, UiServices::Buttons::YesNo, this) == UiServices::Answer::Yes)
            break;
    }
    buildPanes();
    // A path that was not written is not made current: the listing is not saved there.
    if (!m_memory->SaveFile(name)) return SaveResult::Failed;
    m_currentPath = name;
    return SaveResult::Saved;
}

bool fMain::ReadFile(const QString& path) {
    buildPanes();
    return m_memory->ReadFile(path);
}

void fMain::Command7_Click() {
    buildPanes();
    PaneWiring::confirmListing(PaneWiring::ConfirmFrom::Button, m_ui, *m_siteForm, this);
}

frmQUEUE* fMain::showQueue() {
    buildPanes();
    if (!m_queueWindow) {
        m_queueWindow = new frmQUEUE(m_ui, *m_queue, this);
        m_queueWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_queueWindow->show();
    m_queueWindow->raise();
    m_queueWindow->activateWindow();
    return m_queueWindow;
}

frmKIROKU* fMain::showRecords() {
    buildPanes();
    if (!m_recordsWindow) {
        // A record opens as a copy: saving it asks for a name, so the record stays as it went out.
        m_recordsWindow = new frmKIROKU(
            m_ui, *m_queue,
            [this](const QString& path) {
                if (!ReadFile(path)) return false;
                m_currentPath.clear();
                return true;
            },
            this);
        m_recordsWindow->setSource(PaneWiring::recordsFromHistory(*m_myAuction));
        m_recordsWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_recordsWindow->reload();
    m_recordsWindow->show();
    m_recordsWindow->raise();
    m_recordsWindow->activateWindow();
    return m_recordsWindow;
}

SalesWindow* fMain::showSales() {
    buildPanes();
    if (!m_salesWindow) {
        m_salesWindow = new SalesWindow(m_ui, HistoryStore::programFile(), PaneWiring::salesHooks(*this, m_ui), this);
        m_salesWindow->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_salesWindow, &SalesWindow::summaryChanged, this, &fMain::setSalesSummary);
        setSalesSummary(m_salesWindow->summary());
    }
    m_salesWindow->show();
    m_salesWindow->raise();
    m_salesWindow->activateWindow();
    return m_salesWindow;
}

void fMain::setSalesSummary(const QString& text) {
    m_salesSummary->setText(text);
    m_salesSummary->setVisible(!text.isEmpty());
}

QString fMain::salesSummary() const { return m_salesSummary->text(); }

void fMain::reportSales() {
    // Read-only and without a check: a database another window will open (and mend) is left as it is.
    const std::optional<QList<salestable::Row>> rows = historythread::sales(HistoryStore::programFile());
    if (!rows || rows->isEmpty()) return;
    QList<sales::Sale> list;
    for (const salestable::Row& r : *rows) list << sales::fromRow(r);
    const sales::Limits limits = sales::limitsFrom([](const QString& key) { return mINI::Ini_Get(saleskeys::kSection, key); });
    const QList<sales::Waiting> waiting = sales::waiting(list, limits, QDateTime::currentDateTime());
    setSalesSummary(sales::summary(waiting));
    int overdue = 0;
    for (const sales::Waiting& w : waiting) overdue += w.overdue;
    if (overdue > 0)
        m_ui.message(QStringLiteral("期限を過ぎた取引が %1件あります。\r\n%2\r\n\r\n[ファイル]-[取引一覧]で確かめて下さい。")
                         .arg(overdue)
                         .arg(salesSummary()),
                     QStringLiteral("取引一覧"), UiServices::Icon::Information, UiServices::Buttons::Ok, this);
}

void fMain::Command18_Click() { m_mail->Command18_Click(); }

void fMain::showPlaced() {
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens()) screens << s->availableGeometry();
    const QRect primary = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry() : QRect();
    const auto saved = MainPlacement::read(IniFile::load(ProgramFolder::settingsFile()));
    QRect wanted(QPoint(), QSize(MainPlacement::kFirstWidth, MainPlacement::kFirstHeight));
    wanted.moveCenter(primary.center());
    if (saved) wanted = saved->normal;
    // The frame and title bar take their share of the screen too.
    const QMargins frame(8, 32, 8, 8);
    QRect placed = ScreenFit::placed(wanted + frame, screens, primary) - frame;
    setGeometry(placed);
    setProperty("sorabako.fitted", true);  // placed already: the seller's size stands
    if (saved && saved->maximized)
        showMaximized();
    else
        show();
}

void fMain::savePlacement() {
    const MainPlacement::Placement placement{isMaximized() ? normalGeometry() : geometry(), isMaximized()};
    // The window's size is no setting of the seller's: a disk that takes no writes just forgets it.
    IniFile::update(
        ProgramFolder::settingsFile(), [&](IniFile& file) { MainPlacement::write(file, placement); }, true);
}

void fMain::mHelp2_Click() {
    if (!m_ui.openWithDesktop(QUrl(SiteAddresses::productPage())))
        m_ui.message(QStringLiteral("ブラウザを起動できませんでした。\r\n") + SiteAddresses::productPage(), kAppTitle,
                     UiServices::Icon::Information, UiServices::Buttons::Ok, this);
}

void fMain::mVer_Click() {
    frmVer version(this);
    version.exec();
}

void fMain::mSHINDAN_Click() {
    frmSHINDAN check(m_ui, SiteAddresses::hosts(), this);
    check.exec();
}

void fMain::mINI_Click() {
    frmINI dialog(
        m_ui, [this] { showLogin(); }, this);
    dialog.setMailHooks(MailSending::settingsHooks(m_ui));
    dialog.exec();
}

void fMain::setListDefaults() {
    // The listing pane's lists, when it has them: prefecture, duration, end time, relisting.
    // 北海道, 5 日, 午前9時から午前10時, 3 回.
    whenPanesBuilt([this] { m_siteForm->setListDefaults({/*prefecture*/ 0, /*duration*/ 3, /*endHour*/ 9, /*relisting*/ 2}); });
}

void fMain::Ini_Re() { m_mail->applyAccounts(accounts::read()); }

void fMain::showLogin() {
    // A successful sign-in reloads the closed listings, now signed in.
    frmLogin dialog(
        m_ui, [this] { Command18_Click(); }, this);
    dialog.exec();
}

void fMain::Form_Activate() {
    const QString id = mduInterFace::Dec_Str(mINI::Ini_Get(QStringLiteral("各種設定"), QStringLiteral("ログイン情報0")));
    m_lblUser->setText(id);
    m_mail->setSellerId(id);
}

void fMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
}

bool fMain::eventFilter(QObject* watched, QEvent* event) {
    if (m_buildOnExpose && event->type() == QEvent::Expose && watched == windowHandle() && windowHandle()->isExposed()) {
        // Painted once this event is done: the panes come right after, before anything the seller does.
        m_buildOnExpose = false;
        QTimer::singleShot(0, this, [this] { buildPanes(); });
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        // A text box takes Ctrl+A and Ctrl+X for itself before the menu sees them.
        if (widget && widget->window() == this && key->modifiers() == Qt::ControlModifier &&
            (key->key() == Qt::Key_A || key->key() == Qt::Key_X)) {
            QAction* action = key->key() == Qt::Key_A ? m_saveAs : m_end;
            if (action->isEnabled()) action->trigger();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void fMain::closeEvent(QCloseEvent* event) {
    // 取引一覧 first: what was typed there is saved as it closes, or it stays open to be mended.
    if (m_salesWindow && m_salesWindow->isVisible() && !m_salesWindow->close()) {
        event->ignore();
        return;
    }
    const auto answer = m_ui.message(QStringLiteral("画面内容を保存しますか?"), kAppTitle, UiServices::Icon::Information,
                                     UiServices::Buttons::YesNoCancel, this);
    if (answer == UiServices::Answer::Cancel) {
        event->ignore();
        return;
    }
    // A cancelled save-as still closes; a save that failed (the message said why) keeps the
    // window, or the screen the seller meant to keep would be lost with it.
    if (answer == UiServices::Answer::Yes && Save() == SaveResult::Failed) {
        event->ignore();
        return;
    }
    event->accept();
    if (isVisible()) savePlacement();
    // Commands still waiting for the site end here, without acting on what they were waiting for.
    m_mail->abandon();
    if (m_myAuction) m_myAuction->cancelScan();
    Q_EMIT unloaded();
}
