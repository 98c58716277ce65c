#include "listing/form/MirrorTable.h"

#include "core/Prefectures.h"

namespace listing {

const QList<Mirror>& mirrors() {
    static const QList<Mirror> list{
        {QStringLiteral("Check16"), QStringLiteral("かんたん決済")},
        {QStringLiteral("Check17"), QStringLiteral("銀行振込")},
        {QStringLiteral("Check18"), QStringLiteral("郵便振替")},
        {QStringLiteral("Check19"), QStringLiteral("イーバンク銀行決済")},
        {QStringLiteral("Check20"), QStringLiteral("ジャパンネットバンク決済")},
        {QStringLiteral("Check21"), QStringLiteral("みずほ銀行決済")},
        {QStringLiteral("Check22"), QStringLiteral("UFJ銀行決済")},
        {QStringLiteral("Check23"), QStringLiteral("現金書留")},
        {QStringLiteral("Check24"), QStringLiteral("商品代引")},
        {QStringLiteral("Check25"), QStringLiteral("クレジットカード")},
        {QStringLiteral("Check26"), QStringLiteral("その他")},
        {QStringLiteral("Check27"), QStringLiteral("NTTコム・セーフティパス決済")},
        {QStringLiteral("Check28"), QStringLiteral("海外発送")},
        {QStringLiteral("Check29"), QStringLiteral("Yahoo!ゆうパック")},
        {QStringLiteral("Check30"), QStringLiteral("オークションチェック")},
        {QStringLiteral("Check31"), QStringLiteral("イオンレジオークション")},
        {QStringLiteral("Check35"), QStringLiteral("太字テキスト")},
        {QStringLiteral("Check36"), QStringLiteral("背景色")},
        {QStringLiteral("Check37"), QStringLiteral("送料無料アイコン")},
        {QStringLiteral("Check38"), QStringLiteral("贈答品アイコン")},
        {QStringLiteral("Check39"), QStringLiteral("入札者評価制限")},
        {QStringLiteral("Check40"), QStringLiteral("自動延長")},
        {QStringLiteral("Check41"), QStringLiteral("早期終了")},
        {QStringLiteral("Combo1"), QStringLiteral("期間")},
        {QStringLiteral("Combo2"), QStringLiteral("目立ちアイコン")},
        {QStringLiteral("Combo3"), QStringLiteral("終了時間")},
        {QStringLiteral("Combo4"), QStringLiteral("自動再出品")},
        {QStringLiteral("Combo5"), QStringLiteral("都道府県")},
        {QStringLiteral("imNumLite1"), QStringLiteral("数量")},
        {QStringLiteral("imNumLite2"), QStringLiteral("開始価格")},
        {QStringLiteral("imNumLite3"), QStringLiteral("注目のオークション")},
        {QStringLiteral("imNumLite4"), QStringLiteral("即買価格")},
        {QStringLiteral("imNumLite5"), QStringLiteral("最低落札価格")},
        {QStringLiteral("imNumLite6"), QStringLiteral("希望落札価格")},
        {QStringLiteral("Text1"), QStringLiteral("市区町村")},
        {QStringLiteral("optHANBAI"), QStringLiteral("送料負担")},
        {QStringLiteral("optHANBAI2"), QStringLiteral("発送時期")},
    };
    return list;
}

const Mirror* findMirror(const QString& control) {
    for (const Mirror& m : mirrors())
        if (m.control == control) return &m;
    return nullptr;
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
            return (h % 24 < 12 ? QStringLiteral("午前") : QStringLiteral("午後")) + QString::number(h % 12) + QStringLiteral("時");
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

}  // namespace listing
