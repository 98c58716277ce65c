#include "description/frmLINK.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/UiServices.h"
#include "widgets/EnterKeyFilter.h"
#include "description/CopyButtons.h"
#include "description/Description.h"

frmLINK::frmLINK(UiServices& ui, QWidget* parent) : QDialog(parent), m_ui(ui) {
    setObjectName(QStringLiteral("frmLINK"));
    setWindowTitle(QStringLiteral("リンク作成"));
    auto* g = new QGridLayout(this);
    g->addWidget(new QLabel(QStringLiteral("リンク先名")), 0, 0);
    m_imText1 = new QLineEdit;
    m_imText1->setObjectName(QStringLiteral("imText1"));
    g->addWidget(m_imText1, 0, 1);
    g->addWidget(new QLabel(QStringLiteral("リンク先URL")), 1, 0);
    m_imText2 = new QLineEdit;
    m_imText2->setObjectName(QStringLiteral("imText2"));
    m_imText2->setMinimumWidth(320);
    g->addWidget(m_imText2, 1, 1);
    g->addLayout(copyCancelRow(this, [this] { Command2_Click(); }), 2, 0, 1, 2);
    EnterKeyFilter::install(this, {QStringLiteral("imText1"), QStringLiteral("imText2")});
}

void frmLINK::Command2_Click() {
    m_ui.setClipboardText(description::linkFragment(m_imText2->text(), m_imText1->text()));
    accept();
}
