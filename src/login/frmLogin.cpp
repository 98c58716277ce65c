#include "login/frmLogin.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/UiServices.h"
#include "core/mduInterFace.h"
#include "site/Evidence.h"
#include "site/SignIn.h"
#include "site/SitePages.h"
#include "widgets/Browser.h"
#include "widgets/EnterKeyFilter.h"
#include "widgets/Grid.h"
#include "settings/IniFile.h"
#include "settings/SiteAddresses.h"

namespace {
constexpr int kDefaultDeadlineMs = 30000;
}

frmLogin::frmLogin(UiServices& ui, std::function<void()> onSignedIn, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_onSignedIn(std::move(onSignedIn)) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("ログイン画面"));
    QFont gothic(QStringLiteral("ＭＳ ゴシック"));
    gothic.setStyleHint(QFont::TypeWriter);
    setFont(gothic);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("ログインリスト")));
    m_grid = new Grid;
    m_grid->setObjectName(QStringLiteral("vbLogin"));
    m_grid->setToolTip(QStringLiteral("登録済YahooIDを一覧表示します。"));
    m_grid->setCols(3);
    m_grid->setRows(LoginList::kRows + 1);
    m_grid->setColumnKind(0, Grid::Kind::Tick);
    m_grid->setColWidthTwips(0, 420);
    m_grid->setColWidthTwips(1, 2820);
    m_grid->setColWidthTwips(2, 960);
    m_grid->setColHidden(2, true);
    m_grid->setMinimumHeight(200);
    layout->addWidget(m_grid, 1);
    layout->addWidget(new QLabel(QStringLiteral("※常にログインするIDにﾁｪｯｸして下さい。")));

    auto* form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("YahooID")), 0, 0);
    m_text1 = new QLineEdit;
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setToolTip(QStringLiteral("YahooIDを入力して下さい。(Yahoo!にログインするID)"));
    form->addWidget(m_text1, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("パスワード")), 1, 0);
    m_text2 = new QLineEdit;
    m_text2->setObjectName(QStringLiteral("Text2"));
    m_text2->setEchoMode(QLineEdit::Password);
    m_text2->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_text2->setToolTip(QStringLiteral("Yahooﾊﾟｽﾜｰﾄﾞを入力して下さい。(Yahoo!にログインする為のﾊﾟｽﾜｰﾄﾞ)"));
    form->addWidget(m_text2, 1, 1);
    layout->addLayout(form);
    m_ckLogin = new QCheckBox(QStringLiteral("ﾛｸﾞｲﾝﾘｽﾄに登録する"));
    m_ckLogin->setObjectName(QStringLiteral("ckLogin"));
    layout->addWidget(m_ckLogin);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_cmdLOGIN = new QPushButton(QStringLiteral("ログイン"));
    m_cmdLOGIN->setObjectName(QStringLiteral("cmdLOGIN"));
    m_cmdLOGIN->setToolTip(QStringLiteral("YahooID、ﾊﾟｽﾜｰﾄﾞ入力後、押下して下さい。Yahoo!へログインします。"));
    m_cmdCANCEL = new QPushButton(QStringLiteral("キャンセル"));
    m_cmdCANCEL->setObjectName(QStringLiteral("cmdCANCEL"));
    m_cmdCANCEL->setToolTip(QStringLiteral("ログインをキャンセルします。"));
    buttons->addWidget(m_cmdLOGIN);
    buttons->addWidget(m_cmdCANCEL);
    layout->addLayout(buttons);

    // The sign-in runs in browsers the user never sees.
    m_w1 = new Browser(this);
    m_w1->setObjectName(QStringLiteral("W1"));
    m_wb2 = new Browser(this);
    m_wb2->setObjectName(QStringLiteral("WB2"));
    m_webBrowser1 = new Browser(this);
    m_webBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    for (Browser* b : {m_w1, m_wb2, m_webBrowser1}) b->hide();

    EnterKeyFilter::install(this, {QStringLiteral("Text1"), QStringLiteral("Text2")});
    connect(m_cmdLOGIN, &QPushButton::clicked, this, &frmLogin::cmdLOGIN_Click);
    connect(m_cmdCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_grid, &Grid::Click, this, &frmLogin::onRowClicked);
    connect(m_grid, &Grid::BeforeEdit, this,
            [this](int row, int, bool& cancel) { cancel = !LoginList::editAllowed(rows(), row, m_grid->col()); });
    connect(m_w1, &Browser::DocumentComplete, this, &frmLogin::onW1Complete);
    connect(m_wb2, &Browser::DocumentComplete, this, &frmLogin::onWB2Complete);
    connect(m_webBrowser1, &Browser::DocumentComplete, this, &frmLogin::onWebBrowser1Complete);
    for (Browser* b : {m_w1, m_wb2, m_webBrowser1})
        connect(b, &Browser::loadStopped, this, [this](PageGuard::Stop why) {
            if (!m_requested || why != PageGuard::Stop::TooLarge) return;
            for (Browser* each : {m_w1, m_wb2, m_webBrowser1}) each->stop();
            fail(QStringLiteral("ログイン画面が大きすぎるため、読み込みを中止しました。\r\nしばらくしてから再度ログインして下さい。"),
                 false);
        });
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(kDefaultDeadlineMs);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (!m_requested) return;
        for (Browser* b : {m_w1, m_wb2, m_webBrowser1}) b->stop();
        fail(QStringLiteral("サーバーから応答がありません。\r\nしばらくしてから再度ログインして下さい。"), false);
    });

    // Opening.
    m_text1->clear();
    m_webBrowser1->setRegisterAsDropTarget(false);
    m_grid->setText(0, 1, QStringLiteral("YahooID"));
    for (int r = 1; r <= LoginList::kRows; ++r) m_grid->setText(r, 0, QStringLiteral("0"));
    Login_ListRead();
    resize(380, 520);
    m_text1->setFocus();
}

void frmLogin::Login_ListRead() {
    const LoginList::State s = LoginList::read();
    m_inKeyring.clear();
    m_text1->setText(s.text1);
    m_text2->setText(s.text2);
    for (int r = 1; r <= LoginList::kRows; ++r) {
        const LoginList::Row& row = s.rows[r - 1];
        if (row.tick != QLatin1String("0")) m_grid->setText(r, 0, row.tick);
        m_grid->setText(r, 1, row.id);
        m_grid->setText(r, 2, row.password);
        if (row.inKeyring) m_inKeyring.insert(row.id);
    }
    m_requested = false;
}

QList<LoginList::Row> frmLogin::rows() const {
    QList<LoginList::Row> out;
    for (int r = 1; r <= LoginList::kRows; ++r)
        out.append({m_grid->text(r, 0), m_grid->text(r, 1), m_grid->text(r, 2), m_inKeyring.contains(m_grid->text(r, 1))});
    return out;
}

void frmLogin::onRowClicked() {
    const int r = m_grid->row();
    if (r < 1 || m_grid->text(r, 1).isEmpty()) return;
    m_text1->setText(m_grid->text(r, 1));
    m_text2->setText(m_grid->text(r, 2));
}

void frmLogin::Login_Lock(int mode) {
    const bool enabled = mode != 1;
    for (QWidget* w : {static_cast<QWidget*>(m_text1), static_cast<QWidget*>(m_cmdCANCEL), static_cast<QWidget*>(m_cmdLOGIN),
                       static_cast<QWidget*>(m_grid)})
        w->setEnabled(enabled);
}

void frmLogin::Login_ListAdd() {
    if (!m_ckLogin->isChecked()) return;
    const QString id = m_text1->text(), password = m_text2->text();
    mINI::Ini_Update([&](IniFile& file) { LoginList::add(file, id, password); }, m_ui);
}

void frmLogin::cmdLOGIN_Click() {
    if (m_text1->text().trimmed().isEmpty()) {
        m_ui.message(LoginList::kNoId, LoginList::kCaption, UiServices::Icon::Information, UiServices::Buttons::Ok, this);
        return;
    }
    if (m_text2->text().trimmed().isEmpty()) {
        m_ui.message(LoginList::kNoPassword, LoginList::kCaption, UiServices::Icon::Information, UiServices::Buttons::Ok, this);
        return;
    }
    m_w1->Navigate2(SiteAddresses::logoutUrl());
    Login_Lock(1);
    mduInterFace::Wait_Cursor(m_ui, 0);
    m_requested = true;
    m_submitted = false;
    m_deadline.start();
}

void frmLogin::onW1Complete() {
    if (m_requested) m_wb2->Navigate2(SiteAddresses::loginPageUrl());
}

void frmLogin::onWB2Complete() {
    if (!m_requested) return;
    m_webBrowser1->Navigate2(SiteAddresses::loginPageUrl());
    m_loginPage = true;
}

void frmLogin::onWebBrowser1Complete(const QString& url) {
    if (m_loginPage) Login_Lock(0);
    if (url.isEmpty()) return;
    if (url == SiteAddresses::portalTop()) {
        m_deadline.stop();
        m_requested = false;
        Login_ListAdd();
        done(QDialog::Accepted);
        if (m_onSignedIn) m_onSignedIn();
        return;
    }
    if (!m_requested) return;

    // Everything read from this page is read before the form is sent: the
    // answer may replace the page at any moment after that.
    site::LoginPage page(m_webBrowser1);
    const site::LoginPage::Seen seen = page.read();
    // Reading waits for the page; meanwhile the deadline or the window's closing may have ended this sign-in.
    if (!m_requested || m_closed) return;
    if (m_submitted && site::isFailurePage(seen.body)) {
        // The site has said no: sending the same password again would only count another failure.
        fail(LoginList::kFailed, true);
        return;
    }
    if (!m_submitted && !seen.hasForm && !site::isFailurePage(seen.body)) {
        const QString kept = site::keepEvidence(m_webBrowser1, QStringLiteral("ログイン画面にログインのフォームがありませんでした"));
        fail(QStringLiteral("ログイン画面を表示できませんでした。\r\nしばらくしてから再度ログインして下さい。") + site::evidenceNote(kept),
             false);
        return;
    }
    page.signIn(m_text1->text(), m_text2->text(), seen.buttonValues);
    m_submitted = true;
    mduInterFace::Wait_Cursor(m_ui, 1);
    if (site::isFailurePage(seen.body)) fail(LoginList::kFailed, true);
}

void frmLogin::fail(const QString& message, bool clearBoxes) {
    m_deadline.stop();
    if (clearBoxes) {
        m_text1->clear();
        m_text2->clear();
    }
    m_requested = false;
    Login_Lock(0);
    mduInterFace::Wait_Cursor(m_ui, 1);
    m_ui.message(message, LoginList::kCaption, UiServices::Icon::Critical, UiServices::Buttons::Ok, this);
    m_webBrowser1->Navigate2(QString());
}

void frmLogin::done(int result) {
    if (!m_closed) {
        m_closed = true;
        m_deadline.stop();
        m_requested = false;
        mduInterFace::Wait_Cursor(m_ui, 1);
        const QList<mINI::Entry> remembered = LoginList::closingEntries(rows());
        if (!remembered.isEmpty()) mINI::Ini_PutAll(remembered, m_ui);
    }
    QDialog::done(result);
}
