#include "mail/MailComposer.h"

#include <QUrl>

#include "core/UiServices.h"
#include "core/Values.h"

namespace mail {
namespace {
const QString kCrLf = QStringLiteral("\r\n");
}  // namespace

QString bodyFromTemplate(const QString& templateText) {
    QString text = templateText;
    text.replace(kCrLf, QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();  // the file's last line end
    QString body;
    for (const QString& line : lines) body += line + kCrLf;
    return body;
}

QString bankBlock(int row, const BankRow& bank) {
    return QStringLiteral("　銀行振込") + QString::number(row) + QStringLiteral("　 銀　　行 ： ") + bank.bank + kCrLf +
           QStringLiteral("　　　　　  　支 店 名 ： ") + bank.branch + kCrLf + QStringLiteral("　　　　　　　種　　別 ： ") + bank.type +
           kCrLf + QStringLiteral("　　　　　　　口座番号 ： ") + bank.number + kCrLf + QStringLiteral("　　　　　　　口座名義 ： ") +
           bank.holder + kCrLf + kCrLf;
}

QString postalBlock(int row, const PostalRow& postal) {
    return QStringLiteral("　郵便振替") + QString::number(row) + QStringLiteral("　 口座種別 ： ") + postal.kind + kCrLf +
           QStringLiteral("　　　　　　　記　　号 ： ") + postal.symbol + kCrLf + QStringLiteral("　　　　　　　番　　号 ： ") +
           postal.number + kCrLf + QStringLiteral("　　　　　　　口座名義 ： ") + postal.holder + kCrLf;
}

QString cashOnDeliverySentence(const QString& fee) {
    return QStringLiteral("　代金引換　　　代引手数料として、") + fee + QStringLiteral(" 円をご負担頂きます｡別途､送料がかかります｡");
}

QString shippingList(const QStringList& captions) {
    QString list;
    for (const QString& caption : captions) list += QStringLiteral("　　　　　　　　　　・") + caption + kCrLf;
    return list;
}

QString total(const QString& price, const QString& cost) {
    QString digits = price;
    digits.remove(QStringLiteral("円")).remove(QLatin1Char(','));
    return values::decimalSum(digits, cost);
}

QString fill(const QString& body, const Values& v) {
    QString text = body;
    // Each placeholder in turn, every occurrence: a value holding a later placeholder is filled again by it.
    text.replace(QStringLiteral("<USER>"), v.user);
    text.replace(QStringLiteral("<TITLE>"), v.title);
    text.replace(QStringLiteral("<PRICE>"), v.price);
    text.replace(QStringLiteral("<YAHOOID>"), v.yahooId);
    text.replace(QStringLiteral("<NAME>"), v.name);
    text.replace(QStringLiteral("<YUBINNO>"), v.postcode);
    text.replace(QStringLiteral("<JUSYO>"), v.address);
    text.replace(QStringLiteral("<TEL>"), v.tel);
    text.replace(QStringLiteral("<COST>"), v.cost);
    text.replace(QStringLiteral("<TOTAL>"), total(v.price, v.cost));
    for (int n = 1; n <= v.banks.size(); ++n)
        text.replace(QStringLiteral("<GINKOU%1>").arg(n), v.banks[n - 1].ticked ? bankBlock(n, v.banks[n - 1]) : QString());
    for (int n = 1; n <= v.postals.size(); ++n)
        text.replace(QStringLiteral("<YUBIN%1>").arg(n), v.postals[n - 1].ticked ? postalBlock(n, v.postals[n - 1]) : QString());
    text.replace(QStringLiteral("<SONOTA>"), v.other ? v.otherText + kCrLf : QString());
    text.replace(QStringLiteral("<DAIBIKI>"), v.cashOnDelivery ? cashOnDeliverySentence(v.cashOnDeliveryFee) : QString());
    text.replace(QStringLiteral("<HASSOU>"), shippingList(v.shippingWays));
    return text;
}

QString subject(const QString& title) {
    QString s = QStringLiteral("『<TITLE>』 落札ありがとうございます");
    return s.replace(QStringLiteral("<TITLE>"), title);
}

QString mailtoAddress(const QString& recipientAddress, const QString& subject, const QString& body) {
    auto encode = [](const QString& text) { return QString::fromLatin1(QUrl::toPercentEncoding(text)); };
    // The recipient is the bare address (RFC 6068): a display name is not part of a mailto:
    // address and mail programs read one differently. No address on the page: no recipient.
    return QStringLiteral("mailto:") + QString::fromLatin1(QUrl::toPercentEncoding(recipientAddress.trimmed(), "@")) +
           QStringLiteral("?subject=") + encode(subject) + QStringLiteral("&body=") + encode(body);
}

bool handOver(UiServices& ui, const QString& recipientAddress, const QString& subject, const QString& body, QObject* owner) {
    const QString caption = QStringLiteral("メール作成");
    QString address = mailtoAddress(recipientAddress, subject, body);
    if (address.size() > kMailtoLimit) {
        // Too long to hand over whole: the mail program gets the recipient and subject, the clipboard the body.
        address = mailtoAddress(recipientAddress, subject, QString());
        ui.setClipboardText(body);
        ui.message(QStringLiteral("メール本文が長いため、本文をクリップボードにコピーしました。\r\n"
                                  "メールソフトの本文欄に貼り付けて下さい。"),
                   caption, UiServices::Icon::Information, UiServices::Buttons::Ok, owner);
    }
    if (ui.sendMail(address)) return true;
    ui.message(QStringLiteral("メールソフトを起動できませんでした。\r\n[コピー]で本文をコピーしてお使い下さい。"), caption,
               UiServices::Icon::Information, UiServices::Buttons::Ok, owner);
    return false;
}

}  // namespace mail
