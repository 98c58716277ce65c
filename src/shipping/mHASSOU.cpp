#include "shipping/mHASSOU.h"

#include <cmath>
#include <limits>
#include <optional>

#include "core/Values.h"

namespace mHASSOU {
namespace {

struct Band {
    double upTo;  // grams, inclusive
    int price;
    const char* note;
};

// The first band whose bound the weight does not exceed; past the last one, "不可" with the limit's note.
Fee byWeight(const QString& weight, std::initializer_list<Band> bands, const char* overLimit) {
    const double grams = values::leadingNumber(weight);
    for (const Band& b : bands)
        if (grams <= b.upTo) return {values::priceText(b.price), QString::fromUtf8(b.note), QString()};
    return {kUnavailable, QString::fromUtf8(overLimit), QString()};
}

Fee withBlock(Fee fee, const QString& name) {
    if (!fee.price.isEmpty()) fee.html = fixedRateBlock(name, fee.price);
    return fee;
}

const QString kCrLf = QStringLiteral("\r\n");

// Grams as the table's kilograms: every "000" becomes "kg", taken from the
// right, so the class 10000 reads 10kg (from the left it would read 1kg0).
QString kilograms(QString grams) {
    const QString thousand = QStringLiteral("000");
    for (qsizetype at = grams.lastIndexOf(thousand); at >= 0; at = at >= 3 ? grams.lastIndexOf(thousand, at - 3) : -1)
        grams.replace(at, 3, QStringLiteral("kg"));
    return grams;
}

QString lines(const QStringList& list) { return list.join(kCrLf) + kCrLf; }

bool isHeader(const QStringList& row) { return !row.isEmpty() && row.first() == QStringLiteral("都道府県"); }

QString cell(const RateBlock& block, int row, int col) {
    return row >= 0 && row < block.size() && col >= 0 && col < block[row].size() ? block[row][col] : QString();
}

int columnsOf(const RateBlock& block) {
    int cols = 0;
    for (const QStringList& row : block) cols = qMax(cols, static_cast<int>(row.size()));
    return cols;
}

// The region column whose header names the destination, on any header line.
std::optional<int> destinationColumn(const RateBlock& block, const QString& destination) {
    for (const QStringList& row : block) {
        if (!isHeader(row)) continue;
        for (int c = 1; c < row.size(); ++c)
            if (row[c] == destination) return c;
    }
    return std::nullopt;
}

// The first size line, in file order, whose class is at least `size`.
std::optional<int> sizeRow(const RateBlock& block, int size) {
    for (int r = 0; r < block.size(); ++r) {
        if (block[r].isEmpty() || isHeader(block[r])) continue;
        QString cls = block[r].first();
        cls.remove(QStringLiteral("サイズ"));
        if (values::leadingNumber(cls) >= size) return r;
    }
    return std::nullopt;
}

QString largestClass(const RateBlock& block) {
    QString last;
    for (const QStringList& row : block)
        if (!row.isEmpty() && !isHeader(row)) last = row.first();
    return last;
}

ParcelFee lookUp(const QString& origin, const RateReader& rates, const QString& destination, int size, bool dropOff, const QString& title,
                 bool weightBased) {
    ParcelFee fee;
    const std::optional<QString> text = rates();
    if (!text) {
        fee.unreadable = true;
        fee.price = kNotYet;
        fee.note = QStringLiteral("料金表を読めません");
        return fee;
    }
    const RateBlock block = originBlock(*text, origin);
    fee.blockLoaded = true;
    fee.block = block;
    if (block.isEmpty()) {
        // Every rate file has a block for every origin; one without is damaged, not a service gap.
        fee.malformed = true;
        fee.price = kNotYet;
        fee.note = QStringLiteral("料金表に発送元がありません");
        return fee;
    }
    const std::optional<int> col = destinationColumn(block, destination);
    if (!col) {
        fee.price = kUnavailable;
        fee.note = QStringLiteral("発送先が料金表にありません");
        return fee;
    }
    const std::optional<int> row = sizeRow(block, size);
    if (!row) {
        fee.price = kUnavailable;
        QString largest = largestClass(block);
        if (weightBased) largest = kilograms(largest);
        fee.note = largest.isEmpty() ? QStringLiteral("料金表がありません")
                   : weightBased     ? QStringLiteral("重さ制限:%1以内").arg(largest)
                                     : QStringLiteral("サイズ制限:%1以内").arg(largest);
        return fee;
    }
    const QString price = cell(block, *row, *col);
    if (price.trimmed().isEmpty()) {
        // A line cut short: no price to charge, and none to guess.
        fee.malformed = true;
        fee.price = kNotYet;
        fee.note = QStringLiteral("料金表に料金がありません");
        return fee;
    }
    fee.price = (dropOff ? plainNumber(values::leadingNumber(price) - 100) : price) + QStringLiteral(" 円");
    fee.note = cell(block, *row, 0);
    if (weightBased) fee.note = kilograms(fee.note);
    fee.html = parcelTable(block, *row, title, weightBased);
    return fee;
}

}  // namespace

QString fixedRateBlock(const QString& name, const QString& price) {
    QString html = QStringLiteral(
        "<CENTER><TABLE border=0><TBODY><TR><TD align=center>[0]</TD></TR><TR><TD align=right>[10]</TD></TR></TBODY>"
        "</TABLE></CENTER>");
    return html.replace(QStringLiteral("[0]"), name).replace(QStringLiteral("[10]"), price);
}

Fee Souryou_MiniLetter(const QString& weight) {
    return withBlock(byWeight(weight, {{25, 60, "0～25g"}}, "重さ制限:25g以内"), QStringLiteral("ミニレター"));
}

Fee Souryou_Teikei(const QString& weight) {
    return withBlock(byWeight(weight, {{25, 80, "0～25g"}, {50, 90, "26～50g"}}, "重さ制限:50g以内"), QStringLiteral("定形"));
}

Fee Souryou_Teikeigai(const QString& weight, double longSide, double sideSum) {
    if (longSide > 60) return {kUnavailable, QStringLiteral("長辺: 60cm以内です"), QString()};
    if (sideSum > 90) return {kUnavailable, QStringLiteral("3辺計: 90cm以内です"), QString()};
    return withBlock(byWeight(weight,
                              {{50, 120, "0g～50g"},
                               {100, 140, "51g～100g"},
                               {150, 200, "101g～150g"},
                               {250, 240, "151g～250g"},
                               {500, 390, "251g～500g"},
                               {1000, 580, "501g～1kg"},
                               {2000, 850, "1.1kg～2kg"},
                               {4000, 1150, "2.1kg～4kg"}},
                              "重さ制限:4kg以内"),
                     QStringLiteral("定形外"));
}

Fee Souryou_Sasshi(const QString& weight) {
    return withBlock(byWeight(weight,
                              {{150, 180, "0g～150g"},
                               {250, 210, "151g～250g"},
                               {500, 290, "251g～500g"},
                               {1000, 340, "501g～1kg"},
                               {2000, 450, "1.1kg～2kg"},
                               {3000, 590, "2.1kg～3kg"}},
                              "重さ制限:3kg以内"),
                     QStringLiteral("冊子小包"));
}

Fee Souryou_Expack(const QString& weight) {
    return withBlock(byWeight(weight, {{3000, 500, "0～3kg"}}, "重さ制限:3kg以内"), QStringLiteral("エクスパック500"));
}

Fee Souryou_MailBin(const QString& weight, double longSide, double thickness, double sideSum) {
    if (longSide > 40) return {kUnavailable, QStringLiteral("長辺: 40cm以内です"), QString()};
    if (thickness > 2) return {kUnavailable, QStringLiteral("厚さ: 2cm以内です"), QString()};
    if (sideSum > 70) return {kUnavailable, QStringLiteral("3辺計: 70cm以内です"), QString()};
    // The courier's mail service puts no block into the description.
    return byWeight(
        weight,
        {{50, 80, "0g～50g"}, {100, 110, "51g～100g"}, {300, 160, "101g～300g"}, {600, 210, "301g～600g"}, {1000, 310, "601g～1kg"}},
        "大きさの制限は1kg以内です");
}

RateBlock originBlock(const QString& rateFileText, const QString& origin) {
    RateBlock block;
    const QString mark = origin + QStringLiteral("発着");
    const QString lead = mark + QLatin1Char('\t');
    QString text = rateFileText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (QString line : text.split(QLatin1Char('\n'))) {
        line.replace(QLatin1Char(','), QLatin1Char('\t'));
        if (!line.contains(mark)) continue;
        line.remove(lead);
        block << line.split(QLatin1Char('\t'));
    }
    return block;
}

bool yahooParcelUnavailable(const QString& origin) {
    return origin == QStringLiteral("北海道") || origin == QStringLiteral("青森県") || origin == QStringLiteral("秋田県");
}

ParcelFee Souryou_Parcel(const QString& origin, const QString& destination, const RateReader& rates, int size, bool dropOff,
                         const QString& title) {
    ParcelFee fee;
    if (origin.isEmpty() || destination.isEmpty()) {
        fee.price = kNotYet;
        fee.note = QStringLiteral("発送元/発送先入力");
        return fee;
    }
    if (size == 0) {
        fee.price = kNotYet;
        fee.note = QStringLiteral("3辺計入力");
        return fee;
    }
    return lookUp(origin, rates, destination, size, dropOff, title, false);
}

ParcelFee Souryou_YahooParcel(const QString& origin, const QString& destination, const RateReader& rates, int weight) {
    ParcelFee fee;
    if (yahooParcelUnavailable(origin)) {
        fee.price = kUnavailable;
        fee.note = QStringLiteral("取扱店舗無");
        return fee;
    }
    if (origin.isEmpty() || destination.isEmpty()) {
        fee.price = kNotYet;
        fee.note = QStringLiteral("発送元/発送先入力");
        return fee;
    }
    return lookUp(origin, rates, destination, weight, false, QStringLiteral("Yahoo!ゆうパック"), true);
}

QString parcelTable(const RateBlock& block, int sizeRow, const QString& title, bool weightBased) {
    QStringList head{QStringLiteral("<CENTER>")};
    if (weightBased) {
        head << QStringLiteral("<TABLE border=1 cellspacing=0 cellpadding=3  width=400><TR>") << QStringLiteral("      <TD></TD>")
             << QStringLiteral(
                    "      <TD colspan=13 align=center height=20><FONT color=#0000ff size=4><B>Yahoo!ゆうパック "
                    "</B></FONT></TD></TR>");
    } else {
        head << QStringLiteral("<TABLE border=1 cellspacing=0 cellpadding=3 width=400><TR>") << QStringLiteral("      <TD></TD>")
             << QStringLiteral(
                    "      <TD colspan=13 align=center height=20><FONT color=#0000ff size=4><B>[TITLE] "
                    "</B></FONT></TD></TR>");
    }
    // Columns 5 to 8 carry a blank before the tag's closing bracket: the table's fixed markup, which
    // sellers' pasted tables and their templates' styles rely on.
    auto column = [](const QString& marker, int n) -> QString {
        const QString open = n >= 5 && n <= 8 ? QStringLiteral("      <TD >") : QStringLiteral("      <TD>");
        return open + marker.arg(n) + QStringLiteral("</TD>");
    };
    QStringList regions{QStringLiteral("<TR><TD>サイズ</TD>"),
                        QStringLiteral("      <TD width=25% align=center valign=middle>[KEN1]</TD>")};
    QStringList prices{QStringLiteral("      <TD>[SIZE]</TD>"),
                       QStringLiteral("      <TD width=25%  align=center valign=middle>[NDN1]</TD>")};
    for (int n = 2; n <= 14; ++n) {
        regions << column(QStringLiteral("[KEN%1]"), n);
        prices << column(QStringLiteral("[NDN%1]"), n);
    }
    regions << QStringLiteral("    </TR><TR>");
    prices << QStringLiteral("    </TR>") << QStringLiteral("</TABLE>") << QStringLiteral("</CENTER>");
    QString html = lines(head) + lines(regions) + lines(prices);

    for (int c = 1; c < columnsOf(block) && c <= 14; ++c) {
        QString names;
        for (const QStringList& row : block)
            if (isHeader(row) && c < row.size() && !row[c].isEmpty()) names += row[c] + kCrLf;
        html.replace(QStringLiteral("[KEN%1]").arg(c), names);
        const QString price = cell(block, sizeRow, c);
        html.replace(QStringLiteral("[NDN%1]").arg(c), price.isEmpty() ? QString() : price + QStringLiteral(" 円"));
    }
    html.replace(QStringLiteral("[TITLE]"), title);
    html.replace(QStringLiteral("[SIZE]"), kilograms(cell(block, sizeRow, 0)));
    return html + QStringLiteral("<BR>");
}

int roundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    const double r = std::nearbyint(value);  // the default rounding mode: to nearest, ties to even
    // A size or weight past any class stays past it (never wraps round to the cheapest row).
    if (r >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (r <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

QString plainNumber(double value) { return values::plainDecimal(value); }

namespace {
struct ParcelService {
    int index;
    const char* file;
    const char* title;
    bool dropOff;
};
const ParcelService kParcels[] = {
    {6, "YUPACK.csv", "ゆうパック", true},
    {8, "KURONEKO.csv", "クロネコ宅急便", true},
    {7, "YahooYUPACK.csv", "Yahoo!ゆうパック", false},
};
const ParcelService* parcelService(int index) {
    for (const ParcelService& s : kParcels)
        if (s.index == index) return &s;
    return nullptr;
}
}  // namespace

const QStringList& serviceNames() {
    static const QStringList names{QStringLiteral("ミニレター"), QStringLiteral("定形郵便"),         QStringLiteral("定形外郵便"),
                                   QStringLiteral("冊子小包"),   QStringLiteral("EXPACK500"),        QStringLiteral("クロネコメール便"),
                                   QStringLiteral("ゆうパック"), QStringLiteral("Yahoo!ゆうパック"), QStringLiteral("ヤマト宅急便")};
    return names;
}

QString rateFileOf(int service) {
    const ParcelService* p = parcelService(service);
    return p ? QString::fromLatin1(p->file) : QString();
}

bool hasDropOff(int service) {
    const ParcelService* p = parcelService(service);
    return p && p->dropOff;
}

ParcelFee serviceFee(int service, const Parcel& parcel, const RateReader& rates) {
    const double sideSum = parcel.sides[0] + parcel.sides[1] + parcel.sides[2];
    const QString weight = plainNumber(parcel.grams);
    ParcelFee fee;
    switch (service) {
        case 0: static_cast<Fee&>(fee) = Souryou_MiniLetter(weight); return fee;
        case 1: static_cast<Fee&>(fee) = Souryou_Teikei(weight); return fee;
        case 2: static_cast<Fee&>(fee) = Souryou_Teikeigai(weight, parcel.sides[0], sideSum); return fee;
        case 3: static_cast<Fee&>(fee) = Souryou_Sasshi(weight); return fee;
        case 4: static_cast<Fee&>(fee) = Souryou_Expack(weight); return fee;
        case 5: static_cast<Fee&>(fee) = Souryou_MailBin(weight, parcel.sides[0], parcel.sides[2], sideSum); return fee;
        default: break;
    }
    const ParcelService* p = parcelService(service);
    if (!p) return fee;
    return p->dropOff ? Souryou_Parcel(parcel.origin, parcel.destination, rates, roundHalfEven(sideSum), parcel.dropOff,
                                       QString::fromUtf8(p->title))
                      : Souryou_YahooParcel(parcel.origin, parcel.destination, rates, roundHalfEven(parcel.grams));
}

}  // namespace mHASSOU
