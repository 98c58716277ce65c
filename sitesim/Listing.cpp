#include "Listing.h"

#include "Redesign.h"

#include <algorithm>

#include "Pages.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QStringList>

namespace listing {
namespace {

// The regions of the form's 発送元, as the site numbers them: the prefectures
// by their JIS X 0401 codes (01 北海道 … 15 新潟県 … 19 山梨県 … 47 沖縄県),
// then 海外 as 48. Option k of "loc_cd" is region k.
QStringList regionNames() {
    static const QStringList list{QStringLiteral("北海道"), QStringLiteral("青森県"),   QStringLiteral("岩手県"), QStringLiteral("宮城県"),
                                  QStringLiteral("秋田県"), QStringLiteral("山形県"),   QStringLiteral("福島県"), QStringLiteral("茨城県"),
                                  QStringLiteral("栃木県"), QStringLiteral("群馬県"),   QStringLiteral("埼玉県"), QStringLiteral("千葉県"),
                                  QStringLiteral("東京都"), QStringLiteral("神奈川県"), QStringLiteral("新潟県"), QStringLiteral("富山県"),
                                  QStringLiteral("石川県"), QStringLiteral("福井県"),   QStringLiteral("山梨県"), QStringLiteral("長野県"),
                                  QStringLiteral("岐阜県"), QStringLiteral("静岡県"),   QStringLiteral("愛知県"), QStringLiteral("三重県"),
                                  QStringLiteral("滋賀県"), QStringLiteral("京都府"),   QStringLiteral("大阪府"), QStringLiteral("兵庫県"),
                                  QStringLiteral("奈良県"), QStringLiteral("和歌山県"), QStringLiteral("鳥取県"), QStringLiteral("島根県"),
                                  QStringLiteral("岡山県"), QStringLiteral("広島県"),   QStringLiteral("山口県"), QStringLiteral("徳島県"),
                                  QStringLiteral("香川県"), QStringLiteral("愛媛県"),   QStringLiteral("高知県"), QStringLiteral("福岡県"),
                                  QStringLiteral("佐賀県"), QStringLiteral("長崎県"),   QStringLiteral("熊本県"), QStringLiteral("大分県"),
                                  QStringLiteral("宮崎県"), QStringLiteral("鹿児島県"), QStringLiteral("沖縄県"), QStringLiteral("海外")};
    return list;
}

// The eye-catch icons; option 0 asks for a choice, option 1 is no icon.
const QStringList& giftIcons() {
    static const QStringList list{
        QStringLiteral("選択してください"), QStringLiteral("なし"),    QStringLiteral("新品"),     QStringLiteral("美品"),
        QStringLiteral("非売品"),           QStringLiteral("限定品"),  QStringLiteral("保証書付"), QStringLiteral("全巻セット"),
        QStringLiteral("正規店購入"),       QStringLiteral("産地直送")};
    return list;
}

// Relisting: option 0 is none, option k relists k times.
const QStringList& resubmits() {
    static const QStringList list{QStringLiteral("しない"), QStringLiteral("1回"), QStringLiteral("2回"), QStringLiteral("3回")};
    return list;
}

const QStringList& durations() {
    static const QStringList list{QStringLiteral("2日間"), QStringLiteral("3日間"), QStringLiteral("4日間"),
                                  QStringLiteral("5日間"), QStringLiteral("6日間"), QStringLiteral("7日間")};
    return list;
}

QString hour(int h) {
    return (h % 24 < 12 ? QStringLiteral("午前") : QStringLiteral("午後")) + QString::number(h % 12) + QStringLiteral("時");
}

// Each option keeps its value (its place in the site's own list), however a redesign
// reorders the list or leaves one out.
QString options(const QString& id, const QStringList& texts) {
    QList<int> order;
    for (int i = 0; i < texts.size(); ++i)
        if (redesign::state().dropped.value(id) != texts[i]) order << i;
    if (redesign::state().reversed.contains(id)) std::reverse(order.begin(), order.end());
    QString out;
    for (int i : order) out += QStringLiteral("<option value=\"%1\">%2</option>").arg(i).arg(pages::esc(texts[i]));
    return out;
}

// A row of the form, placed where the site's layout keeps it.
QString at(int top, const QString& content) {
    return QStringLiteral("<div class=\"row\" style=\"top:%1px\">%2</div>\n").arg(top).arg(content);
}

QString box(const QString& id, const QString& caption) {
    return QStringLiteral("<label><input type=\"checkbox\" id=\"%1\" name=\"%1\" value=\"1\"> %2</label> ").arg(id, pages::esc(caption));
}

QString text(const QString& id, int size) {
    return QStringLiteral("<input type=\"text\" id=\"%1\" name=\"%1\" size=\"%2\">").arg(id).arg(size);
}

QString select(const QString& id, const QStringList& texts) {
    return QStringLiteral("<select id=\"%1\" name=\"%1\">%2</select>").arg(id, options(id, texts));
}

QString radios(const QString& name, const QString& first, const QString& second) {
    return QStringLiteral(
               "<label><input type=\"radio\" name=\"%1\" value=\"0\"> %2</label> "
               "<label><input type=\"radio\" name=\"%1\" value=\"1\"> %3</label>")
        .arg(name, pages::esc(first), pages::esc(second));
}

const char* const kFormStyle = R"(<style>
#listing { position: relative; height: 3700px; }
#listing .row { position: absolute; left: 0; right: 0; }
#listing .label { display: inline-block; width: 150px; font-weight: bold; vertical-align: top; }
</style>
)";

QStringList& renamedFields() {
    static QStringList ids;
    return ids;
}

QString field(const Draft& draft, const QString& name) { return draft.fields.value(fieldName(name)); }

QString checked(const Draft& draft, const QStringList& ids, const QStringList& captions) {
    QStringList on;
    for (int i = 0; i < ids.size(); ++i)
        if (!field(draft, ids[i]).isEmpty()) on << captions[i];
    return on.isEmpty() ? QStringLiteral("なし") : on.join(QStringLiteral("、"));
}

QString yenOrNone(const QString& value) {
    return value.trimmed().isEmpty() ? QStringLiteral("なし") : pages::esc(value) + QStringLiteral(" 円");
}

}  // namespace

QList<Part> parseMultipart(const QByteArray& contentType, const QByteArray& body) {
    QList<Part> parts;
    const qsizetype b = contentType.indexOf("boundary=");
    if (b < 0) return parts;
    QByteArray boundary = contentType.mid(b + 9);
    if (const qsizetype semi = boundary.indexOf(';'); semi >= 0) boundary.truncate(semi);
    boundary = boundary.trimmed();
    if (boundary.startsWith('"') && boundary.endsWith('"') && boundary.size() >= 2) boundary = boundary.mid(1, boundary.size() - 2);
    const QByteArray delimiter = QByteArray("--") + boundary;
    const QByteArray lineDelimiter = QByteArray("\r\n") + delimiter;
    qsizetype pos = body.indexOf(delimiter);
    while (pos >= 0) {
        pos += delimiter.size();
        if (body.mid(pos, 2) == "--") break;     // the closing delimiter
        const qsizetype headersStart = pos + 2;  // after the CR LF
        const qsizetype headersEnd = body.indexOf("\r\n\r\n", headersStart);
        if (headersEnd < 0) break;
        const qsizetype next = body.indexOf(lineDelimiter, headersEnd + 4);
        if (next < 0) break;
        Part part;
        // A browser names the file in the page's own charset: the site's pages are EUC-JP.
        const QString headers = eucjp::decode(body.mid(headersStart, headersEnd - headersStart));
        static const QRegularExpression nameRe(QStringLiteral("name=\"([^\"]*)\""));
        static const QRegularExpression fileRe(QStringLiteral("filename=\"([^\"]*)\""));
        part.name = nameRe.match(headers).captured(1);
        part.fileName = fileRe.match(headers).captured(1);
        part.bytes = body.mid(headersEnd + 4, next - headersEnd - 4);
        parts << part;
        pos = next + 2;
    }
    return parts;
}

namespace {
// The text of the option a select sent, by its value (the option's position).
QString optionText(const QStringList& texts, const QString& value, int first = 0) {
    bool ok = false;
    const int i = value.toInt(&ok);
    return ok && i >= first && i < texts.size() ? texts[i] : QStringLiteral("未選択");
}
}  // namespace

QString durationText(const QString& index) { return optionText(durations(), index); }

QString closingTimeText(const QString& index) {
    bool ok = false;
    const int h = index.toInt(&ok);
    return ok && h >= 0 && h < 24 ? hour(h) + QStringLiteral("から") + hour(h + 1) : QStringLiteral("未選択");
}

// Option 0 of the region and the icon lists asks for a choice: nothing chosen.
QString regionText(const QString& index) { return optionText(QStringList{QString()} + regionNames(), index, 1); }
QString giftText(const QString& index) { return optionText(giftIcons(), index, 1); }
QString resubmitText(const QString& index) { return optionText(resubmits(), index); }

void setRenamedFields(const QStringList& ids) { renamedFields() = ids; }

QString fieldName(const QString& id) { return renamedFields().contains(id) ? id + QStringLiteral("_2") : id; }

QString optionFees(const Draft& draft) {
    // The site's option fees in sen (1/100 yen), tax included.
    const QList<QPair<QString, qint64>> fixed{{QStringLiteral("boldSelected"), 1080},
                                              {QStringLiteral("highlightlistingSelected"), 3240},
                                              {QStringLiteral("postagefreeSelected"), 1080},
                                              {QStringLiteral("wrappingSelected"), 2160}};
    qint64 sen = 0;
    for (const auto& [id, fee] : fixed)
        if (!field(draft, id).isEmpty()) sen += fee;
    // Icon 0 asks for a choice and icon 1 is none: any other is charged.
    if (field(draft, QStringLiteral("giftSelected")).toInt() >= 2) sen += 2160;
    // The featured auction: the seller's amount for every day of the auction.
    bool ok = false;
    const qint64 perDay = field(draft, QStringLiteral("featuredAmount")).trimmed().toLongLong(&ok);
    const int days = field(draft, QStringLiteral("Duration")).toInt() + 2;  // option 0 is 2 days
    if (ok && perDay > 0 && perDay < 100000000 && days >= 2 && days <= 7) sen += perDay * 100 * days;
    QString yen = QString::number(sen / 100);
    for (qsizetype at = yen.size() - 3; at > 0; at -= 3) yen.insert(at, QLatin1Char(','));
    return yen + QStringLiteral(".%1 円").arg(sen % 100, 2, 10, QLatin1Char('0'));
}

QString formPage(const demo::Category& category) {
    QStringList hours;
    for (int h = 0; h < 24; ++h) hours << hour(h) + QStringLiteral("から") + hour(h + 1);
    const QString label = QStringLiteral("<span class=\"label\">%1</span>");
    QString rows;
    rows += at(400, QStringLiteral("<h2>商品情報</h2>"));
    rows += at(450, label.arg(QStringLiteral("タイトル")) + text(QStringLiteral("Title"), 60));
    rows += at(
        650, label.arg(QStringLiteral("説明")) + QStringLiteral("<textarea id=\"Description\" name=\"Description\" rows=\"8\" cols=\"70\">"
                                                                "</textarea>"));
    rows += at(900,
               label.arg(QStringLiteral("支払い方法")) + box(QStringLiteral("ypmOK"), QStringLiteral("Yahoo!かんたん決済")) +
                   box(QStringLiteral("aspj1"), QStringLiteral("銀行振込")) + box(QStringLiteral("aspj2"), QStringLiteral("郵便振替")) +
                   box(QStringLiteral("aspj8"), QStringLiteral("イーバンク銀行")) +
                   box(QStringLiteral("aspj9"), QStringLiteral("ジャパンネット銀行")) +
                   box(QStringLiteral("aspj10"), QStringLiteral("みずほ銀行")) + box(QStringLiteral("aspj11"), QStringLiteral("UFJ銀行")) +
                   box(QStringLiteral("aspj3"), QStringLiteral("現金書留")) + box(QStringLiteral("aspj4"), QStringLiteral("商品代引")) +
                   box(QStringLiteral("ycc"), QStringLiteral("クレジットカード")) + box(QStringLiteral("aspj7"), QStringLiteral("その他")) +
                   box(QStringLiteral("ccmOK"), QStringLiteral("NTTコム・セーフティパス")));
    rows += at(960, label.arg(QStringLiteral("送料負担")) +
                        radios(QStringLiteral("shipping"), QStringLiteral("落札者"), QStringLiteral("出品者")) +
                        QStringLiteral(" &nbsp; <b>発送時期</b> ") +
                        radios(QStringLiteral("shiptime"), QStringLiteral("支払い後"), QStringLiteral("オークション終了後")));
    rows += at(1100, label.arg(QStringLiteral("発送")) + box(QStringLiteral("intlOK"), QStringLiteral("海外発送")) +
                         box(QStringLiteral("ypkOK"), QStringLiteral("Yahoo!ゆうパック")));
    rows += at(1210, label.arg(QStringLiteral("商品の発送元")) +
                         select(QStringLiteral("loc_cd"), QStringList{QStringLiteral("選択してください")} + regionNames()) +
                         QStringLiteral(" 市区町村 ") + text(QStringLiteral("city"), 24));
    rows += at(1500, label.arg(QStringLiteral("エスクロー")) + box(QStringLiteral("escj1"), QStringLiteral("オークションチェック")) +
                         box(QStringLiteral("escj6"), QStringLiteral("イオンレジオークション")));
    rows += at(1800, label.arg(QStringLiteral("開催期間")) + select(QStringLiteral("Duration"), durations()) + QStringLiteral(" 数量 ") +
                         text(QStringLiteral("Quantity"), 4) + QStringLiteral(" 開始価格 ") + text(QStringLiteral("StartPrice"), 10) +
                         QStringLiteral(" 円"));
    rows += at(2000, label.arg(QStringLiteral("注目のオークション")) + QStringLiteral("1日あたり ") +
                         text(QStringLiteral("featuredAmount"), 8) + QStringLiteral(" 円"));
    rows += at(2200, label.arg(QStringLiteral("太字テキスト")) + box(QStringLiteral("boldSelected"), QStringLiteral("利用する")));
    rows += at(2500, label.arg(QStringLiteral("背景色")) + box(QStringLiteral("highlightlistingSelected"), QStringLiteral("利用する")) +
                         box(QStringLiteral("postagefreeSelected"), QStringLiteral("送料無料アイコン")));
    rows += at(2600, label.arg(QStringLiteral("目立ちアイコン")) + select(QStringLiteral("giftSelected"), giftIcons()));
    rows += at(2800, label.arg(QStringLiteral("贈答品アイコン")) + box(QStringLiteral("wrappingSelected"), QStringLiteral("利用する")) +
                         QStringLiteral(" 即決価格 ") + text(QStringLiteral("JpBuyNowPrice"), 10) + QStringLiteral(" 円 最低落札価格 ") +
                         text(QStringLiteral("ReservePrice"), 10) + QStringLiteral(" 円"));
    rows += at(3100, label.arg(QStringLiteral("無料オプション")) + box(QStringLiteral("minBidRating"), QStringLiteral("入札者評価制限")) +
                         box(QStringLiteral("AutoExtension"), QStringLiteral("自動延長")) +
                         box(QStringLiteral("CloseEarly"), QStringLiteral("早期終了")));
    rows += at(3200, label.arg(QStringLiteral("終了時間")) + select(QStringLiteral("ClosingTime"), hours) + QStringLiteral(" 自動再出品 ") +
                         select(QStringLiteral("numResubmit"), resubmits()) + QStringLiteral(" 希望落札価格 ") +
                         text(QStringLiteral("BidOrBuyPrice"), 10) + QStringLiteral(" 円"));
    rows += at(3400, QStringLiteral("<input type=\"submit\" name=\"next\" value=\"続ける\">"));
    for (const QString& id : renamedFields()) {
        rows.replace(QStringLiteral("id=\"%1\"").arg(id), QStringLiteral("id=\"%1\"").arg(fieldName(id)));
        rows.replace(QStringLiteral("name=\"%1\"").arg(id), QStringLiteral("name=\"%1\"").arg(fieldName(id)));
    }
    return pages::layout(
        QStringLiteral("Yahoo!オークション - 出品フォーム"),
        QLatin1String(kFormStyle) + QStringLiteral("<h1>出品フォーム</h1>\n<p>カテゴリ: <b>%1</b></p>\n"
                                                   "<form name=\"auction\" method=\"post\" action=\"/jp/submit/form?c=%2\">\n"
                                                   "<div id=\"listing\">\n%3</div>\n</form>")
                                        .arg(pages::esc(demo::categoryPath(category)))
                                        .arg(category.id)
                                        .arg(rows));
}

QString imagePage(const Draft& draft, bool refused) {
    QString uploaded;
    for (const Upload& image : draft.images)
        uploaded += QStringLiteral("<li class=\"uploaded\">%1（%2 バイト）</li>\n").arg(pages::esc(image.fileName)).arg(image.bytes.size());
    if (uploaded.isEmpty()) uploaded = QStringLiteral("<li>まだありません</li>\n");
    // From the "select" button, four Tabs reach the file field and two more the upload button.
    return pages::layout(
        QStringLiteral("Yahoo!オークション - 画像のアップロード"),
        QStringLiteral("<h1>画像のアップロード</h1>\n%2"
                       "<form name=\"upload\" method=\"post\" action=\"/jp/submit/image\" enctype=\"multipart/form-data\">\n"
                       "<p><input type=\"button\" id=\"select\" value=\"パソコンから画像を選ぶ\"></p>\n"
                       "<p><a href=\"#help\">アップロードのヘルプ</a> <a href=\"#rules\">画像の規約</a></p>\n"
                       "<p>画像の説明 <input type=\"text\" name=\"caption\" size=\"30\"></p>\n"
                       "<p><input type=\"file\" id=\"file\" name=\"image\" accept=\"image/*\"> "
                       "<a href=\"#\" onclick=\"document.getElementById('file').value='';return false;\">クリア</a></p>\n"
                       "<p><input type=\"submit\" id=\"upload\" value=\"アップロード\"></p>\n</form>\n"
                       "<h2>アップロード済みの画像</h2>\n<ul id=\"images\">\n%1</ul>\n"
                       "<p><a id=\"toConfirm\" href=\"/jp/submit/confirm\">確認画面へ進む</a></p>\n"
                       "<p id=\"help\">画像は3枚まで、1枚あたり5MBまでです。</p>\n"
                       "<h2 id=\"rules\">画像の規約</h2>\n<ol>\n"
                       "<li>出品する商品そのものの画像を掲載してください。</li>\n"
                       "<li>他人が撮影した画像や、カタログ等からの転載は掲載できません。</li>\n"
                       "<li>商品の状態が分かるよう、傷や汚れがある場合はその部分も掲載してください。</li>\n"
                       "<li>画像に連絡先やほかのサイトへの案内を入れることはできません。</li>\n"
                       "<li>画像の形式はJPEG、GIF、PNGのいずれかです。</li>\n"
                       "<li>規約に反する画像は予告なく削除することがあります。</li>\n</ol>\n"
                       "<div style=\"height:900px\"></div>")
            .arg(uploaded,
                 refused ? QStringLiteral("<p class=\"error\" id=\"refused\">画像は3枚まで、1枚あたり5MBまでです。</p>\n") : QString()));
}

QString confirmPage(const Draft& draft) {
    const QStringList payIds{QStringLiteral("ypmOK"), QStringLiteral("aspj1"),  QStringLiteral("aspj2"),  QStringLiteral("aspj8"),
                             QStringLiteral("aspj9"), QStringLiteral("aspj10"), QStringLiteral("aspj11"), QStringLiteral("aspj3"),
                             QStringLiteral("aspj4"), QStringLiteral("ycc"),    QStringLiteral("aspj7"),  QStringLiteral("ccmOK")};
    const QStringList payNames{QStringLiteral("Yahoo!かんたん決済"),
                               QStringLiteral("銀行振込"),
                               QStringLiteral("郵便振替"),
                               QStringLiteral("イーバンク銀行"),
                               QStringLiteral("ジャパンネット銀行"),
                               QStringLiteral("みずほ銀行"),
                               QStringLiteral("UFJ銀行"),
                               QStringLiteral("現金書留"),
                               QStringLiteral("商品代引"),
                               QStringLiteral("クレジットカード"),
                               QStringLiteral("その他"),
                               QStringLiteral("NTTコム・セーフティパス")};
    QString images;
    for (const Upload& image : draft.images) images += pages::esc(image.fileName) + QStringLiteral(" ");
    const QString row = QStringLiteral("<tr><th>%1</th><td id=\"%2\">%3</td></tr>\n");
    QString rows;
    rows += row.arg(QStringLiteral("タイトル"), QStringLiteral("cTitle"), pages::esc(field(draft, QStringLiteral("Title"))));
    rows += row.arg(QStringLiteral("説明"), QStringLiteral("cDescription"),
                    QStringLiteral("<pre>%1</pre>").arg(pages::esc(field(draft, QStringLiteral("Description")))));
    rows += row.arg(QStringLiteral("開始価格"), QStringLiteral("cStartPrice"), yenOrNone(field(draft, QStringLiteral("StartPrice"))));
    rows += row.arg(QStringLiteral("数量"), QStringLiteral("cQuantity"), pages::esc(field(draft, QStringLiteral("Quantity"))));
    rows += row.arg(QStringLiteral("開催期間"), QStringLiteral("cDuration"), durationText(field(draft, QStringLiteral("Duration"))));
    rows += row.arg(QStringLiteral("支払い方法"), QStringLiteral("cPayment"), checked(draft, payIds, payNames));
    rows += row.arg(QStringLiteral("送料負担"), QStringLiteral("cShipping"),
                    field(draft, QStringLiteral("shipping")) == QLatin1String("1")   ? QStringLiteral("出品者")
                    : field(draft, QStringLiteral("shipping")) == QLatin1String("0") ? QStringLiteral("落札者")
                                                                                     : QStringLiteral("未選択"));
    rows += row.arg(
        QStringLiteral("発送元"), QStringLiteral("cRegion"),
        regionText(field(draft, QStringLiteral("loc_cd"))) + QStringLiteral(" ") + pages::esc(field(draft, QStringLiteral("city"))));
    rows += row.arg(QStringLiteral("即決価格"), QStringLiteral("cBuyNow"), yenOrNone(field(draft, QStringLiteral("JpBuyNowPrice"))));
    rows +=
        row.arg(QStringLiteral("終了時間"), QStringLiteral("cClosingTime"), closingTimeText(field(draft, QStringLiteral("ClosingTime"))));
    rows += row.arg(QStringLiteral("最低落札価格"), QStringLiteral("cReserve"), yenOrNone(field(draft, QStringLiteral("ReservePrice"))));
    rows += row.arg(QStringLiteral("希望落札価格"), QStringLiteral("cBidOrBuy"), yenOrNone(field(draft, QStringLiteral("BidOrBuyPrice"))));
    rows += row.arg(QStringLiteral("注目のオークション"), QStringLiteral("cFeatured"),
                    yenOrNone(field(draft, QStringLiteral("featuredAmount"))));
    rows += row.arg(QStringLiteral("目立ちアイコン"), QStringLiteral("cGift"), giftText(field(draft, QStringLiteral("giftSelected"))));
    rows += row.arg(QStringLiteral("有料オプション"), QStringLiteral("cPaid"),
                    checked(draft,
                            {QStringLiteral("boldSelected"), QStringLiteral("highlightlistingSelected"),
                             QStringLiteral("postagefreeSelected"), QStringLiteral("wrappingSelected")},
                            {QStringLiteral("太字テキスト"), QStringLiteral("背景色"), QStringLiteral("送料無料アイコン"),
                             QStringLiteral("贈答品アイコン")}));
    rows += row.arg(QStringLiteral("無料オプション"), QStringLiteral("cFree"),
                    checked(draft, {QStringLiteral("minBidRating"), QStringLiteral("AutoExtension"), QStringLiteral("CloseEarly")},
                            {QStringLiteral("入札者評価制限"), QStringLiteral("自動延長"), QStringLiteral("早期終了")}));
    rows += row.arg(QStringLiteral("発送"), QStringLiteral("cDelivery"),
                    checked(draft, {QStringLiteral("intlOK"), QStringLiteral("ypkOK")},
                            {QStringLiteral("海外発送"), QStringLiteral("Yahoo!ゆうパック")}));
    rows += row.arg(QStringLiteral("エスクロー"), QStringLiteral("cEscrow"),
                    checked(draft, {QStringLiteral("escj1"), QStringLiteral("escj6")},
                            {QStringLiteral("オークションチェック"), QStringLiteral("イオンレジオークション")}));
    rows += row.arg(QStringLiteral("発送時期"), QStringLiteral("cShipTime"),
                    field(draft, QStringLiteral("shiptime")) == QLatin1String("1")   ? QStringLiteral("オークション終了後")
                    : field(draft, QStringLiteral("shiptime")) == QLatin1String("0") ? QStringLiteral("支払い後")
                                                                                     : QStringLiteral("未選択"));
    rows += row.arg(QStringLiteral("自動再出品"), QStringLiteral("cResubmit"), resubmitText(field(draft, QStringLiteral("numResubmit"))));
    rows += row.arg(QStringLiteral("画像"), QStringLiteral("cImages"), images.isEmpty() ? QStringLiteral("なし") : images);
    rows += row.arg(QStringLiteral("オプション利用料（税込）"), QStringLiteral("cFees"), optionFees(draft));
    return pages::layout(QStringLiteral("Yahoo!オークション - 出品内容の確認"),
                         QStringLiteral("<h1>出品内容の確認</h1>\n<table class=\"list\" id=\"confirm\">\n%1</table>\n"
                                        "<form method=\"post\" action=\"/jp/submit/finish\">\n"
                                        "<p><input type=\"submit\" id=\"agree\" value=\"利用規約とガイドラインに同意する\"></p>\n"
                                        "</form>")
                             .arg(rows));
}

QString finishedPage(const QString& auctionId, const QString& title) {
    return pages::layout(QStringLiteral("Yahoo!オークション - 出品完了"),
                         QStringLiteral("<h1>出品が完了しました</h1>\n<p>%1</p>\n<p>オークションID: <b id=\"auctionId\">%2</b></p>\n"
                                        "<p><a href=\"/jp/show/mystatus?select=selling\">出品中の商品を見る</a></p>")
                             .arg(pages::esc(title), pages::esc(auctionId)));
}

QString noDraftPage() {
    return pages::layout(QStringLiteral("Yahoo!オークション - 出品"),
                         QStringLiteral("<h1>出品情報がありません</h1>\n<p>最初からやり直してください。</p>\n"
                                        "<p><a href=\"/jp/0-submit.html\">カテゴリ選択へ</a></p>"));
}

}  // namespace listing
