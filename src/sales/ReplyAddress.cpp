#include "sales/ReplyAddress.h"

#include <QRegularExpression>

#include "core/Prefectures.h"

namespace sales {

namespace {
// The first two digits of a postcode by the prefecture they are given to (Japan Post's
// regions); the three-digit exceptions come first.
struct Region {
    const char* from;  // inclusive, two or three digits
    const char* to;
    const char16_t* prefecture;
};
constexpr Region kRegions[] = {
    {"817", "817", u"長崎県"},  // 対馬
    {"00", "00", u"北海道"},   {"01", "01", u"秋田県"},   {"02", "02", u"岩手県"},   {"03", "03", u"青森県"}, {"04", "09", u"北海道"},
    {"10", "20", u"東京都"},   {"21", "25", u"神奈川県"}, {"26", "29", u"千葉県"},   {"30", "31", u"茨城県"}, {"32", "32", u"栃木県"},
    {"33", "36", u"埼玉県"},   {"37", "37", u"群馬県"},   {"38", "39", u"長野県"},   {"40", "40", u"山梨県"}, {"41", "43", u"静岡県"},
    {"44", "49", u"愛知県"},   {"50", "50", u"岐阜県"},   {"51", "51", u"三重県"},   {"52", "52", u"滋賀県"}, {"53", "59", u"大阪府"},
    {"60", "62", u"京都府"},   {"63", "63", u"奈良県"},   {"64", "64", u"和歌山県"}, {"65", "67", u"兵庫県"}, {"68", "68", u"鳥取県"},
    {"69", "69", u"島根県"},   {"70", "71", u"岡山県"},   {"72", "73", u"広島県"},   {"74", "75", u"山口県"}, {"76", "76", u"香川県"},
    {"77", "77", u"徳島県"},   {"78", "78", u"高知県"},   {"79", "79", u"愛媛県"},   {"80", "83", u"福岡県"}, {"84", "84", u"佐賀県"},
    {"85", "85", u"長崎県"},   {"86", "86", u"熊本県"},   {"87", "87", u"大分県"},   {"88", "88", u"宮崎県"}, {"89", "89", u"鹿児島県"},
    {"90", "90", u"沖縄県"},   {"91", "91", u"福井県"},   {"92", "92", u"石川県"},   {"93", "93", u"富山県"}, {"94", "95", u"新潟県"},
    {"96", "97", u"福島県"},   {"98", "98", u"宮城県"},   {"99", "99", u"山形県"},
};
}  // namespace

QString asciiDigitsAndDashes(const QString& text) {
    QString out = text.normalized(QString::NormalizationForm_KC);
    for (QChar& c : out)
        if (c == QChar(0x2010) || c == QChar(0x2011) || c == QChar(0x2012) || c == QChar(0x2013) || c == QChar(0x2014) ||
            c == QChar(0x2015) || c == QChar(0x2212) || c == QChar(0x30FC) || c == QChar(0xFF70))
            c = QLatin1Char('-');
    return out;
}

QString prefectureOfPostcode(const QString& postcode) {
    QString digits = postcode;
    digits.remove(QLatin1Char('-'));
    if (digits.size() < 3) return QString();
    for (const Region& r : kRegions) {
        const QString from = QLatin1String(r.from), to = QLatin1String(r.to);
        const QString head = digits.left(from.size());
        if (head >= from && head <= to) return QString::fromUtf16(r.prefecture);
    }
    return QString();
}

ReplyAddress readReplyAddress(const QString& text) {
    ReplyAddress a;
    const QString t = asciiDigitsAndDashes(text);
    // Seven digits as 3-4, or run together, standing apart from other digits (a phone number's
    // 10 or 11 digits are no postcode).
    static const QRegularExpression postcode(QStringLiteral("(?<![0-9-])([0-9]{3})-?([0-9]{4})(?![0-9-])"));
    const QRegularExpressionMatch m = postcode.match(t);
    qsizetype after = 0;
    if (m.hasMatch()) {
        a.postcode = m.captured(1) + QLatin1Char('-') + m.captured(2);
        after = m.capturedEnd();
    }
    // The prefecture named nearest after the postcode (an address follows its postcode); a name
    // inside another (京都府 is no part of 東京都) is a different name, so each is found whole.
    qsizetype best = -1;
    QStringList named;
    for (const QString& name : kJisPrefectures) {
        const qsizetype at = t.indexOf(name);
        if (at < 0) continue;
        named << name;
        const qsizetype from = t.indexOf(name, after);
        const qsizetype key = from >= 0 ? from : t.size() + at;  // before the postcode: only when nothing follows it
        if (best < 0 || key < best) {
            best = key;
            a.prefecture = name;
        }
    }
    if (!a.prefecture.isEmpty()) {
        named.removeAll(a.prefecture);
        a.how = QStringLiteral("住所の「%1」から").arg(a.prefecture);
        if (!named.isEmpty()) a.how += QStringLiteral("（ほかに「%1」の名前があります）").arg(named.join(QStringLiteral("」「")));
        return a;
    }
    a.prefecture = prefectureOfPostcode(a.postcode);
    if (!a.prefecture.isEmpty()) a.how = QStringLiteral("郵便番号 %1 の上の桁から（住所に都道府県名がありません）").arg(a.postcode);
    return a;
}

}  // namespace sales
