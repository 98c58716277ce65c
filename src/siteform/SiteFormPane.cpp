#include "siteform/SiteFormPane.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "widgets/Browser.h"

SiteFormPane::SiteFormPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SiteFormPane"));
    auto* layout = new QHBoxLayout(this);

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("tabSYUPPINN"));
    auto* goods = new QWidget;
    goods->setObjectName(QStringLiteral("tabSYUPPINN_0"));
    new QVBoxLayout(goods);
    auto* options = new QWidget;
    options->setObjectName(QStringLiteral("tabSYUPPINN_1"));
    new QVBoxLayout(options);
    m_tabs->addTab(goods, QStringLiteral("商品情報"));
    m_tabs->addTab(options, QStringLiteral("オプション"));
    m_tabs->setMinimumWidth(360);
    layout->addWidget(m_tabs, 0);

    auto* form = new QGroupBox(QStringLiteral("Yahoo!出品ﾌｫｰﾑ"));
    form->setObjectName(QStringLiteral("fraForm"));
    auto* formLayout = new QVBoxLayout(form);
    auto* top = new QHBoxLayout;
    auto* note = new QLabel(QStringLiteral("※出品するカテゴリの選択をこちらからして下さい。"));
    top->addWidget(note, 1);
    m_command7 = new QPushButton(QStringLiteral("確認"));
    m_command7->setObjectName(QStringLiteral("Command7"));
    top->addWidget(m_command7);
    formLayout->addLayout(top);
    m_wb = new Browser;
    m_wb->setObjectName(QStringLiteral("WB"));
    m_wb->setToolTip(QStringLiteral("出品するカテゴリーの選択をこちらから行って下さい。(必須)"));
    formLayout->addWidget(m_wb, 1);
    layout->addWidget(form, 1);
}
