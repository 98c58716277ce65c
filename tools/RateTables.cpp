#include "RateTables.h"

#include <cstdlib>

#include "core/Prefectures.h"

namespace RateTables {

const QList<Region>& regions() {
    static const QList<Region> list{
        {QStringLiteral("北海道"), 0, {QStringLiteral("北海道")}},
        {QStringLiteral("北東北"), 2, {QStringLiteral("青森県"), QStringLiteral("岩手県"), QStringLiteral("秋田県")}},
        {QStringLiteral("南東北"), 3, {QStringLiteral("宮城県"), QStringLiteral("山形県"), QStringLiteral("福島県")}},
        {QStringLiteral("北関東"),
         4,
         {QStringLiteral("茨城県"), QStringLiteral("栃木県"), QStringLiteral("群馬県"), QStringLiteral("山梨県")}},
        {QStringLiteral("南関東"),
         4,
         {QStringLiteral("埼玉県"), QStringLiteral("千葉県"), QStringLiteral("東京都"), QStringLiteral("神奈川県")}},
        {QStringLiteral("信越"), 4, {QStringLiteral("新潟県"), QStringLiteral("長野県")}},
        {QStringLiteral("北陸"), 5, {QStringLiteral("富山県"), QStringLiteral("石川県"), QStringLiteral("福井県")}},
        {QStringLiteral("東海"),
         5,
         {QStringLiteral("岐阜県"), QStringLiteral("静岡県"), QStringLiteral("愛知県"), QStringLiteral("三重県")}},
        {QStringLiteral("近畿"),
         6,
         {QStringLiteral("滋賀県"), QStringLiteral("京都府"), QStringLiteral("大阪府"), QStringLiteral("兵庫県"), QStringLiteral("奈良県"),
          QStringLiteral("和歌山県")}},
        {QStringLiteral("中国"),
         7,
         {QStringLiteral("鳥取県"), QStringLiteral("島根県"), QStringLiteral("岡山県"), QStringLiteral("広島県"),
          QStringLiteral("山口県")}},
        {QStringLiteral("四国"),
         7,
         {QStringLiteral("徳島県"), QStringLiteral("香川県"), QStringLiteral("愛媛県"), QStringLiteral("高知県")}},
        {QStringLiteral("北九州"),
         8,
         {QStringLiteral("福岡県"), QStringLiteral("佐賀県"), QStringLiteral("長崎県"), QStringLiteral("大分県")}},
        {QStringLiteral("南九州"), 9, {QStringLiteral("熊本県"), QStringLiteral("宮崎県"), QStringLiteral("鹿児島県")}},
        {QStringLiteral("沖縄"), 14, {QStringLiteral("沖縄県")}},  // across the sea: farther than it looks
    };
    return list;
}

const QList<Service>& services() {
    static const QList<Service> list{
        {QStringLiteral("YUPACK.csv"),
         {QStringLiteral("60サイズ"), QStringLiteral("80サイズ"), QStringLiteral("100サイズ"), QStringLiteral("120サイズ"),
          QStringLiteral("140サイズ"), QStringLiteral("160サイズ")},
         {810, 1030, 1280, 1530, 1780, 2010},
         {100, 100, 100, 120, 120, 120},
         {50, 60, 70, 80, 90, 100}},
        {QStringLiteral("KURONEKO.csv"),
         {QStringLiteral("60サイズ"), QStringLiteral("80サイズ"), QStringLiteral("100サイズ"), QStringLiteral("120サイズ"),
          QStringLiteral("140サイズ"), QStringLiteral("160サイズ")},
         {740, 950, 1160, 1370, 1580, 1790},
         {100, 110, 120, 130, 140, 150},
         {55, 65, 75, 85, 95, 105}},
        {QStringLiteral("YahooYUPACK.csv"),
         {QStringLiteral("2000"), QStringLiteral("5000"), QStringLiteral("10000"), QStringLiteral("15000"), QStringLiteral("20000"),
          QStringLiteral("25000"), QStringLiteral("30000")},
         {700, 900, 1100, 1300, 1500, 1700, 1900},
         {100, 100, 100, 100, 100, 100, 100},
         {40, 50, 60, 70, 80, 90, 100}},
    };
    return list;
}

int price(const Service& s, int k, int from, int to) {
    const QList<Region>& r = regions();
    int yen = s.base[k] + std::abs(r[from].position - r[to].position) * s.perStep[k];
    if (from != to) yen += s.otherRegion[k];
    return (yen + 5) / 10 * 10;
}

QStringList fileLines(const Service& s) {
    const QList<Region>& r = regions();
    int headerLines = 0;
    for (const Region& region : r) headerLines = qMax(headerLines, static_cast<int>(region.prefectures.size()));
    QStringList lines;
    for (const QString& origin : kShippingPrefectures) {
        int from = 0;
        while (!r[from].prefectures.contains(origin)) ++from;
        const QString lead = origin + QStringLiteral("発着,");
        // A region of many prefectures lists them over several header lines.
        for (int h = 0; h < headerLines; ++h) {
            QStringList cells{QStringLiteral("都道府県")};
            for (const Region& region : r) cells << region.prefectures.value(h);
            lines << lead + cells.join(QLatin1Char(','));
        }
        for (int k = 0; k < s.classes.size(); ++k) {
            QStringList cells{s.classes[k]};
            for (int to = 0; to < r.size(); ++to) cells << QString::number(price(s, k, from, to));
            lines << lead + cells.join(QLatin1Char(','));
        }
    }
    return lines;
}

}  // namespace RateTables
