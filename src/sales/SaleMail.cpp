#include "sales/SaleMail.h"

#include <QLocale>

#include "settings/SalesKeys.h"

namespace sales {

QString mailKey(Stage stage) { return saleskeys::mailKey(stageName(stage)); }
QString reminderKey() { return saleskeys::mailKey(kReminder); }
QString defaultTemplate(Stage stage) { return saleskeys::defaultMail(stageName(stage)); }
QString defaultReminderTemplate() { return saleskeys::defaultMail(kReminder); }

QString yen(qint64 amount) { return QLocale(QLocale::English).toString(amount) + QStringLiteral("円"); }

PaneFacts paneFacts(const Sale& sale) {
    return {sale.winnerName.isEmpty() ? sale.winnerId : sale.winnerName, sale.title, yen(sale.price),
            sale.shippingFee >= 0 ? QString::number(sale.shippingFee) : QString()};
}

QString fill(const QString& templateText, const Sale& sale, const PaneFill& paneFill, const std::optional<Deadline>& due) {
    QString text = paneFill(templateText, paneFacts(sale));
    text.replace(QStringLiteral("<AUCTIONID>"), sale.auctionId);
    text.replace(QStringLiteral("<ENDED>"), sale.ended.toLocalTime().toString(QStringLiteral("yyyy/MM/dd hh:mm")));
    text.replace(QStringLiteral("<CARRIER>"), sale.shipment.carrier);
    text.replace(QStringLiteral("<TRACKING>"), sale.shipment.tracking);
    text.replace(QStringLiteral("<SHIPDATE>"), sale.shipment.date.toString(QStringLiteral("yyyy/MM/dd")));
    QString shipTo = sale.address;
    shipTo.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    text.replace(QStringLiteral("<SHIPTO>"), shipTo);
    text.replace(QStringLiteral("<DUE>"), due ? due->due.toLocalTime().toString(QStringLiteral("yyyy/MM/dd")) : QString());
    return text;
}

QString subject(const Sale& sale, Stage stage, bool reminder) {
    const QString title = QStringLiteral("『") + sale.title + QStringLiteral("』 ");
    if (reminder) return title + QStringLiteral("お支払いのお願い");
    switch (stage) {
        case Stage::Contacted: return title + QStringLiteral("落札ありがとうございます");
        case Stage::Paid: return title + QStringLiteral("ご入金を確認しました");
        case Stage::Shipped: return title + QStringLiteral("発送のご連絡");
        default: break;
    }
    return title + QStringLiteral("お取引のご連絡");
}

}  // namespace sales
