#include "listing/fees/FeeSummary.h"

#include <QLabel>
#include <QVBoxLayout>

#include "widgets/Named.h"

FeeSummary::FeeSummary(QWidget* parent) : QGroupBox(QStringLiteral("有料オプションの料金（目安）"), parent) {
    setObjectName(QStringLiteral("fraFees"));
    auto* v = new QVBoxLayout(this);
    m_lines = named(new QLabel, QStringLiteral("lblFees"),
                    QStringLiteral("選んだ有料オプションの料金です。料金は MAST フォルダの「有料オプション.csv」で変えられます。"));
    m_lines->setTextFormat(Qt::RichText);
    m_lines->setWordWrap(true);
    v->addWidget(m_lines);
    m_total = named(new QLabel, QStringLiteral("lblFeeTotal"));
    m_total->setTextFormat(Qt::PlainText);
    m_total->setAlignment(Qt::AlignRight);
    QFont bold = m_total->font();
    bold.setBold(true);
    m_total->setFont(bold);
    v->addWidget(m_total);
}

void FeeSummary::setEstimate(const listing::FeeEstimate& fees) {
    if (!fees.known) {
        m_lines->setText(QStringLiteral("料金表（MAST フォルダの「%1」）を読み込めないため、料金は表示できません。")
                             .arg(listing::kFeeFileName.toHtmlEscaped()));
        m_total->clear();
        return;
    }
    if (fees.cost.lines.isEmpty()) {
        m_lines->setText(QStringLiteral("有料オプションは選ばれていません。"));
        m_total->setText(QStringLiteral("合計　0円"));
        return;
    }
    m_lines->setText(listing::costHtml(fees.cost));
    m_total->setText(QStringLiteral("合計　") + listing::yenText(fees.cost.total) +
                     (fees.cost.durationMissing ? QStringLiteral("（注目のオークションは期間を選ぶと加わります）") : QString()));
}
