#include "mail/MailPane.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/Browser.h"
#include "widgets/Grid.h"
#include "settings/AccountGrids.h"
#include "settings/Accounts.h"
#include "core/UiServices.h"
#include "settings/SiteAddresses.h"
#include "siteform/ListingForm.h"

MailPane::MailPane(UiServices& ui, QWidget* parent) : QWidget(parent), m_ui(ui) {
    setObjectName(QStringLiteral("MailPane"));
    auto* layout = new QHBoxLayout(this);

    auto* leftHost = new QWidget;
    m_left = new QVBoxLayout(leftHost);
    m_left->setContentsMargins(0, 0, 0, 0);
    auto* input = new QGroupBox(QStringLiteral("入力/選択"));
    input->setObjectName(QStringLiteral("fraInput"));
    auto* inputLayout = new QVBoxLayout(input);
    m_combo10 = new QComboBox;
    m_combo10->setObjectName(QStringLiteral("Combo10"));
    m_combo10->setToolTip(QStringLiteral("生成するメール内容を選択して下さい。"));
    m_combo10->setMinimumWidth(220);
    inputLayout->addWidget(m_combo10);
    m_left->addWidget(input);

    QGroupBox* sender = m_sender.build(QStringLiteral("2"), QStringLiteral("住所"));
    m_left->addWidget(sender);

    const QString accountsTip = QStringLiteral("落札者に連絡する口座を選択して下さい。");
    auto* bankFrame = new QGroupBox(QStringLiteral("銀行振込"));
    auto* bankLayout = new QVBoxLayout(bankFrame);
    m_vGINKOU = new Grid;
    m_vGINKOU->setObjectName(QStringLiteral("vGINKOU"));
    m_vGINKOU->setToolTip(accountsTip);
    AccountGrids::shapeBank(m_vGINKOU, AccountGrids::mainBank());
    bankLayout->addWidget(m_vGINKOU);
    m_left->addWidget(bankFrame);
    auto* postalFrame = new QGroupBox(QStringLiteral("郵便振替"));
    auto* postalLayout = new QVBoxLayout(postalFrame);
    m_vYUBIN = new Grid;
    m_vYUBIN->setObjectName(QStringLiteral("vYUBIN"));
    m_vYUBIN->setToolTip(accountsTip);
    AccountGrids::shapePostal(m_vYUBIN, AccountGrids::mainPostal());
    postalLayout->addWidget(m_vYUBIN);
    m_left->addWidget(postalFrame);
    m_left->addStretch(1);
    layout->addWidget(leftHost, 0);

    auto* closed = new QGroupBox(QStringLiteral("出品終了分"));
    closed->setObjectName(QStringLiteral("fraClosed"));
    auto* closedLayout = new QVBoxLayout(closed);
    m_command18 = new QPushButton(QStringLiteral("最新の情報に更新"));
    m_command18->setObjectName(QStringLiteral("Command18"));
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_command18);
    buttonRow->addStretch(1);
    closedLayout->addLayout(buttonRow);
    m_wb2 = new Browser;
    m_wb2->setObjectName(QStringLiteral("WB2"));
    m_wb2->setToolTip(QStringLiteral("Yahoo!ｵｰｸｼｮﾝ 出品終了分が表示されます。"));
    closedLayout->addWidget(m_wb2, 1);
    layout->addWidget(closed, 1);

    connect(m_command18, &QPushButton::clicked, this, &MailPane::Command18_Click);
    connect(m_wb2, &Browser::DocumentComplete, this, &MailPane::WB2_DocumentComplete);
}

void MailPane::setMailTemplates(const QStringList& names) {
    m_combo10->clear();
    m_combo10->addItems(names);
    if (!names.isEmpty()) m_combo10->setCurrentIndex(0);
}

void MailPane::applyAccounts(const accounts::Settings& settings) {
    AccountGrids::fill(m_vGINKOU, settings.bank);
    AccountGrids::fill(m_vYUBIN, settings.postal);
    m_sender.show(settings.sender);
}

void MailPane::Command18_Click() { m_wb2->Navigate2(SiteAddresses::closedListingsUrl()); }

void MailPane::WB2_DocumentComplete() {
    if (!m_wb2->lastLoadOk()) return;
    // The login window reloads this browser; that page is looked at after this one, not inside it.
    const Browser::Hold hold(m_wb2);
    if (!m_wb2->scrollTo(0, 500)) return;
    const Browser::Result body = m_wb2->bodyText();
    if (!body) return;
    QStringList saveValues;
    if (!body.text().contains(siteform::kPasswordAgain)) {
        Browser::Outcome outcome;
        for (const Browser::NamedElement& e : m_wb2->elementsByName(siteform::kLoginButtonName, Browser::kDefaultTimeoutMs, &outcome))
            saveValues << e.value;
        if (outcome != Browser::Outcome::Done) return;
    }
    const int prompts = siteform::loginPrompts(body.text(), saveValues);
    for (int i = 0; i < prompts; ++i) {
        m_ui.message(siteform::kNotSignedIn, siteform::kNotSignedInCaption, UiServices::Icon::Information,
                     UiServices::Buttons::Ok, this);
        if (m_showLogin) m_showLogin();
    }
}
