#include "listing/csv/ListingCsv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include "core/Cp932.h"
#include "core/mduInterFace.h"
#include "listing/form/MirrorTable.h"
#include "listing/preflight/Preflight.h"
#include "settings/IniFile.h"
#include "site/Addresses.h"

namespace listingcsv {

namespace {

enum class Kind {
    Text,
    Lines,
    StartPrice,
    Price,
    Count,
    Duration,
    EndHour,
    Region,
    ShippingBy,
    ShipWhen,
    Payments,
    Category,
    CategoryId,
    Picture,
    Design,
    Base
};

struct ColumnRule {
    Column column;
    Kind kind;
    QString control;
};

const QList<ColumnRule>& columnRules() {
    static const QList<ColumnRule> list = [] {
        QList<ColumnRule> l{
            {{QStringLiteral("タイトル"), QStringLiteral("30バイト（全角15文字）まで")}, Kind::Text, QStringLiteral("txtTitle")},
            {{QStringLiteral("説明"), QStringLiteral("商品説明（HTML可、セル内の改行可）")}, Kind::Lines, QStringLiteral("txtDescription")},
            {{QStringLiteral("開始価格"), QStringLiteral("円、1以上の数字")}, Kind::StartPrice, QStringLiteral("imNumLite2")},
            {{QStringLiteral("即決価格"), QStringLiteral("円、空欄で無し")}, Kind::Price, QStringLiteral("imNumLite4")},
            {{QStringLiteral("最低落札価格"), QStringLiteral("円、空欄で無し")}, Kind::Price, QStringLiteral("imNumLite5")},
            {{QStringLiteral("希望落札価格"), QStringLiteral("円、空欄で無し")}, Kind::Price, QStringLiteral("imNumLite6")},
            {{QStringLiteral("数量"), QStringLiteral("1以上の数字")}, Kind::Count, QStringLiteral("imNumLite1")},
            {{QStringLiteral("開催期間"), QStringLiteral("2日〜7日（「3日」「3」）")}, Kind::Duration, QStringLiteral("Combo1")},
            {{QStringLiteral("終了時間"), QStringLiteral("終了する時（0〜23、「21時」）")}, Kind::EndHour, QStringLiteral("Combo3")},
            {{QStringLiteral("カテゴリ"), QStringLiteral("サイトの表示のとおり（「本、雑誌 > 文学、小説」）")},
             Kind::Category,
             QStringLiteral("txtCategory")},
            {{QStringLiteral("カテゴリID"), QStringLiteral("サイトのカテゴリ番号（使ったことのないカテゴリに必要）")},
             Kind::CategoryId,
             QStringLiteral("txtCategoryAddress")},
        };
        for (int n = 0; n < 3; ++n)
            l << ColumnRule{{QStringLiteral("画像%1").arg(n + 1), QStringLiteral("画像ファイル（CSVのフォルダからの相対パスも可）")},
                            Kind::Picture,
                            QStringLiteral("txtPicture_%1").arg(n)};
        l << ColumnRule{{QStringLiteral("発送元"), QStringLiteral("都道府県（「東京都」）か「海外」")},
                        Kind::Region,
                        QStringLiteral("Combo5")}
          << ColumnRule{{QStringLiteral("市区町村"), QStringLiteral("発送元の市区町村")}, Kind::Text, QStringLiteral("Text1")}
          << ColumnRule{{QStringLiteral("送料負担"), QStringLiteral("「落札者」か「出品者」")},
                        Kind::ShippingBy,
                        QStringLiteral("optHANBAI")}
          << ColumnRule{{QStringLiteral("発送時期"), QStringLiteral("「支払い後」か「終了後」")},
                        Kind::ShipWhen,
                        QStringLiteral("optHANBAI2")}
          << ColumnRule{{QStringLiteral("支払い方法"), QStringLiteral("「銀行振込、Yahoo!かんたん決済」のように「、」で区切って")},
                        Kind::Payments,
                        QString()}
          << ColumnRule{{QStringLiteral("デザイン"),
                         QStringLiteral("デザインテンプレートの名前（指定すると説明を商品名と項目から作ります）")},
                        Kind::Design,
                        QStringLiteral("cmbHTML")}
          << ColumnRule{{QStringLiteral("商品名"), QStringLiteral("デザインに入れる商品名")}, Kind::Text, QStringLiteral("txtSYOUHIN")};
        for (int n = 0; n < 8; ++n)
            l << ColumnRule{{QStringLiteral("項目名%1").arg(n + 1), QStringLiteral("デザインの項目の名前")},
                            Kind::Text,
                            QStringLiteral("txtITEM_%1").arg(n)}
              << ColumnRule{{QStringLiteral("項目説明%1").arg(n + 1), QStringLiteral("デザインの項目の内容（セル内の改行可）")},
                            Kind::Lines,
                            QStringLiteral("txtSETUMEI_%1").arg(n)};
        l << ColumnRule{
            {kBaseColumn, QStringLiteral("書き出した元の記憶ファイル（無い列は今の画面の内容から作ります）")}, Kind::Base, QString()};
        return l;
    }();
    return list;
}

// Full-width digits and commas as typed in Japanese; "円" after the number.
std::optional<QString> digits(const QString& cell) {
    QString v = cell.normalized(QString::NormalizationForm_KC).trimmed();
    v.remove(QLatin1Char(','));
    if (v.endsWith(QStringLiteral("円"))) v.chop(1);
    static const QRegularExpression number(QStringLiteral("^[0-9]+$"));
    if (!number.match(v).hasMatch()) return std::nullopt;
    while (v.size() > 1 && v.startsWith(QLatin1Char('0'))) v.remove(0, 1);
    return v;
}

QString crlf(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

QString withoutSpaces(QString text) { return text.normalized(QString::NormalizationForm_KC).remove(QLatin1Char(' ')); }

// The entry of a list written without its blanks ("3日" for "3 日"), or as its place ("3" for "3 日").
int durationIndex(const QString& cell) {
    QString v = withoutSpaces(cell);
    if (v.endsWith(QStringLiteral("日間"))) v.chop(1);
    if (!v.endsWith(QStringLiteral("日"))) v += QStringLiteral("日");
    for (int i = 0; i < listing::durations().size(); ++i)
        if (withoutSpaces(listing::durations().at(i)) == v) return i;
    return -1;
}

int endHourIndex(const QString& cell) {
    QString v = withoutSpaces(cell);
    const int at = listing::endHours().indexOf(cell.trimmed());
    if (at >= 0) return at;
    if (v.endsWith(QStringLiteral("時"))) v.chop(1);
    bool ok = false;
    const int hour = v.toInt(&ok);
    return ok && hour >= 0 && hour < 24 ? hour : -1;
}

int regionIndex(const QString& cell) {
    const QString v = cell.trimmed();
    const QStringList& regions = listing::sellerRegions();
    if (regions.contains(v)) return regions.indexOf(v);
    // "東京" for 東京都, "大阪" for 大阪府; "北海" is no prefecture.
    for (const QString& suffix : {QStringLiteral("都"), QStringLiteral("道"), QStringLiteral("府"), QStringLiteral("県")})
        if (regions.contains(v + suffix)) return regions.indexOf(v + suffix);
    return -1;
}

const QString kBuyer = QStringLiteral("落札者");
const QString kSeller = QStringLiteral("出品者");
const QString kAfterPayment = QStringLiteral("支払い後");
const QString kAfterEnd = QStringLiteral("終了後");

// The payment checks by the caption the pane shows or the name the site gives them.
QString paymentControl(const QString& name) {
    const QString v = withoutSpaces(name);
    for (const listing::CheckBox& box : listing::checkBoxes()) {
        const listing::Mirror* mirror = listing::findMirror(box.name);
        const int n = box.name.mid(5).toInt();
        if (n < 16 || n > 27) continue;
        if (withoutSpaces(box.caption) == v || (mirror && withoutSpaces(mirror->meaning) == v)) return box.name;
    }
    return QString();
}

QStringList paymentControls() {
    QStringList names;
    for (int n = 16; n <= 27; ++n) names << QStringLiteral("Check%1").arg(n);
    return names;
}

QString absolute(const QString& folder, const QString& path) {
    return QDir::isAbsolutePath(path) ? QDir::cleanPath(path) : QDir::cleanPath(QDir(folder).filePath(path));
}

void readCell(const ColumnRule& rule, const QString& cell, const Context& context, Row& row) {
    auto problem = [&](const QString& text) { row.problems << Problem{rule.column.name, text}; };
    const QString v = cell.trimmed();
    QString unmappable;
    // A path is the file system's, whatever its characters; everything else goes into the file and to the site.
    if (rule.kind != Kind::Picture && rule.kind != Kind::Base) cp932::encode(cell, &unmappable);
    // A character the memory file keeps as a reference goes out in the export as itself: the same
    // value coming back into the same file is what the file holds already.
    const bool asTheFileHasIt = !row.base.isEmpty() && row.baseControls.value(rule.control) == cell;
    if (!unmappable.isEmpty() && !asTheFileHasIt) {
        problem(QStringLiteral("Shift_JIS（CP932）で書けない文字があります: %1").arg(unmappable));
        return;
    }
    switch (rule.kind) {
        // Text as typed, blanks and all: a title exported and imported again is the same title.
        case Kind::Text: row.controls.insert(rule.control, cell); break;
        case Kind::Lines: row.controls.insert(rule.control, crlf(cell)); break;
        case Kind::StartPrice:
        case Kind::Price:
        case Kind::Count: {
            if (v.isEmpty() && rule.kind == Kind::Price) {
                row.controls.insert(rule.control, QString());
                break;
            }
            const std::optional<QString> n = digits(v);
            if (!n)
                problem(v.isEmpty() ? QStringLiteral("空欄です。") : QStringLiteral("「%1」は数字ではありません。").arg(v));
            else if (*n == QLatin1String("0") && rule.kind != Kind::Price)
                problem(QStringLiteral("0 です。1以上にして下さい。"));
            else
                row.controls.insert(rule.control, *n);
            break;
        }
        case Kind::Duration:
        case Kind::EndHour:
        case Kind::Region: {
            if (v.isEmpty()) break;  // as the memory file or the window has it
            const int at = rule.kind == Kind::Duration ? durationIndex(v) : rule.kind == Kind::EndHour ? endHourIndex(v) : regionIndex(v);
            if (at < 0)
                problem(rule.kind == Kind::Duration
                            ? QStringLiteral("「%1」はサイトにない開催期間です（%2〜%3）。")
                                  .arg(v, withoutSpaces(listing::durations().first()), withoutSpaces(listing::durations().last()))
                        : rule.kind == Kind::EndHour ? QStringLiteral("「%1」は終了時間になりません（0〜23時）。").arg(v)
                                                     : QStringLiteral("「%1」は都道府県ではありません。").arg(v));
            else
                row.controls.insert(rule.control, QString::number(at));
            break;
        }
        case Kind::ShippingBy:
        case Kind::ShipWhen: {
            if (v.isEmpty()) break;
            const QString first = rule.kind == Kind::ShippingBy ? kBuyer : kAfterPayment;
            const QString second = rule.kind == Kind::ShippingBy ? kSeller : kAfterEnd;
            if (v != first && v != second) {
                problem(QStringLiteral("「%1」か「%2」にして下さい。").arg(first, second));
                break;
            }
            row.controls.insert(rule.control + QStringLiteral("_0"), v == first ? QStringLiteral("True") : QStringLiteral("False"));
            row.controls.insert(rule.control + QStringLiteral("_1"), v == second ? QStringLiteral("True") : QStringLiteral("False"));
            break;
        }
        case Kind::Payments: {
            if (v.isEmpty()) break;
            QStringList ticked;
            for (const QString& name : v.split(QRegularExpression(QStringLiteral("[、,，/／\\r\\n]")), Qt::SkipEmptyParts)) {
                const QString control = paymentControl(name);
                if (control.isEmpty())
                    problem(QStringLiteral("「%1」は支払い方法にありません。").arg(name.trimmed()));
                else
                    ticked << control;
            }
            for (const QString& control : paymentControls())
                row.controls.insert(control, ticked.contains(control) ? QStringLiteral("1") : QStringLiteral("0"));
            break;
        }
        case Kind::Category: row.controls.insert(rule.control, cell); break;
        case Kind::CategoryId: {
            if (v.isEmpty()) break;
            const std::optional<QString> id = digits(v);
            if (!id)
                problem(QStringLiteral("「%1」はカテゴリの番号ではありません。").arg(v));
            else
                row.controls.insert(rule.control, site::categoryPath(*id));
            break;
        }
        case Kind::Picture: {
            if (v.isEmpty()) {
                row.controls.insert(rule.control, QString());
                break;
            }
            const QString path = absolute(context.csvFolder, v);
            const QString why = context.pictureProblem ? context.pictureProblem(path) : QString();
            if (!why.isEmpty())
                problem(why);
            else
                row.controls.insert(rule.control, path);
            break;
        }
        case Kind::Design: {
            if (v.isEmpty()) break;
            row.design = context.designs.indexOf(v);
            if (row.design < 0) problem(QStringLiteral("デザイン「%1」がありません（Template/HTML）。").arg(v));
            break;
        }
        case Kind::Base: {
            if (v.isEmpty()) break;
            row.base = absolute(context.csvFolder, v);
            const std::optional<QMap<QString, QString>> held = context.readMemory ? context.readMemory(row.base) : std::nullopt;
            if (held)
                row.baseControls = *held;
            else
                problem(QStringLiteral("記憶ファイル「%1」が読めません。").arg(QFileInfo(row.base).fileName()));
            break;
        }
    }
}

// What the row lacks as a whole, once its cells are read.
void checkRow(Row& row, const QMap<QString, int>& at, const Context& context) {
    auto problem = [&](const QString& column, const QString& text) { row.problems << Problem{column, text}; };
    const bool own = !row.base.isEmpty();
    const QString title = row.title();
    if (at.contains(QStringLiteral("タイトル")) || !own) {
        const int bytes = mduInterFace::Byte_Len(title);
        if (title.isEmpty())
            problem(QStringLiteral("タイトル"), QStringLiteral("空欄です。"));
        else if (bytes > listing::kTitleLimit)
            problem(QStringLiteral("タイトル"),
                    QStringLiteral("%1 バイトあります（%2 バイトまで）。").arg(bytes).arg(listing::kTitleLimit));
    }
    if (!own && !at.contains(QStringLiteral("開始価格"))) problem(QStringLiteral("開始価格"), QStringLiteral("列がありません。"));
    // The category's address: the number given, or the address of a category used before.
    const QString category = row.controls.value(QStringLiteral("txtCategory"));
    bool badId = false;
    for (const Problem& p : row.problems) badId = badId || p.column == QStringLiteral("カテゴリID");
    // A name changed in the sheet beside the number it was exported with would list the item
    // where the number says while the review shows the new name.
    const QString given = row.controls.value(QStringLiteral("txtCategoryAddress"));
    if (!badId && !given.isEmpty() && context.categories.contains(category) &&
        site::categoryIdOf(context.categories.value(category)) != site::categoryIdOf(given)) {
        problem(QStringLiteral("カテゴリID"),
                QStringLiteral("カテゴリ「%1」の番号は %2 ですが、%3 と書かれています。どちらかを直して下さい。")
                    .arg(category, site::categoryIdOf(context.categories.value(category)), site::categoryIdOf(given)));
        badId = true;
    }
    if (row.design >= 0 && row.controls.value(QStringLiteral("txtSYOUHIN")).trimmed().isEmpty() && !own)
        problem(QStringLiteral("商品名"), QStringLiteral("デザインを使うときは商品名を入れて下さい。"));
    if (!badId && !row.controls.contains(QStringLiteral("txtCategoryAddress"))) {
        if (context.categories.contains(category))
            row.controls.insert(QStringLiteral("txtCategoryAddress"), context.categories.value(category));
        else if (!own || at.contains(QStringLiteral("カテゴリ")))
            problem(QStringLiteral("カテゴリ"),
                    category.isEmpty() ? QStringLiteral("カテゴリもカテゴリIDも空欄です。")
                                       : QStringLiteral("「%1」は使ったことのないカテゴリです。カテゴリIDを入れて下さい。").arg(category));
    }
}

}  // namespace

const QList<Column>& columns() {
    static const QList<Column> list = [] {
        QList<Column> l;
        for (const ColumnRule& s : columnRules()) l << s.column;
        return l;
    }();
    return list;
}

QStringList header() {
    QStringList names;
    for (const ColumnRule& s : columnRules()) names << s.column.name;
    return names;
}

const QMap<QString, QString>& itemDefaults() {
    static const QMap<QString, QString> map = [] {
        QMap<QString, QString> m;
        for (const ColumnRule& s : columnRules())
            if (s.kind == Kind::Text || s.kind == Kind::Lines || s.kind == Kind::StartPrice || s.kind == Kind::Price ||
                s.kind == Kind::Category || s.kind == Kind::CategoryId || s.kind == Kind::Picture)
                m.insert(s.control, QString());
        m.remove(QStringLiteral("Text1"));  // where the seller ships from is the seller's, not the item's
        // The paid options (each costs the seller) and the parcel are the item's too.
        m.insert(QStringLiteral("imNumLite3"), QString());
        for (int n = 35; n <= 38; ++n) m.insert(QStringLiteral("Check%1").arg(n), QStringLiteral("0"));
        m.insert(QStringLiteral("Combo2"), QStringLiteral("0"));
        for (int n = 0; n < 3; ++n) m.insert(QStringLiteral("imNumber1_%1").arg(n), QString());
        m.insert(QStringLiteral("Label46"), QString());
        m.insert(QStringLiteral("Combo8"), QStringLiteral("-1"));
        return m;
    }();
    return map;
}

int Plan::goodRows() const {
    int n = 0;
    for (const Row& r : rows) n += r.good() ? 1 : 0;
    return n;
}

Plan plan(const csv::Table& table, const Context& context) {
    Plan result;
    if (!table.problem.isEmpty()) {
        result.problem = table.problem;
        return result;
    }
    if (table.records.isEmpty()) {
        result.problem = QStringLiteral("CSVファイルに行がありません。");
        return result;
    }
    QMap<QString, int> at;  // column name → place in a record
    const QStringList& head = table.records.first();
    for (int i = 0; i < head.size(); ++i) {
        QString name = head.at(i).trimmed();
        if (i == 0 && name.startsWith(QChar(0xFEFF))) name.remove(0, 1);
        bool known = false;
        for (const ColumnRule& s : columnRules()) known = known || s.column.name == name;
        if (known && !at.contains(name))
            at.insert(name, i);
        else if (!name.isEmpty())
            result.unknownColumns << name;
    }
    if (at.isEmpty()) {
        result.problem = QStringLiteral("1行目に列の名前（タイトル、開始価格…）がありません。出品CSVの見本の1行目をお使い下さい。");
        return result;
    }
    for (int r = 1; r < table.records.size(); ++r) {
        const QStringList& record = table.records.at(r);
        // A row of nothing but separators (a spreadsheet's formatted empty rows) is no listing.
        bool blank = true;
        for (const QString& cell : record) blank = blank && cell.trimmed().isEmpty();
        if (blank) continue;
        Row row;
        row.line = r + 1;  // the spreadsheet's row number: a cell's line breaks do not count
        // The memory file first: what the row does not say is that file's.
        QList<const ColumnRule*> order;
        for (const ColumnRule& s : columnRules())
            if (s.kind == Kind::Base)
                order.prepend(&s);
            else
                order << &s;
        for (const ColumnRule* s : order)
            if (at.contains(s->column.name)) readCell(*s, record.value(at.value(s->column.name)), context, row);
        checkRow(row, at, context);
        result.rows << row;
    }
    return result;
}

QStringList exportRow(const QMap<QString, QString>& controls, const QString& memoryFile, const QStringList& designs) {
    QStringList cells;
    auto listEntry = [&](const QString& control, const QStringList& list) {
        bool ok = false;
        const int i = controls.value(control).toInt(&ok);
        return ok && i >= 0 && i < list.size() ? list.at(i) : QString();
    };
    for (const ColumnRule& s : columnRules()) {
        const QString v = controls.value(s.control);
        switch (s.kind) {
            case Kind::Duration: cells << withoutSpaces(listEntry(s.control, listing::durations())); break;
            case Kind::EndHour: {
                bool ok = false;
                const int h = v.toInt(&ok);
                cells << (ok && h >= 0 && h < 24 ? QStringLiteral("%1時").arg(h) : QString());
                break;
            }
            case Kind::Region: cells << listEntry(s.control, listing::sellerRegions()); break;
            case Kind::ShippingBy:
            case Kind::ShipWhen: {
                const bool first = controls.value(s.control + QStringLiteral("_0")) == QLatin1String("True");
                const bool second = controls.value(s.control + QStringLiteral("_1")) == QLatin1String("True");
                cells << (first    ? (s.kind == Kind::ShippingBy ? kBuyer : kAfterPayment)
                          : second ? (s.kind == Kind::ShippingBy ? kSeller : kAfterEnd)
                                   : QString());
                break;
            }
            case Kind::Payments: {
                QStringList names;
                for (const listing::CheckBox& box : listing::checkBoxes())
                    if (paymentControls().contains(box.name) && controls.value(box.name) == QLatin1String("1")) names << box.caption;
                cells << names.join(QStringLiteral("、"));
                break;
            }
            case Kind::CategoryId: cells << site::categoryIdOf(v); break;
            // The description goes out as it is, so a row made again is the file it came from,
            // even where the seller changed the built description by hand.
            case Kind::Design:
                Q_UNUSED(designs);
                cells << QString();
                break;
            case Kind::Base: cells << memoryFile; break;
            default: cells << v; break;
        }
    }
    return cells;
}

QByteArray exportBytes(const QList<QStringList>& rows) {
    QString text = csv::line(header());
    for (const QStringList& r : rows) text += csv::line(r);
    QString unmappable;
    const QByteArray bytes = cp932::encode(text, &unmappable);
    if (unmappable.isEmpty()) return bytes;
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

}  // namespace listingcsv
