// A rate file's text and the parcel lookups over it.
#include "FuzzInput.h"

#include "core/Cp932.h"
#include "core/Prefectures.h"
#include "shipping/mHASSOU.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in(data, size);
    const QString text = cp932::decode(in.bytes(0));
    const QString origin = kShippingPrefectures.value(in.number(1, 50));  // now and then no prefecture at all
    const QString destination = kShippingPrefectures.value(in.number(2, 50));
    const int sizeOrWeight = in.number(3, 1 << 30) - (1 << 29);
    const mHASSOU::RateReader rates = [&text]() -> std::optional<QString> { return text; };
    const mHASSOU::ParcelFee parcel =
        mHASSOU::Souryou_Parcel(origin, destination, rates, sizeOrWeight, in.number(4, 2) == 1, QStringLiteral("ゆうパック"));
    const mHASSOU::ParcelFee yahoo = mHASSOU::Souryou_YahooParcel(origin, destination, rates, sizeOrWeight);
    for (const mHASSOU::ParcelFee& fee : {parcel, yahoo}) {
        // Always one of the price forms a seller can read.
        FUZZ_CHECK(fee.price.endsWith(QStringLiteral(" 円")) || fee.price == mHASSOU::kUnavailable || fee.price == mHASSOU::kNotYet);
        FUZZ_CHECK(fee.html.isEmpty() || fee.html.endsWith(QStringLiteral("<BR>")));
    }
    const mHASSOU::RateBlock block = mHASSOU::originBlock(text, origin);
    mHASSOU::parcelTable(block, in.number(5, 20) - 2, QStringLiteral("ゆうパック"), in.number(6, 2) == 1);
    mHASSOU::roundHalfEven(in.text(7).toDouble());
    mHASSOU::plainNumber(in.text(8).toDouble());
    // The fixed-rate rules on any weight and sides.
    const QString weight = in.text(9);
    const double side = in.text(10).toDouble();
    for (const mHASSOU::Fee& fee :
         {mHASSOU::Souryou_MiniLetter(weight), mHASSOU::Souryou_Teikei(weight), mHASSOU::Souryou_Teikeigai(weight, side, side * 3),
          mHASSOU::Souryou_Sasshi(weight), mHASSOU::Souryou_Expack(weight), mHASSOU::Souryou_MailBin(weight, side, side, side * 3)})
        FUZZ_CHECK(fee.price.endsWith(QStringLiteral(" 円")) || fee.price == mHASSOU::kUnavailable);
    return 0;
}
