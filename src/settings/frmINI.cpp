#include "settings/frmINI.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Cp932.h"
#include "core/ProgramFolder.h"
#include "core/UiServices.h"
#include "widgets/EnterKeyFilter.h"
#include "widgets/ScreenFit.h"
#include "widgets/Grid.h"
#include "settings/AccountGrids.h"
#include "settings/IniFile.h"
#include "settings/KeptPasswords.h"
#include "settings/SalesKeys.h"

namespace {
QLineEdit* lineEdit(const char* name) {
    auto* e = new QLineEdit;
    e->setObjectName(QLatin1String(name));
    return e;
}
}  // namespace

frmINI::frmINI(UiServices& ui, std::function<void()> showLogin, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_showLogin(std::move(showLogin)) {
    setObjectName(QStringLiteral("frmINI"));
    setWindowTitle(QStringLiteral("設定"));
    // The frames scroll on a low screen; the buttons stay in sight below them.
    auto* layout = new QGridLayout(ScreenFit::scrollingContent(this));
    layout->addWidget(buildCommon(), 0, 0);
    layout->addWidget(m_sender.build(QString(), QStringLiteral("住所：")), 0, 1);

    auto* bankFrame = new QGroupBox(QStringLiteral("銀行振込"));
    bankFrame->setObjectName(QStringLiteral("fraBank"));
    auto* bankLayout = new QVBoxLayout(bankFrame);
    m_bank = new Grid;
    m_bank->setObjectName(QStringLiteral("vGINKOU"));
    AccountGrids::shapeBank(m_bank, AccountGrids::dialogBank());
    bankLayout->addWidget(m_bank);
    layout->addWidget(bankFrame, 1, 0, 1, 2);

    auto* postalFrame = new QGroupBox(QStringLiteral("郵便振替"));
    postalFrame->setObjectName(QStringLiteral("fraPostal"));
    auto* postalLayout = new QVBoxLayout(postalFrame);
    m_postal = new Grid;
    m_postal->setObjectName(QStringLiteral("vYUBIN"));
    AccountGrids::shapePostal(m_postal, AccountGrids::dialogPostal());
    postalLayout->addWidget(m_postal);
    layout->addWidget(postalFrame, 2, 0, 1, 2);
    QStringList templates;
    for (const QFileInfo& f : QDir(ProgramFolder::templateMail()).entryInfoList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
        templates << f.completeBaseName();
    layout->addWidget(m_sales.build(templates), 3, 0, 1, 2);
    layout->addWidget(m_send.build(), 4, 0, 1, 2);
    auto* keyringFrame = new QGroupBox(QStringLiteral("サイトのパスワード"));
    keyringFrame->setObjectName(QStringLiteral("fraKEYRING"));
    auto* keyringLayout = new QVBoxLayout(keyringFrame);
    keyringLayout->addWidget(
        new QLabel(QStringLiteral("印を付けたIDのパスワードは、設定ファイルではなくデスクトップのキーリングに保存します。")));
    m_keyring = new QListWidget;
    m_keyring->setObjectName(QStringLiteral("lstKEYRING"));
    m_keyring->setMaximumHeight(110);
    keyringLayout->addWidget(m_keyring);
    layout->addWidget(keyringFrame, 5, 0, 1, 2);
    QObject::connect(static_cast<QPushButton*>(m_send.testButton()), &QPushButton::clicked, this, [this] {
        if (const QString wrong = m_send.problem(); !wrong.isEmpty()) {
            m_ui.message(wrong, mINI::kAppTitle, UiServices::Icon::Information, UiServices::Buttons::Ok, this);
            return;
        }
        if (m_mailHooks.testSend) m_mailHooks.testSend(m_send.values(), m_send.typedPassword(), this);
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* save = new QPushButton(QStringLiteral("保　存"));
    save->setObjectName(QStringLiteral("Command1"));
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"));
    cancel->setObjectName(QStringLiteral("Command2"));
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    static_cast<QBoxLayout*>(this->layout())->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, &frmINI::Command1_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    EnterKeyFilter::install(this, {QStringLiteral("Text1"), QStringLiteral("Text3"), QStringLiteral("txtID"), QStringLiteral("txtNAME"),
                                   QStringLiteral("txtTEL"), QStringLiteral("txtYUBIN")});
    Form_Load();
}

QWidget* frmINI::buildCommon() {
    auto* frame = new QGroupBox(QStringLiteral("共通"));
    frame->setObjectName(QStringLiteral("fraCommon"));
    auto* g = new QGridLayout(frame);
    m_check1 = new QCheckBox(QStringLiteral("ログインを起動時に表示する。"));
    m_check1->setObjectName(QStringLiteral("Check1"));
    g->addWidget(m_check1, 0, 0, 1, 3);
    m_check3 = new QCheckBox(QStringLiteral("起動時に下記記憶ﾌｧｲﾙを自動で読込む"));
    m_check3->setObjectName(QStringLiteral("Check3"));
    g->addWidget(m_check3, 1, 0, 1, 3);
    m_text1 = lineEdit("Text1");
    g->addWidget(m_text1, 2, 0, 1, 2);
    auto* browseFile = new QPushButton(QStringLiteral("参照"));
    browseFile->setObjectName(QStringLiteral("Command3"));
    g->addWidget(browseFile, 2, 2);
    g->addWidget(new QLabel(QStringLiteral("画像アップロードフォルダ指定")), 3, 0, 1, 3);
    m_text3 = lineEdit("Text3");
    g->addWidget(m_text3, 4, 0, 1, 2);
    auto* browseFolder = new QPushButton(QStringLiteral("参照"));
    browseFolder->setObjectName(QStringLiteral("Command5"));
    g->addWidget(browseFolder, 4, 2);
    m_ckMail = new QCheckBox(QStringLiteral("メーラー起動"));
    m_ckMail->setObjectName(QStringLiteral("ckMail"));
    g->addWidget(m_ckMail, 5, 0, 1, 2);
    auto* login = new QPushButton(QStringLiteral("ログイン情報"));
    login->setObjectName(QStringLiteral("Command4"));
    g->addWidget(login, 5, 2);
    const QString labels[] = {QStringLiteral("YahooID"), QStringLiteral("ﾊﾟｽﾜｰﾄﾞ")};
    for (int i = 0; i < 2; ++i) {
        g->addWidget(new QLabel(labels[i]), 6 + i, 0);
        m_text2[i] = new QLineEdit;
        m_text2[i]->setObjectName(QStringLiteral("Text2_%1").arg(i));
        m_text2[i]->setReadOnly(true);
        g->addWidget(m_text2[i], 6 + i, 1, 1, 2);
    }
    m_text2[1]->setEchoMode(QLineEdit::Password);
    // Where the memory files, the settings and the previous scan are kept (to back them up, or to
    // find a start-up file): the program folder, the build's or the user's own copy.
    auto* where = new QLabel(QStringLiteral("ファイルの保存場所：") + QDir::toNativeSeparators(ProgramFolder::root()));
    where->setObjectName(QStringLiteral("lblFolder"));
    where->setTextFormat(Qt::PlainText);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    where->setWordWrap(true);
    where->setToolTip(QStringLiteral("記憶ファイル(USER)、設定(INI)、前回データ(DATA)はこのフォルダにあります。"));
    g->addWidget(where, 8, 0, 1, 3);
    connect(browseFile, &QPushButton::clicked, this, &frmINI::Command3_Click);
    connect(browseFolder, &QPushButton::clicked, this, &frmINI::Command5_Click);
    connect(login, &QPushButton::clicked, this, [this] {
        if (m_showLogin) m_showLogin();
    });
    return frame;
}

void frmINI::Form_Load() {
    const accounts::Settings s = accounts::read();
    m_opened = s;
    AccountGrids::fill(m_bank, s.bank);
    AccountGrids::fill(m_postal, s.postal);
    m_sender.show(s.sender);
    m_check3->setChecked(s.startFile);
    m_text1->setText(s.startFilePath);
    m_check1->setChecked(s.autoLogin);
    m_text2[0]->setText(s.loginId);
    m_text2[1]->setText(s.loginPassword);
    m_sales.load();
    m_send.load();
    // The saved site accounts, each with 「パスワードをキーリングに保存」.
    m_inKeyring.clear();
    m_keyring->clear();
    const IniFile file = IniFile::load(ProgramFolder::settingsFile());
    for (const QString& id : keptpasswords::accounts(file, &m_inKeyring)) {
        auto* item = new QListWidgetItem(id + QStringLiteral("　パスワードをキーリングに保存"), m_keyring);
        item->setData(Qt::UserRole, id);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(m_inKeyring.contains(id) ? Qt::Checked : Qt::Unchecked);
    }
}

accounts::Settings frmINI::values() const {
    accounts::Settings s;
    s.bank = AccountGrids::read(m_bank);
    s.postal = AccountGrids::read(m_postal);
    s.sender = m_sender.read();
    s.startFile = m_check3->isChecked();
    s.startFilePath = m_text1->text();
    s.autoLogin = m_check1->isChecked();
    return s;
}

void frmINI::Command1_Click() {
    // One write for the keys the seller changed, into the file as it is now (another program
    // may have saved other keys since this dialog opened): a failure is told once and leaves
    // the file as it was.
    const accounts::Settings now = values();
    // A character the file cannot hold would come back as another one in every mail: the
    // seller replaces it first, and nothing is saved until then.
    QString lost;
    for (const mINI::Entry& e : accounts::entriesToSave(now)) cp932::encode(e.value, &lost);
    if (!lost.isEmpty()) {
        m_ui.message(QStringLiteral("次の文字は設定ファイルに保存できません。別の文字に置き換えて下さい。\r\n") + lost, mINI::kAppTitle,
                     UiServices::Icon::Information, UiServices::Buttons::Ok, this);
        return;
    }
    if (const QString wrong = m_sales.problem(); !wrong.isEmpty()) {
        m_ui.message(wrong, mINI::kAppTitle, UiServices::Icon::Information, UiServices::Buttons::Ok, this);
        return;
    }
    if (const QString wrong = m_send.problem(); !wrong.isEmpty()) {
        m_ui.message(wrong, mINI::kAppTitle, UiServices::Icon::Information, UiServices::Buttons::Ok, this);
        return;
    }
    const auto salesChanges = m_sales.changes();
    const bool sendChanged = m_send.changed();
    const sendsettings::Settings send = m_send.values();
    mINI::Ini_Update(
        [&](IniFile& file) {
            accounts::save(file, m_opened, now);
            for (const auto& [key, value] : salesChanges) file.setValue(saleskeys::kSection, key, value);
            if (sendChanged)
                for (const auto& [key, value] : sendsettings::entries(send)) file.setValue(sendsettings::kSection, key, value);
        },
        m_ui);
    // The site accounts the seller moved into the keyring or back: each on the file as it is now.
    QStringList refused;
    for (int i = 0; i < m_keyring->count(); ++i) {
        const QString id = m_keyring->item(i)->data(Qt::UserRole).toString();
        const bool wanted = m_keyring->item(i)->checkState() == Qt::Checked;
        if (wanted == m_inKeyring.contains(id)) continue;
        QString why;
        mINI::Ini_Update([&](IniFile& file) { why = keptpasswords::move(file, id, wanted); }, m_ui);
        if (!why.isEmpty()) refused << id + QStringLiteral("：") + why;
    }
    if (!refused.isEmpty())
        m_ui.message(QStringLiteral("次のIDのパスワードは設定ファイルに残しました。\r\n") + refused.join(QStringLiteral("\r\n")),
                     mINI::kAppTitle, UiServices::Icon::Information, UiServices::Buttons::Ok, this);
    // The password never goes into the file: the keyring keeps it, or this sitting only.
    if (!m_send.typedPassword().isEmpty()) {
        const QString where = m_mailHooks.keepPassword ? m_mailHooks.keepPassword(send, m_send.typedPassword())
                                                       : QStringLiteral("パスワードを保存できませんでした。");
        if (!where.isEmpty()) m_ui.message(where, mINI::kAppTitle, UiServices::Icon::Information, UiServices::Buttons::Ok, this);
    }
    m_ui.message(QStringLiteral("設定を反映させるにはｱﾌﾟﾘｹｰｼｮﾝの再起動を行って下さい。"), mINI::kAppTitle, UiServices::Icon::Information,
                 UiServices::Buttons::Ok, this);
    accept();
}

void frmINI::Command3_Click() {
    const QString name = m_ui.openFileName(ProgramFolder::user(), QStringLiteral("記憶ファイル(*.SRB)|*.srb"), this);
    if (!name.isEmpty()) m_text1->setText(name);
}

void frmINI::Command5_Click() {
    const QString folder = m_ui.folderName(QStringLiteral("適当なフォルダーをクリックして選択状態にしてから ＯＫ を押してください"), this);
    if (!folder.isEmpty()) m_text3->setText(folder);
}
