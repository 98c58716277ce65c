#include "listing/preflight/Preflight.h"

#include "core/Values.h"
#include "core/mduInterFace.h"

namespace listing {

ListingWarnings listingWarnings(const QString& title, const QString& startPrice) {
    ListingWarnings w;
    w.titleBytes = mduInterFace::Byte_Len(title);
    w.titleTooLong = w.titleBytes > kTitleLimit;
    w.noStartPrice = startPrice.trimmed().isEmpty();
    w.zeroStartPrice = !w.noStartPrice && values::readMoney(startPrice) == 0;
    return w;
}

QStringList warningLines(const ListingWarnings& warnings) {
    QStringList lines;
    if (warnings.titleTooLong)
        lines
            << QStringLiteral("タイトルが %1 バイトあります（%2 バイトまで）。短くして下さい。").arg(warnings.titleBytes).arg(kTitleLimit);
    if (warnings.noStartPrice) lines << QStringLiteral("開始価格が入力されていません。");
    if (warnings.zeroStartPrice) lines << QStringLiteral("開始価格が 0 円になっています。");
    return lines;
}

}  // namespace listing
