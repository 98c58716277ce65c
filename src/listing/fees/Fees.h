#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// What the chosen paid options will cost, as the seller is told before the last click.
namespace listing {

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
    bool eyeCatch = false;   // an icon other than none in 目立ちアイコン
    QString featuredPerDay;  // the text of 注目のｵｰｸｼｮﾝ's 1日あたり (empty: not used)
    int days = 0;            // the duration chosen; 0 when none is
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
    bool durationMissing = false;         // 注目のオークション chosen but no duration: not in the total
};
Cost cost(const PaidChoice& choice, const FeeTable& fees);

// "1,086.4" -> "1,086.40円": thousands separated, sen shown when there are any.
QString yenText(const QString& plainDecimal);

// The chosen options' fees as the pane and the summary before 確認 show them: a row per option.
QString costHtml(const Cost& cost);

// The paid options chosen, and what they cost by the fee file.
struct FeeEstimate {
    PaidChoice choice;
    bool known = false;  // the fee file was read; `cost` is good
    Cost cost;
};

}  // namespace listing
