#include "sales/SalesMoney.h"
#include "sales/SaleFeeDialog.h"

#include <algorithm>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Values.h"
#include "sales/ReplyAddress.h"
#include "widgets/PlainText.h"

namespace {
template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}
}  // namespace

SaleFeeDialog::SaleFeeDialog(const sales::Sale& sale, Rules rules, const std::optional<Record>& record, QWidget* parent)
    : QDialog(parent), m_rules(std::move(rules)) {
    setObjectName(QStringLiteral("frmHENSHIN_SOURYOU"));
    setWindowTitle(QStringLiteral("返信から送料 - ") + sale.auctionId);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("落札者からの返信（または送付先の住所）を貼り付けて下さい。")));
    m_reply = named(new QPlainTextEdit, "txtHENSHIN");
    PlainText::setCrlf(m_reply, sale.address);
    layout->addWidget(m_reply, 1);
    m_found = named(new QLabel, "lblHANTEI");
    m_found->setWordWrap(true);
    layout->addWidget(m_found);

    auto* form = new QFormLayout;
    m_prefecture = named(new QComboBox, "cboKEN");
    m_prefecture->addItem(QString());
    m_prefecture->addItems(m_rules.prefectures);
    form->addRow(QStringLiteral("送り先の都道府県"), m_prefecture);
    auto* size = new QHBoxLayout;
    const char* sideNames[] = {"txtTATE", "txtYOKO", "txtATSUSA"};
    for (int i = 0; i < 3; ++i) {
        m_sides[i] = named(new QLineEdit, sideNames[i]);
        m_sides[i]->setMaximumWidth(60);
        size->addWidget(m_sides[i]);
        size->addWidget(new QLabel(i < 2 ? QStringLiteral("×") : QStringLiteral("cm")));
    }
    size->addStretch(1);
    form->addRow(QStringLiteral("荷物の大きさ"), size);
    m_grams = named(new QLineEdit, "txtJUURYOU");
    m_grams->setMaximumWidth(80);
    form->addRow(QStringLiteral("重さ（g）"), m_grams);
    if (record && !record->from.isEmpty()) {
        auto* from = named(new QLabel(record->from), "lblNIMOTSU");
        from->setWordWrap(true);
        form->addRow(QString(), from);
    }
    m_way = named(new QComboBox, "cboHOUHOU");
    m_way->addItems(m_rules.services);
    if (record) {
        // The parcel as it was listed, and the first way the listing offered.
        for (int i = 0; i < 3; ++i)
            if (record->package.sides[i] > 0) m_sides[i]->setText(QString::number(record->package.sides[i]));
        if (record->package.grams > 0) m_grams->setText(QString::number(record->package.grams));
        for (const QString& way : record->ways)
            if (const int offered = m_way->findText(way); offered >= 0) {
                m_way->setCurrentIndex(offered);
                break;
            }
    }
    if (const int known = m_way->findText(sale.shipment.carrier); known >= 0) m_way->setCurrentIndex(known);
    form->addRow(QStringLiteral("発送方法"), m_way);
    layout->addLayout(form);
    m_answer = named(new QLabel, "lblSOURYOU");
    layout->addWidget(m_answer);

    auto* buttons = new QDialogButtonBox;
    QPushButton* work = buttons->addButton(QStringLiteral("計算(&K)"), QDialogButtonBox::ActionRole);
    work->setObjectName(QStringLiteral("cmdKEISAN"));
    QPushButton* ok = buttons->addButton(QStringLiteral("決定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdKETTEI"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCANCEL"));
    // Enter works the fee out; 決定 takes a click.
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);
    work->setDefault(true);
    layout->addWidget(buttons);
    connect(m_reply, &QPlainTextEdit::textChanged, this, &SaleFeeDialog::readReply);
    connect(work, &QPushButton::clicked, this, &SaleFeeDialog::work);
    connect(ok, &QPushButton::clicked, this, [this] {
        this->work();
        if (m_yen >= 0) accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    readReply();
    resize(560, 520);
}

void SaleFeeDialog::readReply() {
    const sales::ReplyAddress found = sales::readReplyAddress(m_reply->toPlainText());
    if (found.prefecture.isEmpty()) {
        m_found->setText(QStringLiteral("都道府県が見つかりません。選んで下さい。"));
        return;
    }
    m_found->setText(QStringLiteral("%1%2（%3）")
                         .arg(found.postcode.isEmpty() ? QString() : QStringLiteral("〒") + found.postcode + QLatin1Char(' '),
                              found.prefecture, found.how));
    m_prefecture->setCurrentText(found.prefecture);
}

void SaleFeeDialog::work() {
    m_yen = -1;
    if (m_prefecture->currentText().isEmpty()) {
        m_answer->setText(QStringLiteral("送り先の都道府県を選んで下さい。"));
        return;
    }
    const Answer answer = m_rules.fee ? m_rules.fee(m_way->currentIndex(), m_prefecture->currentText(), package()) : Answer{};
    m_yen = std::max<qint64>(sales::yenWritten(answer.price), -1);  // "不可" is no fee
    m_answer->setText(
        m_yen >= 0
            ? QStringLiteral("送料：%1%2").arg(answer.price, answer.note.isEmpty() ? QString() : QStringLiteral("（%1）").arg(answer.note))
            : QStringLiteral("この大きさ・重さ・送り先では送れません：%1 %2").arg(answer.price, answer.note));
}

QString SaleFeeDialog::address() const { return PlainText::crlf(m_reply).trimmed(); }
QString SaleFeeDialog::way() const { return m_way->currentText(); }

SaleFeeDialog::Package SaleFeeDialog::package() const {
    Package package;
    for (int i = 0; i < 3; ++i) package.sides[i] = values::leadingNumber(m_sides[i]->text());
    package.grams = values::leadingNumber(m_grams->text());
    return package;
}
