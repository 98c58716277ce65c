#include "mail/MailPane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QUrl>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineContextMenuRequest>

#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "core/UiServices.h"
#include "core/mduInterFace.h"
#include "site/WebDocumentLoader.h"
#include "site/mInterNet.h"
#include "settings/AccountGrids.h"
#include "settings/Accounts.h"
#include "settings/SiteAddresses.h"
#include "site/Evidence.h"
#include "site/SitePages.h"
#include "widgets/ScreenFit.h"
#include "widgets/Browser.h"
#include "widgets/EnterKeyFilter.h"
#include "widgets/Named.h"
#include "widgets/Grid.h"
#include "widgets/PlainText.h"

namespace {
const QString kIdCaption = QStringLiteral("オークションID");
const QString kMailCaption = QStringLiteral("メール作成");
// The closed listings ask for a login when the site wants one.
const QString kNotSignedIn = QStringLiteral("ログインされていません。\r\nログインして下さい。");
const QString kNotSignedInCaption = QStringLiteral("ログイン");

// The busy cursor for as long as a command runs, however it ends.
class BusyCursor {
public:
    explicit BusyCursor(UiServices& ui) : m_ui(ui) { mduInterFace::Wait_Cursor(m_ui, 0); }
    ~BusyCursor() { mduInterFace::Wait_Cursor(m_ui, 1); }

private:
    UiServices& m_ui;
};
}  // namespace

MailPane::MailPane(UiServices& ui, QWidget* parent)
    : QWidget(parent), m_ui(ui), m_ownLoader(std::make_unique<WebDocumentLoader>()), m_loader(m_ownLoader.get()) {
    setObjectName(QStringLiteral("MailPane"));
    auto* layout = new QHBoxLayout(ScreenFit::scrollingContent(this));
    layout->addWidget(buildLeftColumn(), 0);
    layout->addWidget(buildMiddleColumn(), 0);
    // The mail as composed, and the closed listings it is made from, one behind the other.
    m_tabMAIL = named(new QTabWidget, QStringLiteral("tabMAIL"));
    m_tabMAIL->addTab(buildMailView(), QStringLiteral("作成したメール"));
    m_tabMAIL->addTab(buildClosedListings(), QStringLiteral("出品終了分"));
    m_tabMAIL->setCurrentIndex(1);
    layout->addWidget(m_tabMAIL, 1);

    // Enter moves on from the single-line fields (the sender's address too); the number fields
    // take digits only.
    EnterKeyFilter::install(this, {QStringLiteral("Combo10"), QStringLiteral("txtADD2"), QStringLiteral("txtID"), QStringLiteral("txtID2"),
                                   QStringLiteral("txtKingaku"), QStringLiteral("txtNAME"), QStringLiteral("txtNAME2"),
                                   QStringLiteral("txtTEL2"), QStringLiteral("txtYUBIN2")});
    EnterKeyFilter::install(this, {QStringLiteral("imNumber2"), QStringLiteral("imNumLite7")}, EnterKeyFilter::Mode::EnterAndDigits);
}

QWidget* MailPane::buildMailView() {
    auto* view = named(new QWidget, QStringLiteral("fraMAIL"));
    auto* g = new QGridLayout(view);
    m_txtATESAKI = named(new QLineEdit, QStringLiteral("txtATESAKI"), QStringLiteral("落札者のメールアドレスです。"));
    m_txtKENMEI = named(new QLineEdit, QStringLiteral("txtKENMEI"));
    m_txtHONBUN = named(new QPlainTextEdit, QStringLiteral("txtHONBUN"),
                        QStringLiteral("作成したメールです。送る前に読んで、必要なら書き直して下さい。"));
    m_txtHONBUN->setTabChangesFocus(true);
    // Wrapped on screen only, anywhere in a line of Japanese: the mail keeps the line breaks it has.
    m_txtHONBUN->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_txtHONBUN->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    g->addWidget(new QLabel(QStringLiteral("宛先")), 0, 0);
    g->addWidget(m_txtATESAKI, 0, 1, 1, 3);
    g->addWidget(new QLabel(QStringLiteral("件名")), 1, 0);
    g->addWidget(m_txtKENMEI, 1, 1, 1, 3);
    g->addWidget(m_txtHONBUN, 2, 0, 1, 4);
    auto* copy = named(new QPushButton(QStringLiteral("コピー")), QStringLiteral("Command5"),
                       QStringLiteral("本文をクリップボードにコピーします。"));
    auto* mailer = named(new QPushButton(QStringLiteral("メーラー起動")), QStringLiteral("cmdMAILER"),
                         QStringLiteral("宛先・件名・本文を、表示のとおりメールソフトに渡します。"));
    g->addWidget(copy, 3, 2);
    g->addWidget(mailer, 3, 3);
    g->setColumnStretch(1, 1);
    g->setRowStretch(2, 1);
    connect(copy, &QPushButton::clicked, this, &MailPane::Command5_Click);
    connect(mailer, &QPushButton::clicked, this, &MailPane::cmdMAILER_Click);
    return view;
}

MailPane::~MailPane() = default;

QWidget* MailPane::buildLeftColumn() {
    auto* column = new QWidget;
    column->setMaximumWidth(330);
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);

    auto* input = named(new QGroupBox(QStringLiteral("入力/選択")), QStringLiteral("fraInput"));
    auto* g = new QGridLayout(input);
    m_txtID = named(new QLineEdit, QStringLiteral("txtID"));
    g->addWidget(new QLabel(QStringLiteral("商品ID")), 0, 0);
    g->addWidget(m_txtID, 0, 1, 1, 2);
    m_imNumber2 = named(new QLineEdit, QStringLiteral("imNumber2"));
    m_imNumber2->setAlignment(Qt::AlignRight);
    g->addWidget(new QLabel(QStringLiteral("送料")), 1, 0);
    g->addWidget(m_imNumber2, 1, 1);
    g->addWidget(new QLabel(QStringLiteral("円")), 1, 2);
    m_combo10 = named(new QComboBox, QStringLiteral("Combo10"), QStringLiteral("生成するメール内容を選択して下さい。"));
    g->addWidget(new QLabel(QStringLiteral("ﾒｰﾙ内容選択")), 2, 0);
    g->addWidget(m_combo10, 2, 1, 1, 2);
    m_ckMail = named(new QCheckBox(QStringLiteral("メーラー起動")), QStringLiteral("ckMail"));
    g->addWidget(m_ckMail, 3, 0, 1, 2);
    auto* make = named(new QPushButton(QStringLiteral("ﾒｰﾙ作成")), QStringLiteral("Command1"), QStringLiteral("メールを自動生成します。"));
    g->addWidget(make, 3, 2);
    auto* hint = new QLabel(QStringLiteral("※商品ID入力後ﾒｰﾙ作成ﾎﾞﾀﾝ押下で落札ﾒｰﾙを自動生成します。"));
    hint->setWordWrap(true);
    g->addWidget(hint, 4, 0, 1, 3);
    g->setColumnStretch(1, 1);
    v->addWidget(input);

    auto* result = named(new QGroupBox(QStringLiteral("落札情報")), QStringLiteral("fraResult"));
    auto* r = new QGridLayout(result);
    const std::pair<const char*, QLineEdit**> fields[] = {{"txtSYOU", &m_txtSYOU}, {"txtNAME", &m_txtNAME}, {"txtKingaku", &m_txtKingaku}};
    const QString labels[] = {QStringLiteral("落札商品"), QStringLiteral("落札者名："), QStringLiteral("落札金額：")};
    for (int i = 0; i < 3; ++i) {
        *fields[i].second = named(new QLineEdit, QLatin1String(fields[i].first));
        r->addWidget(new QLabel(labels[i]), i, 0);
        r->addWidget(*fields[i].second, i, 1);
    }
    v->addWidget(result);

    v->addWidget(m_sender.build(QStringLiteral("2"), QStringLiteral("住所")));

    auto* buttons = new QHBoxLayout;
    auto* closed = named(new QPushButton(QStringLiteral("出品終了分")), QStringLiteral("Command4"));
    buttons->addWidget(closed);
    // Every sale after its auction, with its stage and deadline: the list this one mail grows into.
    auto* sales = named(new QPushButton(QStringLiteral("取引一覧")), QStringLiteral("cmdTORIHIKI"));
    buttons->addWidget(sales);
    connect(sales, &QPushButton::clicked, this, &MailPane::salesRequested);
    v->addLayout(buttons);
    v->addStretch(1);

    connect(make, &QPushButton::clicked, this, &MailPane::Command1_Click);
    connect(closed, &QPushButton::clicked, this, &MailPane::Command4_Click);
    return column;
}

QWidget* MailPane::buildMiddleColumn() {
    auto* column = new QWidget;
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);

    const QString accountsTip = QStringLiteral("落札者に連絡する口座を選択して下さい。");
    auto* payment = named(new QGroupBox(QStringLiteral("支払方法")), QStringLiteral("fraPayment"));
    auto* p = new QVBoxLayout(payment);
    auto* bankFrame = new QGroupBox(QStringLiteral("銀行振込"));
    auto* bankLayout = new QVBoxLayout(bankFrame);
    m_vGINKOU = named(new Grid, QStringLiteral("vGINKOU"), accountsTip);
    AccountGrids::shapeBank(m_vGINKOU, AccountGrids::mainBank());
    bankLayout->addWidget(m_vGINKOU);
    p->addWidget(bankFrame);
    auto* postalFrame = new QGroupBox(QStringLiteral("郵便振替"));
    auto* postalLayout = new QVBoxLayout(postalFrame);
    m_vYUBIN = named(new Grid, QStringLiteral("vYUBIN"), accountsTip);
    AccountGrids::shapePostal(m_vYUBIN, AccountGrids::mainPostal());
    postalLayout->addWidget(m_vYUBIN);
    p->addWidget(postalFrame);

    auto* other = named(new QGroupBox(QStringLiteral("その他")), QStringLiteral("fraOther"));
    auto* o = new QGridLayout(other);
    m_check3 =
        named(new QCheckBox(QStringLiteral("代引手数料")), QStringLiteral("Check3"), QStringLiteral("代引に対応する時にﾁｪｯｸして下さい。"));
    m_imNumLite7 = named(new QLineEdit, QStringLiteral("imNumLite7"));
    m_imNumLite7->setAlignment(Qt::AlignRight);
    m_imNumLite7->setMaximumWidth(90);
    o->addWidget(m_check3, 0, 0);
    o->addWidget(m_imNumLite7, 0, 1);
    o->addWidget(new QLabel(QStringLiteral("円")), 0, 2);
    m_check4 = named(new QCheckBox(QStringLiteral("その他支払方法")), QStringLiteral("Check4"),
                     QStringLiteral("その他の支払方法がある時は選択して下さい。"));
    o->addWidget(m_check4, 1, 0, 1, 3);
    m_imText2 = named(new QPlainTextEdit, QStringLiteral("imText2"));
    m_imText2->setTabChangesFocus(true);
    m_imText2->setFixedHeight(m_imText2->fontMetrics().lineSpacing() * 3 + 14);
    o->addWidget(m_imText2, 2, 0, 1, 4);
    o->setColumnStretch(3, 1);
    p->addWidget(other);
    v->addWidget(payment);

    auto* shipping =
        named(new QGroupBox(QStringLiteral("発送方法")), QStringLiteral("fraHASSOU"), QStringLiteral("商品の発送方法を選択して下さい。"));
    auto* s = new QGridLayout(shipping);
    const QStringList captions{QStringLiteral("ミニレター"),  QStringLiteral("定形郵便"),         QStringLiteral("定形外郵便"),
                               QStringLiteral("冊子小包"),    QStringLiteral("EXPACK500"),        QStringLiteral("クロネコメール便"),
                               QStringLiteral("ゆうパック"),  QStringLiteral("Yahoo!ゆうパック"), QStringLiteral("ヤマト宅急便"),
                               QStringLiteral("その他ご要望")};
    for (int i = 0; i < captions.size(); ++i) {
        m_ckHASSOU << named(new QCheckBox(captions[i]), QStringLiteral("ckHASSOU_%1").arg(i));
        s->addWidget(m_ckHASSOU.last(), i / 2, i % 2);
    }
    v->addWidget(shipping);
    v->addStretch(1);
    return column;
}

QWidget* MailPane::buildClosedListings() {
    auto* closed = named(new QGroupBox(QStringLiteral("出品終了分")), QStringLiteral("fraClosed"));
    auto* closedLayout = new QVBoxLayout(closed);
    auto* reload = named(new QPushButton(QStringLiteral("最新の情報に更新")), QStringLiteral("Command18"));
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(reload);
    buttonRow->addStretch(1);
    closedLayout->addLayout(buttonRow);
    m_wb2 = named(new Browser, QStringLiteral("WB2"), QStringLiteral("Yahoo!ｵｰｸｼｮﾝ 出品終了分が表示されます。"));
    closedLayout->addWidget(m_wb2, 1);
    // A site that does not answer leaves the program's notice here, not a page loading for ever.
    m_wb2->setLoadDeadline(mInterNet::kTimeoutSeconds * 1000);
    connect(reload, &QPushButton::clicked, this, &MailPane::Command18_Click);
    connect(m_wb2, &Browser::DocumentComplete, this, &MailPane::WB2_DocumentComplete);
    // A listing's auction ID is the mail's: one click makes it; its item page is one menu away.
    m_wb2->setLinkHandler([this](const QUrl& url) {
        const QString id = mInterNet::auctionIdOf(url);
        if (id.isEmpty()) return false;
        QTimer::singleShot(0, this, [this, id] { composeFor(id); });
        return true;
    });
    m_wb2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_wb2, &QWidget::customContextMenuRequested, this, &MailPane::closedListingsMenu);
    return closed;
}

void MailPane::setMailTemplates(const QStringList& names) {
    m_combo10->clear();
    m_combo10->addItems(names);
    if (!names.isEmpty()) m_combo10->setCurrentIndex(0);
}

void MailPane::applyAccounts(const accounts::Settings& settings) {
    AccountGrids::fill(m_vGINKOU, settings.bank);
    AccountGrids::fill(m_vYUBIN, settings.postal);
    // An account number or holder longer than the design width still shows whole.
    for (Grid* grid : {m_vGINKOU, m_vYUBIN})
        for (int c = 1; c < grid->cols(); ++c) grid->widenToContents(c);
    m_sender.show(settings.sender);
}

void MailPane::setSellerId(const QString& id) { m_sender.id->setText(id); }

QString MailPane::sellerId() const { return m_sender.id->text(); }

void MailPane::Command18_Click() { m_wb2->Navigate2(SiteAddresses::closedListingsUrl()); }

void MailPane::composeFor(const QString& auctionId) {
    if (m_running) return;
    m_txtID->setText(auctionId);
    Command1_Click();
}

void MailPane::closedListingsMenu(const QPoint& pos) {
    const QWebEngineContextMenuRequest* request = m_wb2->lastContextMenuRequest();
    const QUrl link = request ? request->linkUrl() : QUrl();
    const QString id = mInterNet::auctionIdOf(link);
    QMenu menu(m_wb2);
    if (!id.isEmpty()) {
        menu.addAction(QStringLiteral("メールを作成（%1）").arg(id), this, [this, id] { composeFor(id); });
        menu.addAction(QStringLiteral("商品ページを開く"), this, [this, link] {
            if (!m_ui.openWithDesktop(link))
                m_ui.message(QStringLiteral("ブラウザを起動できませんでした。\r\n") + link.toString(), kMailCaption,
                             UiServices::Icon::Information, UiServices::Buttons::Ok, this);
        });
        menu.addSeparator();
    }
    menu.addAction(QStringLiteral("最新の情報に更新"), this, &MailPane::Command18_Click);
    menu.exec(m_wb2->mapToGlobal(pos));
}

void MailPane::WB2_DocumentComplete() {
    if (!m_wb2->lastLoadOk()) return;
    // The login window reloads this browser; that page is looked at after this one, not inside it.
    const Browser::Hold hold(m_wb2);
    const std::optional<int> prompts = site::ClosedListingsPage(m_wb2).loginPrompts();
    for (int i = 0; prompts && i < *prompts; ++i) {
        m_ui.message(kNotSignedIn, kNotSignedInCaption, UiServices::Icon::Information, UiServices::Buttons::Ok, this);
        if (m_showLogin) m_showLogin();
    }
}

mail::Values MailPane::values() const {
    mail::Values v;
    v.user = m_txtNAME->text();
    v.title = m_txtSYOU->text();
    v.price = m_txtKingaku->text();
    const accounts::Sender sender = m_sender.read();
    v.yahooId = sender.id;
    v.name = sender.name;
    v.postcode = sender.postcode;
    v.address = sender.address;
    v.tel = sender.phone;
    v.cost = m_imNumber2->text();
    // A row is chosen when its tick cell reads "-1".
    for (int r = 1; r < m_vGINKOU->rows(); ++r)
        v.banks << mail::BankRow{m_vGINKOU->text(r, 0) == QLatin1String("-1"),
                                 m_vGINKOU->text(r, 1),
                                 m_vGINKOU->text(r, 2),
                                 m_vGINKOU->text(r, 3),
                                 m_vGINKOU->text(r, 4),
                                 m_vGINKOU->text(r, 5)};
    for (int r = 1; r < m_vYUBIN->rows(); ++r)
        v.postals << mail::PostalRow{m_vYUBIN->text(r, 0) == QLatin1String("-1"), m_vYUBIN->text(r, 1), m_vYUBIN->text(r, 2),
                                     m_vYUBIN->text(r, 3), m_vYUBIN->text(r, 4)};
    v.other = m_check4->isChecked();
    v.otherText = PlainText::crlf(m_imText2);
    v.cashOnDelivery = m_check3->isChecked();
    v.cashOnDeliveryFee = m_imNumLite7->text();
    for (QCheckBox* box : m_ckHASSOU)
        if (box->isChecked()) v.shippingWays << box->text();
    return v;
}

void MailPane::Command1_Click() {
    // The window stays usable while the item page loads: a second click waits for the first mail.
    if (m_running) return;
    if (m_txtID->text().isEmpty()) {
        m_ui.message(QStringLiteral("オークションIDを入力して下さい。"), kIdCaption, UiServices::Icon::Information, UiServices::Buttons::Ok,
                     this);
        return;
    }
    const BusyCursor busy(m_ui);
    m_running = true;
    const auto notRunning = qScopeGuard([this] { m_running = false; });
    m_txtSYOU->clear();
    m_txtNAME->clear();
    m_txtKingaku->clear();
    m_txtATESAKI->clear();
    m_txtKENMEI->clear();
    m_txtHONBUN->clear();
    // The item page once, for the title, the winner and the price together.
    const mInterNet::ItemPage item = mInterNet::readItemPage(*m_loader, SiteAddresses::itemUrl(m_txtID->text()));
    if (m_abandoned) return;  // the window closed while the page loaded
    // Nothing read, or a page that is no item page (an error page, garbage, text in another
    // charset than the site said): a mail with an empty or garbled title, winner and price is
    // no mail to hand over.
    const bool itemPage =
        item.loaded && item.title && (*item.title == mInterNet::wrongIdTitle() || !item.title->startsWith(QStringLiteral("<HEAD><TITLE>")));
    if (!itemPage) {
        const QString kept = site::keepEvidence(
            {QStringLiteral("商品ページが読めませんでした（メール作成）"), SiteAddresses::itemUrl(m_txtID->text()), item.html, QImage()});
        m_ui.message((item.failure == mInterNet::Failure::TooLarge
                          ? QStringLiteral("商品ページが大きすぎるため、読み込みを中止しました。\r\n"
                                           "オークションIDを確認して、しばらくしてから再度お試し下さい。")
                          : QStringLiteral("商品ページを読み込めませんでした。\r\n"
                                           "インターネットへの接続を確認して、しばらくしてから再度お試し下さい。")) +
                         site::evidenceNote(kept),
                     kMailCaption, UiServices::Icon::Information, UiServices::Buttons::Ok, this);
        return;
    }
    m_txtSYOU->setText(*item.title);
    m_txtSYOU->setCursorPosition(0);  // a long title shows its beginning
    if (*item.title == mInterNet::wrongIdTitle()) {
        m_ui.message(QStringLiteral("オークションIDが正しくありません。"), kIdCaption, UiServices::Icon::Information,
                     UiServices::Buttons::Ok, this);
        m_txtSYOU->clear();
        m_txtID->clear();
        return;
    }
    m_txtNAME->setText(item.contactName);
    m_txtKingaku->setText(item.price);

    const QString path = ProgramFolder::templateMail() + m_combo10->currentText() + QStringLiteral(".txt");
    QString text;
    if (m_combo10->currentText().isEmpty() || TextFile::readCp932Text(path, &text) != TextFile::Read::Ok) {
        m_ui.message(QStringLiteral("メールの雛形を読み込めませんでした。\r\n") + path, kMailCaption, UiServices::Icon::Critical,
                     UiServices::Buttons::Ok, this);
        return;
    }
    // The mail is shown whole before it goes anywhere; what leaves is what the seller sees there.
    m_txtATESAKI->setText(item.contactAddress);
    m_txtKENMEI->setText(mail::subject(m_txtSYOU->text()));
    PlainText::setCrlf(m_txtHONBUN, mail::fill(mail::bodyFromTemplate(text), values()));
    m_txtHONBUN->moveCursor(QTextCursor::Start);
    m_tabMAIL->setCurrentIndex(0);
    if (m_ckMail->isChecked()) handOver();
}

QString MailPane::mailBody() const { return PlainText::crlf(m_txtHONBUN); }

void MailPane::cmdMAILER_Click() {
    if (mailBody().isEmpty() && m_txtATESAKI->text().isEmpty()) {
        m_ui.message(QStringLiteral("メールがまだありません。商品IDを入力して[ﾒｰﾙ作成]を押して下さい。"), kMailCaption,
                     UiServices::Icon::Information, UiServices::Buttons::Ok, this);
        return;
    }
    handOver();
}

void MailPane::handOver() { mail::handOver(m_ui, m_txtATESAKI->text().trimmed(), m_txtKENMEI->text(), mailBody(), this); }

void MailPane::abandon() {
    m_abandoned = true;
    m_loader->cancel();
}

void MailPane::Command5_Click() { m_ui.setClipboardText(mailBody()); }

void MailPane::Command4_Click() {
    if (!m_ui.openWithDesktop(QUrl(SiteAddresses::closedListingsUrl())))
        m_ui.message(QStringLiteral("ブラウザを起動できませんでした。\r\n出品終了分は右の画面でもご覧いただけます。"), kMailCaption,
                     UiServices::Icon::Information, UiServices::Buttons::Ok, this);
}
