#pragma once

#include <QStringList>

// The 47 prefectures in the order of their JIS X 0401 codes (01 北海道 … 15
// 新潟県 … 19 山梨県, 20 長野県 … 47 沖縄県). The site's listing form numbers
// the seller's region by these codes, so a list whose position becomes that
// code must be in this order, not in the shipping pane's.
inline const QStringList kJisPrefectures{
    QStringLiteral("北海道"),   QStringLiteral("青森県"), QStringLiteral("岩手県"), QStringLiteral("宮城県"),   QStringLiteral("秋田県"),
    QStringLiteral("山形県"),   QStringLiteral("福島県"), QStringLiteral("茨城県"), QStringLiteral("栃木県"),   QStringLiteral("群馬県"),
    QStringLiteral("埼玉県"),   QStringLiteral("千葉県"), QStringLiteral("東京都"), QStringLiteral("神奈川県"), QStringLiteral("新潟県"),
    QStringLiteral("富山県"),   QStringLiteral("石川県"), QStringLiteral("福井県"), QStringLiteral("山梨県"),   QStringLiteral("長野県"),
    QStringLiteral("岐阜県"),   QStringLiteral("静岡県"), QStringLiteral("愛知県"), QStringLiteral("三重県"),   QStringLiteral("滋賀県"),
    QStringLiteral("京都府"),   QStringLiteral("大阪府"), QStringLiteral("兵庫県"), QStringLiteral("奈良県"),   QStringLiteral("和歌山県"),
    QStringLiteral("鳥取県"),   QStringLiteral("島根県"), QStringLiteral("岡山県"), QStringLiteral("広島県"),   QStringLiteral("山口県"),
    QStringLiteral("徳島県"),   QStringLiteral("香川県"), QStringLiteral("愛媛県"), QStringLiteral("高知県"),   QStringLiteral("福岡県"),
    QStringLiteral("佐賀県"),   QStringLiteral("長崎県"), QStringLiteral("熊本県"), QStringLiteral("大分県"),   QStringLiteral("宮崎県"),
    QStringLiteral("鹿児島県"), QStringLiteral("沖縄県")};

// The 47 prefectures as the shipping pane lists them (the parcel rate files
// name them the same way): the JIS order, east to west, but with 山梨県 and
// 長野県 before 新潟県, as the carriers' zone tables group them.
inline const QStringList kShippingPrefectures = [] {
    QStringList list = kJisPrefectures;
    list.move(list.indexOf(QStringLiteral("山梨県")), list.indexOf(QStringLiteral("新潟県")));
    list.move(list.indexOf(QStringLiteral("長野県")), list.indexOf(QStringLiteral("新潟県")));
    return list;
}();
