#include "listing/form/FormCheckView.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "widgets/Named.h"

FormCheckView::FormCheckView(QWidget* parent) : QGroupBox(QStringLiteral("出品フォームへの入力"), parent) {
    setObjectName(QStringLiteral("fraFormCheck"));
    auto* v = new QVBoxLayout(this);
    m_text = named(new QLabel, QStringLiteral("lblFormCheck"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    v->addWidget(m_text);
    m_list = named(new QListWidget, QStringLiteral("lstFormCheck"),
                   QStringLiteral("出品フォームに入らなかった項目です。サイトの出品フォームで直接入力して下さい。"));
    m_list->setMaximumHeight(m_list->fontMetrics().height() * 4 + 10);
    m_list->setFocusPolicy(Qt::NoFocus);
    v->addWidget(m_list);
}

void FormCheckView::setCheck(const listing::FormCheck& check, const QString& evidence) {
    const QStringList lines = listing::formCheckLines(check);
    m_list->clear();
    m_list->addItems(lines);
    m_list->setVisible(!lines.isEmpty());
    QPalette palette = m_text->palette();
    palette.setColor(QPalette::WindowText, lines.isEmpty() ? this->palette().color(QPalette::WindowText) : QColor(0xC0, 0, 0));
    m_text->setPalette(palette);
    if (!check.formPage)
        m_text->setText(QStringLiteral("出品フォームを開くと、各項目がページに入ったかをここに表示します。"));
    else if (lines.isEmpty())
        m_text->setText(QStringLiteral("すべての項目が出品フォームに入りました。"));
    else
        m_text->setText(
            QStringLiteral("%1 項目が出品フォームに入りませんでした。サイトの出品フォームで直接入力して下さい。").arg(lines.size()) +
            (evidence.isEmpty() ? QString() : QStringLiteral("（ページを %1 に残しました）").arg(evidence)));
}
