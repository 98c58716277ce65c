#include "description/frmMOJI.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "core/UiServices.h"
#include "description/CopyButtons.h"
#include "description/Description.h"
#include "widgets/PlainText.h"

frmMOJI::frmMOJI(UiServices& ui, QWidget* parent) : QDialog(parent), m_ui(ui) {
    setObjectName(QStringLiteral("frmMOJI"));
    setWindowTitle(QStringLiteral("文字装飾"));
    auto* g = new QGridLayout(this);
    g->addWidget(new QLabel(QStringLiteral("装飾文字列")), 0, 0, Qt::AlignTop);
    m_imText1 = new QPlainTextEdit;
    m_imText1->setObjectName(QStringLiteral("imText1"));
    m_imText1->setTabChangesFocus(true);
    m_imText1->setFixedHeight(m_imText1->fontMetrics().lineSpacing() * 4 + 12);
    g->addWidget(m_imText1, 0, 1, 1, 4);

    const QString captions[] = {QStringLiteral("太字"), QStringLiteral("斜体"), QStringLiteral("下線")};
    auto* styles = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        m_check[i] = new QCheckBox(captions[i]);
        m_check[i]->setObjectName(QStringLiteral("Check1_%1").arg(i));
        styles->addWidget(m_check[i]);
    }
    styles->addStretch(1);
    g->addLayout(styles, 1, 1, 1, 4);

    auto* colour = new QPushButton(QStringLiteral("色"));
    colour->setObjectName(QStringLiteral("Command1"));
    g->addWidget(colour, 2, 0);
    m_label2 = new QLabel;
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setFixedSize(48, 22);
    m_label2->setAutoFillBackground(true);
    m_label2->setFrameShape(QFrame::Box);
    g->addWidget(m_label2, 2, 1);
    g->addWidget(new QLabel(QStringLiteral("ｻｲｽﾞ")), 2, 2, Qt::AlignRight);
    m_imNumber1 = new QComboBox;
    m_imNumber1->setObjectName(QStringLiteral("imNumber1"));
    for (int i = 1; i <= 7; ++i) m_imNumber1->addItem(QString::number(i));
    m_imNumber1->setCurrentIndex(0);
    g->addWidget(m_imNumber1, 2, 3);

    g->addLayout(copyCancelRow(this, [this] { Command2_Click(); }), 3, 0, 1, 5);

    // The swatch starts as the desktop's text colour (black on a default desktop).
    m_rgb = palette().color(QPalette::WindowText).rgb() & 0xFFFFFFu;
    paintSwatch();

    connect(colour, &QPushButton::clicked, this, &frmMOJI::Command1_Click);
}

void frmMOJI::paintSwatch() {
    QPalette pal = m_label2->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(m_rgb));
    m_label2->setPalette(pal);
}

void frmMOJI::Command1_Click() {
    unsigned int chosen = m_rgb;
    // A cancelled chooser leaves the swatch; an explicit black is a colour like any other.
    if (!m_ui.chooseColor(&chosen, this)) return;
    m_rgb = chosen & 0xFFFFFFu;
    paintSwatch();
}

void frmMOJI::Command2_Click() {
    const QString fragment = description::decorationFragment(PlainText::crlf(m_imText1), m_check[0]->isChecked(), m_check[1]->isChecked(),
                                                             m_check[2]->isChecked(), m_rgb, m_imNumber1->currentText());
    m_ui.setClipboardText(fragment);
    accept();
}
