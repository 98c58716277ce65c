#include "siteform/ListingForm.h"

#include "core/Prefectures.h"

namespace siteform {

const QList<Mirror>& mirrors() {
    static const QList<Mirror> list{
        {QStringLiteral("Check16"), QStringLiteral("ypmOK"), 900, Kind::Check},
        {QStringLiteral("Check17"), QStringLiteral("aspj1"), 900, Kind::Check},
        {QStringLiteral("Check18"), QStringLiteral("aspj2"), 900, Kind::Check},
        {QStringLiteral("Check19"), QStringLiteral("aspj8"), 900, Kind::Check},
        {QStringLiteral("Check20"), QStringLiteral("aspj9"), 900, Kind::Check},
        {QStringLiteral("Check21"), QStringLiteral("aspj10"), 900, Kind::Check},
        {QStringLiteral("Check22"), QStringLiteral("aspj11"), 900, Kind::Check},
        {QStringLiteral("Check23"), QStringLiteral("aspj3"), 900, Kind::Check},
        {QStringLiteral("Check24"), QStringLiteral("aspj4"), 900, Kind::Check},
        {QStringLiteral("Check25"), QStringLiteral("ycc"), 900, Kind::Check},
        {QStringLiteral("Check26"), QStringLiteral("aspj7"), 900, Kind::Check},
        {QStringLiteral("Check27"), QStringLiteral("ccmOK"), 900, Kind::Check},
        {QStringLiteral("Check28"), QStringLiteral("intlOK"), 1100, Kind::Check},
        {QStringLiteral("Check29"), QStringLiteral("ypkOK"), 1100, Kind::Check},
        {QStringLiteral("Check30"), QStringLiteral("escj1"), 1500, Kind::Check},
        {QStringLiteral("Check31"), QStringLiteral("escj6"), 1500, Kind::Check},
        {QStringLiteral("Check35"), QStringLiteral("boldSelected"), 2200, Kind::Check},
        {QStringLiteral("Check36"), QStringLiteral("highlightlistingSelected"), 2500, Kind::Check},
        {QStringLiteral("Check37"), QStringLiteral("postagefreeSelected"), 2500, Kind::Check},
        {QStringLiteral("Check38"), QStringLiteral("wrappingSelected"), 2800, Kind::Check},
        {QStringLiteral("Check39"), QStringLiteral("minBidRating"), 3100, Kind::Check},
        {QStringLiteral("Check40"), QStringLiteral("AutoExtension"), 3100, Kind::Check},
        {QStringLiteral("Check41"), QStringLiteral("CloseEarly"), 3100, Kind::Check},
        {QStringLiteral("Combo1"), QStringLiteral("Duration"), 1800, Kind::List},
        {QStringLiteral("Combo2"), QStringLiteral("giftSelected"), 2600, Kind::List},
        {QStringLiteral("Combo3"), QStringLiteral("ClosingTime"), 3200, Kind::List},
        {QStringLiteral("Combo4"), QStringLiteral("numResubmit"), 3200, Kind::List},
        {QStringLiteral("Combo5"), QStringLiteral("loc_cd"), 1210, Kind::List},
        {QStringLiteral("imNumLite1"), QStringLiteral("Quantity"), 1800, Kind::Number},
        {QStringLiteral("imNumLite2"), QStringLiteral("StartPrice"), 1800, Kind::Number},
        {QStringLiteral("imNumLite3"), QStringLiteral("featuredAmount"), 2000, Kind::Number},
        {QStringLiteral("imNumLite4"), QStringLiteral("JpBuyNowPrice"), 2800, Kind::Number},
        {QStringLiteral("imNumLite5"), QStringLiteral("ReservePrice"), 2800, Kind::Number},
        {QStringLiteral("imNumLite6"), QStringLiteral("BidOrBuyPrice"), 3200, Kind::Number},
        {QStringLiteral("Text1"), QStringLiteral("city"), 1210, Kind::Text},
        {QStringLiteral("optHANBAI"), QStringLiteral("shipping"), 960, Kind::Option},
        {QStringLiteral("optHANBAI2"), QStringLiteral("shiptime"), 960, Kind::Option},
    };
    return list;
}

const Mirror* findMirror(const QString& control) {
    for (const Mirror& m : mirrors())
        if (m.control == control) return &m;
    return nullptr;
}

double listValue(const QString& control, int index) {
    // The duration goes to the page as a floating-point number, the others as integers;
    // a whole number is the same either way.
    if (control == QLatin1String("Combo1") || control == QLatin1String("Combo3")) return index;
    return index + 1;
}

const QStringList& mirrorAllOrder() {
    static const QStringList order = [] {
        // The buy-now and reserve prices follow the desired price: a price restored from a
        // memory file must reach a form that loads afterwards, or the listing goes out without it.
        QStringList o{QStringLiteral("txtTitle"),   QStringLiteral("txtDescription"), QStringLiteral("imNumLite2"),
                      QStringLiteral("Text1"),      QStringLiteral("imNumLite1"),     QStringLiteral("imNumLite3"),
                      QStringLiteral("imNumLite6"), QStringLiteral("imNumLite4"),     QStringLiteral("imNumLite5"),
                      QStringLiteral("optHANBAI"),  QStringLiteral("optHANBAI2"),     QStringLiteral("Combo2")};
        for (int n = 16; n <= 31; ++n) o << QStringLiteral("Check%1").arg(n);
        for (int n = 35; n <= 41; ++n) o << QStringLiteral("Check%1").arg(n);
        o << QStringLiteral("Combo1") << QStringLiteral("Combo2") << QStringLiteral("Combo3") << QStringLiteral("Combo4")
          << QStringLiteral("Combo5");
        return o;
    }();
    return order;
}

const QList<CheckBox>& checkBoxes() {
    static const QList<CheckBox> list{
        {QStringLiteral("Check16"), QStringLiteral("Yahoo!かんたん決済"), true},
        {QStringLiteral("Check17"), QStringLiteral("銀行振込"), true},
        {QStringLiteral("Check18"), QStringLiteral("郵便振替"), false},
        {QStringLiteral("Check19"), QStringLiteral("イーバンク銀行決済"), false},
        {QStringLiteral("Check20"), QStringLiteral("ジャパンネットバンク決済"), false},
        {QStringLiteral("Check21"), QStringLiteral("みずほ銀行決済"), false},
        {QStringLiteral("Check22"), QStringLiteral("UFJ銀行決済"), false},
        {QStringLiteral("Check23"), QStringLiteral("現金書留"), false},
        {QStringLiteral("Check24"), QStringLiteral("商品代引"), false},
        {QStringLiteral("Check25"), QStringLiteral("クレジットカード"), false},
        {QStringLiteral("Check26"), QStringLiteral("その他"), false},
        {QStringLiteral("Check27"), QStringLiteral("NTTコム・セーフティパス決済"), false},
        {QStringLiteral("Check28"), QStringLiteral("海外発送する"), false},
        {QStringLiteral("Check29"), QStringLiteral("Yahoo!ゆうﾊﾟｯｸで発送可能"), false},
        {QStringLiteral("Check30"), QStringLiteral("ｵｰｸｼｮﾝﾁｪｯｸ"), false},
        {QStringLiteral("Check31"), QStringLiteral("ｲｵﾝﾚｼﾞｵｰｸｼｮﾝ"), false},
        {QStringLiteral("Check35"), QStringLiteral("太字テキスト"), false},
        {QStringLiteral("Check36"), QStringLiteral("背景色"), false},
        {QStringLiteral("Check37"), QStringLiteral("送料無料アイコン"), false},
        {QStringLiteral("Check38"), QStringLiteral("贈答品アイコン"), false},
        {QStringLiteral("Check39"), QStringLiteral("入札者評価制限"), false},
        {QStringLiteral("Check40"), QStringLiteral("自動延長"), false},
        {QStringLiteral("Check41"), QStringLiteral("早期終了"), true},
    };
    return list;
}

const QStringList& durations() {
    static const QStringList list{QStringLiteral("2 日"), QStringLiteral("3 日"), QStringLiteral("4 日"),
                                  QStringLiteral("5 日"), QStringLiteral("6 日"), QStringLiteral("7 日")};
    return list;
}

const QStringList& eyeCatchIcons() {
    static const QStringList list{QString(),
                                  QStringLiteral("新品"),
                                  QStringLiteral("美品"),
                                  QStringLiteral("非売品"),
                                  QStringLiteral("限定品"),
                                  QStringLiteral("保証書付"),
                                  QStringLiteral("全巻セット"),
                                  QStringLiteral("正規店購入"),
                                  QStringLiteral("産地直送")};
    return list;
}

const QStringList& endHours() {
    static const QStringList list = [] {
        // Hours 0 to 11 are 午前, 12 to 23 午後; the hour after 23 is 午前0時 again.
        auto name = [](int h) -> QString {
            return (h % 24 < 12 ? QStringLiteral("午前") : QStringLiteral("午後")) + QString::number(h % 12) +
                   QStringLiteral("時");
        };
        QStringList l;
        for (int h = 0; h < 24; ++h) l << name(h) + QStringLiteral("から") + name(h + 1);
        l[12] = QStringLiteral("午後0時（正午）から午後1時<");
        return l;
    }();
    return list;
}

const QStringList& relistings() {
    static const QStringList list{QStringLiteral("1 回"), QStringLiteral("2 回"), QStringLiteral("3 回")};
    return list;
}

const QStringList& sellerRegions() {
    static const QStringList list = kJisPrefectures + QStringList{QStringLiteral("海外")};
    return list;
}

int loginPrompts(const QString& bodyText, const QStringList& saveValues) {
    if (bodyText.contains(kPasswordAgain)) return 1;
    return static_cast<int>(saveValues.count(kLoginButtonValue));
}

}  // namespace siteform
