#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// What the seller should know before the last click of a listing: what the
// chosen paid options will cost, and which of the pane's fields did not reach
// the site's form (the site changed it, or the page is not the form).
namespace siteform {

// The caption a field has on the pane ("最低落札価格"), by the control's name;
// an option group by its array name.
QString caption(const QString& control);

// How one mirror's write went.
enum class Reach { Reached, Missing, NoAnswer };

// A form page's fields, after every mirror was pushed into it.
struct FormCheck {
    bool formPage = false;     // at least one field reached: the page is the listing form
    QStringList notReached;    // controls, in the order they were pushed, each once
    QList<Reach> why;          // Missing or NoAnswer, one per entry of notReached
};
// `pushed` is each handler's outcome in the order they ran (a control may come twice).
FormCheck checkForm(const QList<QPair<QString, Reach>>& pushed);
// "最低落札価格：ページに項目がありません", one line per field that did not reach the page.
QStringList formCheckLines(const FormCheck& check);

// What the listing itself lacks: a title longer than the site takes (30 bytes
// of CP932, as the pane's counter shows), a start price left empty or 0 (a
// memory file keeps an empty number as 0, so a listing opened from a file or
// queued arrives with 0 where the seller typed nothing).
struct ListingWarnings {
    int titleBytes = 0;
    bool titleTooLong = false;
    bool noStartPrice = false;
    bool zeroStartPrice = false;
    bool any() const { return titleTooLong || noStartPrice || zeroStartPrice; }
};
constexpr int kTitleLimit = 30;
ListingWarnings listingWarnings(const QString& title, const QString& startPrice);
QStringList warningLines(const ListingWarnings& warnings);

// The paid options' fees, in yen with at most two decimals, as the fee file
// in MAST/ gives them (the site's fees change; the seller edits the file).
inline const QString kFeeFileName = QStringLiteral("有料オプション.csv");
inline const QString kFeeHeader = QStringLiteral("項目,料金（円）");
// The options with a fixed fee, in the pane's order.
const QStringList& feeOptions();  // 太字テキスト, 背景色, 送料無料アイコン, 贈答品アイコン, 目立ちアイコン

struct FeeTable {
    QMap<QString, QString> yen;  // by option, as a plain decimal ("10.8")
    int badLine = 0;             // the first line that is not "option,fee" (from 1); 0 when all are good
    QString missingOption;       // an option the file has no fee for
    bool ok() const { return badLine == 0 && missingOption.isEmpty(); }
};
// The file's text: the header line, then "option,fee" lines; blank lines and
// lines starting with "#" are skipped. Every option of feeOptions() must be there, once.
FeeTable parseFees(const QString& text);

// The paid options chosen on the pane.
struct PaidChoice {
    bool bold = false, background = false, freeShipping = false, gift = false;
    bool eyeCatch = false;        // an icon other than none in 目立ちアイコン
    QString featuredPerDay;       // the text of 注目のｵｰｸｼｮﾝ's 1日あたり (empty: not used)
    int days = 0;                 // the duration chosen; 0 when none is
    bool any() const;
};

struct CostLine {
    QString caption;  // "太字テキスト", "注目のオークション"
    QString detail;   // "50円 × 5日"; empty for a fixed fee
    QString yen;      // plain decimal
};
struct Cost {
    QList<CostLine> lines;
    QString total = QStringLiteral("0");  // plain decimal
    bool durationMissing = false;  // 注目のオークション chosen but no duration: not in the total
};
Cost cost(const PaidChoice& choice, const FeeTable& fees);

// "1,086.4" -> "1,086.40円": thousands separated, sen shown when there are any.
QString yenText(const QString& plainDecimal);

}  // namespace siteform
