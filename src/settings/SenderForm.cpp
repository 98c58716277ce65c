#include "settings/SenderForm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "widgets/PlainText.h"

QGroupBox* SenderForm::build(const QString& suffix, const QString& addressLabel) {
    auto* frame = new QGroupBox(QStringLiteral("差出人"));
    frame->setObjectName(QStringLiteral("fraSender"));
    auto* g = new QGridLayout(frame);
    const std::pair<const char*, QLineEdit**> fields[] = {{"txtID", &id}, {"txtYUBIN", &postcode}, {"txtTEL", &phone}, {"txtNAME", &name}};
    const QString labels[] = {QStringLiteral("YahooID"), QStringLiteral("郵便番号"), QStringLiteral("電話番号"), QStringLiteral("氏名")};
    int r = 0;
    for (const auto& [objectName, field] : fields) {
        *field = new QLineEdit;
        (*field)->setObjectName(QLatin1String(objectName) + suffix);
        g->addWidget(new QLabel(labels[r]), r, 0);
        g->addWidget(*field, r, 1);
        ++r;
    }
    g->addWidget(new QLabel(addressLabel), r, 0, Qt::AlignTop);
    address = new QPlainTextEdit;
    address->setObjectName(QStringLiteral("txtADD") + suffix);
    address->setTabChangesFocus(true);
    address->setFixedHeight(address->fontMetrics().lineSpacing() * 3 + 14);
    g->addWidget(address, r, 1);
    return frame;
}

void SenderForm::show(const accounts::Sender& sender) const {
    id->setText(sender.id);
    postcode->setText(sender.postcode);
    phone->setText(sender.phone);
    name->setText(sender.name);
    PlainText::setCrlf(address, sender.address);
}

accounts::Sender SenderForm::read() const { return {id->text(), postcode->text(), phone->text(), name->text(), PlainText::crlf(address)}; }
