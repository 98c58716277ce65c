#include "listing/preflight/PreflightWindow.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/mINI.h"

namespace {
QLabel* plain(const QString& text, const char* name = nullptr) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    if (name) label->setObjectName(QLatin1String(name));
    return label;
}
}  // namespace

bool PreflightWindow::wanted(const listing::FeeEstimate& fees, const listing::FormCheck& check, const listing::ListingWarnings& warnings) {
    if (!fees.choice.any() && check.notReached.isEmpty() && !warnings.any()) return false;
    return mINI::Ini_Get(kSection, kKey) != QLatin1String("1");
}

PreflightWindow::PreflightWindow(UiServices& ui, const listing::FeeEstimate& fees, const listing::FormCheck& check,
                                 const listing::ListingWarnings& warnings, QWidget* parent)
    : QDialog(parent), m_ui(ui) {
    setObjectName(QStringLiteral("frmYOUYAKU"));
    setWindowTitle(QStringLiteral("出品前の確認"));
    auto* layout = new QVBoxLayout(this);

    const QStringList lacking = listing::warningLines(warnings);
    if (!lacking.isEmpty()) {
        auto* listing = new QGroupBox(QStringLiteral("出品内容"));
        auto* listingLayout = new QVBoxLayout(listing);
        auto* lines = plain(lacking.join(QLatin1Char('\n')), "lblWarnings");
        lines->setStyleSheet(QStringLiteral("color: #c00000;"));
        listingLayout->addWidget(lines);
        layout->addWidget(listing);
    }

    auto* paid = new QGroupBox(QStringLiteral("有料オプションの料金（目安）"));
    auto* paidLayout = new QVBoxLayout(paid);
    auto* total = plain(QString(), "lblTotal");
    QFont bold = total->font();
    bold.setBold(true);
    total->setFont(bold);
    if (!fees.choice.any()) {
        paidLayout->addWidget(plain(QStringLiteral("有料オプションは選ばれていません。"), "lblFees"));
        total->setText(QStringLiteral("合計　0円"));
    } else if (!fees.known) {
        paidLayout->addWidget(plain(QStringLiteral("有料オプションが選ばれていますが、料金表を読み込めないため、料金は表示できません。"
                                                   "サイトの料金表で確かめて下さい。"),
                                    "lblFees"));
    } else {
        auto* lines = new QLabel(listing::costHtml(fees.cost));
        lines->setObjectName(QStringLiteral("lblFees"));
        lines->setTextFormat(Qt::RichText);
        paidLayout->addWidget(lines);
        total->setText(QStringLiteral("合計　") + listing::yenText(fees.cost.total) +
                       (fees.cost.durationMissing ? QStringLiteral("（注目のオークションは期間を選ぶと加わります）") : QString()));
    }
    if (!total->text().isEmpty()) {
        total->setAlignment(Qt::AlignRight);
        paidLayout->addWidget(total);
    }
    layout->addWidget(paid);

    auto* form = new QGroupBox(QStringLiteral("出品フォームへの入力"));
    auto* formLayout = new QVBoxLayout(form);
    const QStringList missing = listing::formCheckLines(check);
    if (!check.formPage) {
        formLayout->addWidget(plain(QStringLiteral("右画面が出品フォームではないため、項目は確かめていません。"), "lblFormCheck"));
    } else if (missing.isEmpty()) {
        formLayout->addWidget(plain(QStringLiteral("すべての項目が出品フォームに入りました。"), "lblFormCheck"));
    } else {
        auto* heading =
            plain(QStringLiteral("次の %1 項目は出品フォームに入っていません。戻って、サイトの出品フォームで直接入力して下さい。")
                      .arg(missing.size()),
                  "lblFormCheck");
        heading->setStyleSheet(QStringLiteral("color: #c00000;"));
        formLayout->addWidget(heading);
        auto* list = new QListWidget;
        list->setObjectName(QStringLiteral("lstMissing"));
        list->addItems(missing);
        list->setFocusPolicy(Qt::NoFocus);
        list->setMaximumHeight(list->fontMetrics().height() * 6 + 12);
        formLayout->addWidget(list);
    }
    layout->addWidget(form);

    m_check1 = new QCheckBox(QStringLiteral("今後この確認を表示しない。"));
    m_check1->setObjectName(QStringLiteral("Check1"));
    layout->addWidget(m_check1);

    auto* row = new QHBoxLayout;
    auto* back = new QPushButton(QStringLiteral("戻って直す"));
    back->setObjectName(QStringLiteral("cmdBACK"));
    auto* go = new QPushButton(QStringLiteral("確認へ進む"));
    go->setObjectName(QStringLiteral("cmdGO"));
    row->addStretch(1);
    row->addWidget(back);
    row->addWidget(go);
    layout->addLayout(row);
    // With something to mend, Enter takes the seller back to mend it; otherwise on.
    (missing.isEmpty() && lacking.isEmpty() ? go : back)->setDefault(true);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
    connect(go, &QPushButton::clicked, this, &QDialog::accept);
    setMinimumWidth(480);
}

void PreflightWindow::done(int result) {
    // However it is closed; only a tick is written (unticked, the setting already says show it).
    if (m_check1->isChecked()) {
        mINI::Ini_Put(kSection, kKey, QStringLiteral("1"), m_ui);
        m_check1->setChecked(false);
    }
    QDialog::done(result);
}
