#include "description/PreviewWindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/Browser.h"

PreviewWindow::PreviewWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("プレビュー"));
    auto* layout = new QVBoxLayout(this);
    m_why = new QLabel(QStringLiteral("HTMLファイルを開くプログラム（ブラウザ）が設定されていないため、ソラバコの画面で表示しています。"));
    m_why->setObjectName(QStringLiteral("lblWhy"));
    m_why->setWordWrap(true);
    layout->addWidget(m_why);
    m_view = new Browser;
    m_view->setObjectName(QStringLiteral("WBPreview"));
    layout->addWidget(m_view, 1);
    auto* buttons = new QDialogButtonBox;
    QPushButton* close = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(900, 700);
}

void PreviewWindow::showFile(const QUrl& file) {
    // Loaded afresh each time: the file changes with every preview.
    m_view->Navigate2(file.toString());
    show();
    raise();
    activateWindow();
}
