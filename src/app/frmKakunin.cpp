#include "app/frmKakunin.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/mINI.h"

frmKakunin::frmKakunin(UiServices& ui, QWidget* parent) : QDialog(parent), m_ui(ui) {
    setObjectName(QStringLiteral("frmKakunin"));
    setWindowTitle(QStringLiteral("注意"));
    auto* layout = new QVBoxLayout(this);
    auto* label1 = new QLabel(QStringLiteral(
        "右画面のYahoo!出品ﾌｫｰﾑの[続ける]ボタンを押下して下さい。次画面で出品内容を再度、確認して[利用規約とガイドラインに同意する]"
        "ボタンを押下して出品手続きを終了して下さい。"));
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setWordWrap(true);
    layout->addWidget(label1);
    auto* label2 = new QLabel(QStringLiteral(
        "※「『ソラバコ』の不備で商品取引に支障が出た。」等のクレ－ムは受け付けることができませんので最終確認は必ずユーザー様が行って下さい。"));
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setWordWrap(true);
    label2->setStyleSheet(QStringLiteral("color: #c00000;"));
    layout->addWidget(label2);
    m_check1 = new QCheckBox(QStringLiteral("今後このメッセージを表示しない。"));
    m_check1->setObjectName(QStringLiteral("Check1"));
    layout->addWidget(m_check1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("O K"));
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    row->addWidget(ok);
    row->addStretch(1);
    layout->addLayout(row);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setMinimumWidth(460);
}

void frmKakunin::done(int result) {
    if (!m_written) {
        m_written = true;
        mINI::Ini_Put(QStringLiteral("確認画面"), QStringLiteral("同意"), m_check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
                      m_ui);
    }
    QDialog::done(result);
}
