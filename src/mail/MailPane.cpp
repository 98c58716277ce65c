#include "mail/MailPane.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/platform/Browser.h"
#include "app/platform/EnterKeyFilter.h"
#include "settings/SiteAddresses.h"

MailPane::MailPane(QWidget* parent) : QWidget(parent) {
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
    EnterKeyFilter::install(this, {QStringLiteral("Combo10")});
}

void MailPane::setMailTemplates(const QStringList& names) {
    m_combo10->clear();
    m_combo10->addItems(names);
    if (!names.isEmpty()) m_combo10->setCurrentIndex(0);
}

void MailPane::Command18_Click() { m_wb2->Navigate2(SiteAddresses::closedListingsUrl()); }
