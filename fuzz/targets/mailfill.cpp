// The winning-bid mail filled from any template and any values.
#include "FuzzInput.h"

#include <QRegularExpression>

#include "mail/MailComposer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in(data, size);
    mail::Values v;
    v.user = in.text(1);
    v.title = in.text(2);
    v.price = in.text(3);
    v.yahooId = in.text(4);
    v.name = in.text(5);
    v.postcode = in.text(6);
    v.address = in.text(7);
    v.tel = in.text(8);
    v.cost = in.text(9);
    const int banks = in.number(10, 7);
    for (int n = 0; n < banks; ++n) v.banks << mail::BankRow{n % 2 == 0, in.text(11), in.text(12), in.text(13), in.text(14), in.text(15)};
    const int postals = in.number(16, 4);
    for (int n = 0; n < postals; ++n) v.postals << mail::PostalRow{n != 1, in.text(17), in.text(18), in.text(19), in.text(20)};
    v.other = in.number(21, 2) == 1;
    v.otherText = in.text(22);
    v.cashOnDelivery = in.number(23, 2) == 1;
    v.cashOnDeliveryFee = in.text(24);
    for (int k = 25; k < in.count() && k < 35; ++k) v.shippingWays << in.text(k);

    const QString body = mail::fill(mail::bodyFromTemplate(in.text(0)), v);
    Q_UNUSED(body);
    // The total is a plain decimal number, however the price and fee were written.
    static const QRegularExpression plain(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    FUZZ_CHECK(plain.match(mail::total(v.price, v.cost)).hasMatch());
    const QString address = mail::mailtoAddress(in.text(35), mail::subject(v.title), in.text(36));
    for (QChar c : address) FUZZ_CHECK(c.unicode() < 0x80);
    return 0;
}
