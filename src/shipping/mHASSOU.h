#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The shipping fee rules: six services that cost the same everywhere, and
// the parcel services whose fee comes from a rate table per prefecture of
// origin. Each rule takes its inputs and gives the price text and note for
// the result grid and the HTML it adds to the shipping HTML box.
namespace mHASSOU {

// One rule's answer. `html` is what the rule appends to the HTML box (empty
// when it appends nothing).
struct Fee {
    QString price;  // "120 円", "不可" or "----"
    QString note;
    QString html;
};

// The fixed-rate services; the weight is grams as text, read leniently.
Fee Souryou_MiniLetter(const QString& weight);
Fee Souryou_Teikei(const QString& weight);
Fee Souryou_Teikeigai(const QString& weight, double longSide, double sideSum);
Fee Souryou_Sasshi(const QString& weight);
Fee Souryou_Expack(const QString& weight);
Fee Souryou_MailBin(const QString& weight, double longSide, double thickness, double sideSum);

// The fixed-rate services' small HTML block.
QString fixedRateBlock(const QString& name, const QString& price);

// The rows of one origin's block of a rate file, as the rate grid shows
// them: header rows ("都道府県", then a prefecture or nothing per region
// column) and size rows (size class, then a price per region column).
using RateBlock = QList<QStringList>;

// The block of `origin` in the text of a rate file (lines of comma-separated
// fields; the lines of an origin begin with its name and "発着").
RateBlock originBlock(const QString& rateFileText, const QString& origin);

struct ParcelFee : Fee {
    bool blockLoaded = false;  // the rate grid is to show `block`
    RateBlock block;
    bool unreadable = false;  // the rate file was needed and could not be read
    bool malformed = false;   // it was read, but has no block for the origin or no price in its cell
};

// The text of a rate file, read only when a fee needs it; nothing when it cannot be read.
using RateReader = std::function<std::optional<QString>()>;

// The parcel services priced by the sum of the three sides (whole cm).
ParcelFee Souryou_Parcel(const QString& origin, const QString& destination, const RateReader& rates, int size, bool dropOff,
                         const QString& title);
// The parcel service priced by weight (whole grams); some origins have no counter for it.
ParcelFee Souryou_YahooParcel(const QString& origin, const QString& destination, const RateReader& rates, int weight);

// Origins whose parcels the weight-based service does not take.
bool yahooParcelUnavailable(const QString& origin);

// A rate table as the HTML box receives it, for the given size row of the block.
QString parcelTable(const RateBlock& block, int sizeRow, const QString& title, bool weightBased);

// Halves go to the even neighbour (60.5 -> 60, 61.5 -> 62).
int roundHalfEven(double value);

// A number as the program writes it: no exponent, no trailing zeros (60, 60.5).
QString plainNumber(double value);

// One parcel priced by one service, with the pane's rules: the service's index in
// serviceNames(), the sides in cm (long, short, thickness), the weight in grams.
struct Parcel {
    QString origin, destination;
    double sides[3] = {0, 0, 0};
    double grams = 0;
    bool dropOff = false;  // the drop-off discount, for the services that give one
};
// The services by index: six fixed-rate ones, then ゆうパック, Yahoo!ゆうパック, ヤマト宅急便.
const QStringList& serviceNames();
// The rate file a service's fee comes from ("YUPACK.csv"); empty for a fixed-rate one.
QString rateFileOf(int service);
// Whether a service gives the drop-off discount.
bool hasDropOff(int service);
// The fee; `rates` reads the service's rate file when it needs one.
ParcelFee serviceFee(int service, const Parcel& parcel, const RateReader& rates);

inline const QString kUnavailable = QStringLiteral("不可");
inline const QString kNotYet = QStringLiteral("----");

}  // namespace mHASSOU
