#include "Pages.h"

#include "Redesign.h"

#include "EucJp.h"

#include <QLocale>

namespace pages {
namespace {

const char* const kStyle = R"(
body { margin: 0; font-family: sans-serif; font-size: 14px; color: #333; }
#masthead { background: #ff0033; color: #fff; padding: 8px 16px; }
#masthead a { color: #fff; text-decoration: none; margin-right: 16px; }
#masthead .logo { font-size: 20px; font-weight: bold; }
#content { padding: 12px 16px; }
h1 { font-size: 18px; border-bottom: 2px solid #ff0033; padding-bottom: 4px; }
h2 { font-size: 16px; }
table.list { border-collapse: collapse; }
table.list th { background: #f2f2f2; }
table.list th, table.list td { border: 1px solid #ccc; padding: 4px 8px; }
td.price { text-align: right; white-space: nowrap; }
table.list { font-size: 13px; }
table.list td.title { min-width: 14em; }
ul.categories li { margin: 6px 0; }
.error { color: #d00; font-weight: bold; }
.captcha-digits { font: bold 20px monospace; letter-spacing: 6px; background: #eee; padding: 2px 6px; }
#footer { color: #888; font-size: 12px; padding: 16px; border-top: 1px solid #ddd; }
)";

QString loginForm(const QString& done, bool challenge, const QString& enteredLogin) {
    const QString check = challenge ? QStringLiteral(
                                          "<p>画像の数字: <span class=\"captcha-digits\">4 8 1 5</span></p>\n"
                                          "<p>上の数字を入力してください: <input type=\"text\" name=\"captcha\" "
                                          "size=\"8\"></p>\n")
                                    : QString();
    return QStringLiteral(
               "<form name=\"login_form\" method=\"post\" action=\"/config/login?.src=www\">\n"
               "<input type=\"hidden\" name=\".done\" value=\"%1\">\n"
               "<p>Yahoo! JAPAN ID<br><input type=\"text\" name=\"%4\" value=\"%2\" size=\"24\"></p>\n"
               "<p>パスワード<br><input type=\"password\" name=\"%5\" size=\"24\"></p>\n"
               "%3"
               "<p><label><input type=\"checkbox\" name=\".persistent\" value=\"y\"> "
               "ログインしたままにする</label></p>\n"
               "<p><input type=\"submit\" name=\".save\" value=\"ログイン\"></p>\n"
               "</form>")
        .arg(esc(done), esc(enteredLogin), check, redesign::loginField(QStringLiteral("login")),
             redesign::loginField(QStringLiteral("passwd")));
}

}  // namespace

QString esc(const QString& text) { return text.toHtmlEscaped(); }

QString yen(int amount) { return QLocale(QLocale::English).toString(amount) + QStringLiteral(" 円"); }

QString layout(const QString& title, const QString& content) {
    return QStringLiteral(
               "<!DOCTYPE html>\n<html lang=\"ja\"><head><title>%1</title>\n"
               "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=EUC-JP\">\n"
               "<style>%2</style>\n</head><body>\n"
               "<div id=\"masthead\"><a class=\"logo\" href=\"/\">Yahoo! JAPAN</a>"
               "<a href=\"/jp/0-submit.html\">出品する</a>"
               "<a href=\"/jp/show/mystatus?select=closed&amp;hasWinner=1\">マイ・オークション</a></div>\n"
               "<div id=\"content\">\n%3\n</div>\n"
               "<div id=\"footer\">ソラバコ テスト用サイトシミュレーター | "
               "<a href=\"/privacy/\">プライバシーの考え方</a></div>\n"
               "</body></html>\n")
        .arg(esc(title), QLatin1String(kStyle), content);
}

QString loginAddress(const QString& done) {
    return QStringLiteral("/config/login?.src=www&partner=&.protoctl=&.v=&.u=&.intl=jp&.done=") + eucjp::percentEncode(done);
}

QString logoutAddress(const QString& done) {
    return QStringLiteral("/config/login?logout=1&.src=www&.intl=jp&.done=") + eucjp::percentEncode(done);
}

QString portal(const QString& account, const QString& base) {
    const QString self = base + QLatin1Char('/');
    const QString who =
        account.isEmpty()
            ? QStringLiteral("<a href=\"%1\">ログイン</a>").arg(esc(loginAddress(self)))
            : QStringLiteral("ようこそ、<b>%1</b> さん（<a href=\"%2\">ログアウト</a>）").arg(esc(account), esc(logoutAddress(self)));
    return layout(QStringLiteral("Yahoo! JAPAN"),
                  QStringLiteral("<h1>Yahoo! JAPAN</h1>\n<p>%1</p>\n"
                                 "<p>ショッピング、オークション、ニュースなど、毎日の暮らしに役立つサービス。</p>\n"
                                 "<ul><li><a href=\"/jp/0-submit.html\">オークションに出品する</a></li>\n"
                                 "<li><a href=\"/jp/show/mystatus?select=closed&amp;hasWinner=1\">"
                                 "マイ・オークション（出品終了分）</a></li></ul>")
                      .arg(who));
}

QString productPage() {
    return layout(QStringLiteral("ソラバコ"),
                  QStringLiteral("<h1>ソラバコ</h1>\n<p>ヤフオク出品支援ツール ソラバコの製品ページ（デモ）です。</p>\n"
                                 "<p>出品フォームの作成、送料計算、落札メールの作成、アクセス解析をひとつのツールで。</p>"));
}

namespace {
QString categoryLinks(const QList<demo::Category>& list) {
    QString items;
    for (const demo::Category& category : list)
        items += QStringLiteral("<li><a href=\"/jp/submit/category?c=%1\">%2</a></li>\n").arg(category.id).arg(esc(category.name));
    return QStringLiteral("<ul class=\"categories\">\n%1</ul>").arg(items);
}
}  // namespace

QString submitTop() {
    return layout(QStringLiteral("Yahoo!オークション - 出品"),
                  QStringLiteral("<h1>カテゴリ選択</h1>\n<p>出品する商品のカテゴリを選んでください。</p>\n%1")
                      .arg(categoryLinks(demo::childrenOf(0))));
}

QString submitCategory(const demo::Category& category) {
    const QList<demo::Category> children = demo::childrenOf(category.id);
    const QString path = QStringLiteral("<p>選択中のカテゴリ: <b>%1</b></p>\n").arg(esc(demo::categoryPath(category)));
    if (!children.isEmpty())
        return layout(QStringLiteral("Yahoo!オークション - 出品"),
                      QStringLiteral("<h1>カテゴリ選択</h1>\n%1<p>さらに詳しいカテゴリを選んでください。</p>\n%2\n"
                                     "<p><a href=\"/jp/0-submit.html\">最初から選び直す</a></p>")
                          .arg(path, categoryLinks(children)));
    return layout(QStringLiteral("Yahoo!オークション - 出品"),
                  QStringLiteral("<h1>カテゴリ選択</h1>\n%1"
                                 "<form method=\"get\" action=\"/jp/submit/form\">\n"
                                 "<input type=\"hidden\" name=\"c\" value=\"%2\">\n"
                                 "<input type=\"submit\" name=\"btn\" id=\"btn\" value=\"続ける\">\n</form>")
                      .arg(path)
                      .arg(category.id));
}

QString signInRequired(const QString& done) {
    return layout(QStringLiteral("Yahoo! JAPAN - ログイン"),
                  QStringLiteral("<h1>ログインが必要です</h1>\n"
                                 "<p>このページを表示するには、Yahoo! JAPAN IDでログインしてください。</p>\n%1\n"
                                 "<p><a href=\"%2\">ログインページへ</a></p>")
                      .arg(loginForm(done, false, QString()), esc(loginAddress(done))));
}

QString reenterPassword(const QString& account, const QString& done) {
    return layout(QStringLiteral("Yahoo! JAPAN - パスワード再入力"),
                  QStringLiteral("<h1>パスワードの再入力</h1>\n"
                                 "<p>続けるにはパスワードを再入力してください。</p>\n"
                                 "<form name=\"reauth\" method=\"post\" action=\"/config/login?.src=www\">\n"
                                 "<input type=\"hidden\" name=\".done\" value=\"%1\">\n"
                                 "<input type=\"hidden\" name=\"login\" value=\"%2\">\n"
                                 "<p>Yahoo! JAPAN ID: <b>%2</b></p>\n"
                                 "<p>パスワード<br><input type=\"password\" name=\"passwd\" size=\"24\"></p>\n"
                                 "<p><input type=\"submit\" value=\"次へ\"></p>\n</form>")
                      .arg(esc(done), esc(account)));
}

QString closedListings(const QString& seller, const QList<demo::ClosedListing>& listings, int page, int pages) {
    const QString list = QStringLiteral("/jp/show/mystatus?select=closed&amp;hasWinner=1&amp;page=%1");
    QString rows;
    for (const demo::ClosedListing& item : listings)
        rows += QStringLiteral(
                    "<tr><td class=\"aid\"><a href=\"/jp/auction/%1\">%1</a></td><td class=\"title\">%2</td>"
                    "<td class=\"price\">%3</td><td class=\"winner\">%4</td><td class=\"end\">%5</td></tr>\n")
                    .arg(esc(item.auctionId), esc(item.title), yen(item.price),
                         esc(item.winner) + QStringLiteral("（") + esc(item.winnerName) + QStringLiteral("）"), esc(item.endTime));
    return layout(QStringLiteral("Yahoo!オークション - 出品終了分"),
                  QStringLiteral("<h1>マイ・オークション</h1>\n"
                                 "<h2 id=\"seller\">%1 さんの出品終了分（落札者あり）</h2>\n"
                                 "<p><a href=\"/jp/show/mystatus?select=selling\">出品中</a> | 出品終了分</p>\n"
                                 "<table class=\"list\" id=\"closed\">\n"
                                 "<tr><th>オークションID</th><th>商品名</th><th>落札価格</th><th>落札者</th>"
                                 "<th>終了日時</th></tr>\n%2</table>\n%3%4")
                      .arg(esc(seller), rows,
                           page > 1 ? QStringLiteral("<p class=\"pager\"><a href=\"%1\">%2</a></p>\n")
                                          .arg(list.arg(page - 1), redesign::listingLink(QStringLiteral("前の50件")))
                                    : QString(),
                           page < pages ? QStringLiteral("<p class=\"pager\"><a href=\"%1\">%2</a></p>\n")
                                              .arg(list.arg(page + 1), redesign::listingLink(QStringLiteral("次の50件")))
                                        : QString()));
}

QString selling(const QString& seller, const QList<demo::OpenListing>& listings, int page, int pages) {
    const QString list = QStringLiteral("/jp/show/mystatus?select=selling&amp;page=%1");
    QString rows;
    for (const demo::OpenListing& item : listings) {
        // A bid count is a link (to the item's bids), followed by the highest bidder's link.
        const QString bids = item.bids > 0
                                 ? QStringLiteral("<a href=\"/jp/auction/%1#bids\">%2</a>").arg(esc(item.auctionId)).arg(item.bids)
                                 : QStringLiteral("0");
        const QString bidder = item.bids > 0 ? QStringLiteral("<a href=\"/jp/user/%1\">%1</a>").arg(esc(item.bidder)) : QStringLiteral("-");
        rows += QStringLiteral(
                    "<tr><td class=\"title\"><a href=\"/jp/auction/%1\">%2</a></td><td class=\"price\">%3</td>"
                    "<td class=\"bids\">%4</td><td class=\"bidder\">%5</td><td class=\"left\">%6</td>"
                    "<td><a href=\"/jp/manage?aID=%1\">管理</a></td></tr>\n")
                    .arg(esc(item.auctionId), esc(item.title), yen(item.price), bids, bidder, esc(item.timeLeft));
    }
    // 前の50件 sits above the list, 次の50件 below the last listing.
    const QString previous = page > 1 ? QStringLiteral("<p class=\"pager\"><a href=\"%1\">%2</a></p>\n")
                                            .arg(list.arg(page - 1), redesign::listingLink(QStringLiteral("前の50件")))
                                      : QString();
    const QString next = page < pages ? QStringLiteral("<p class=\"pager\"><a href=\"%1\">%2</a></p>\n")
                                            .arg(list.arg(page + 1), redesign::listingLink(QStringLiteral("次の50件")))
                                      : QString();
    return layout(QStringLiteral("Yahoo!オークション - 出品中"),
                  QStringLiteral("<h1>マイ・オークション</h1>\n<h2 id=\"seller\">%1 さんの出品中の商品（%2件）</h2>\n"
                                 "<p>出品中 | <a href=\"/jp/show/mystatus?select=closed&amp;hasWinner=1\">"
                                 "出品終了分</a></p>\n%3"
                                 "<table class=\"list\" id=\"selling\">\n"
                                 "<tr><th>商品名</th><th>現在価格</th><th>入札</th><th>最高額入札者</th>"
                                 "<th><a href=\"/jp/show/mystatus?select=selling&amp;sort=end\">%6</a></th><th></th></tr>\n"
                                 "%4</table>\n%5")
                      .arg(esc(seller))
                      .arg(listings.size())
                      .arg(previous, rows, next, redesign::listingLink(QStringLiteral("残り時間"))));
}

QString itemPage(const QString& title, int price, const QString& timeLeft, int access, int watch, int bids,
                 const demo::ClosedListing* closed) {
    // Each figure is its label and its value in one element, then a line end: how the site writes them.
    QString contact;
    if (closed)
        contact = QStringLiteral(
                      "<p>落札者の連絡先は<a href=\"#winner\">こちら</a></p>\n"
                      "<p id=\"winner\"><a href=\"/jp/user/%1\">%2</a> <a href=\"mailto:%3\">%3</a></p>\n"
                      "<p id=\"address\">送付先：%4</p>\n")
                      .arg(esc(closed->winner), esc(closed->winnerName), esc(closed->winnerMail), esc(closed->winnerAddress));
    return layout(
        QStringLiteral("Yahoo!オークション - ") + title,
        QStringLiteral("<h1>%1</h1>\n<div id=\"figures\">\n<p class=\"head\">商品の情報</p>\n"
                       "<p class=\"price\">%8<b>%2</b></p>\n"
                       "<p>残り時間：<b>%3</b></p>\n"
                       "<p>入札件数：<b>%4</b></p>\n"
                       "<p>%9<b>%5</b></p>\n"
                       "<p>%10<b>%6</b></p>\n"
                       "</div>\n%7")
            .arg(esc(title), yen(price), esc(timeLeft))
            .arg(bids)
            .arg(access)
            .arg(watch)
            .arg(contact, redesign::itemLabel(QStringLiteral("現在の価格：")), redesign::itemLabel(QStringLiteral("アクセス総数：")),
                 redesign::itemLabel(QStringLiteral("ウォッチリストに追加した総数："))));
}

QString noSuchItem() {
    return layout(QStringLiteral("Yahoo!オークション"),
                  QStringLiteral("<h1>このオークションは存在しません</h1>\n<p>オークションIDをご確認ください。</p>"));
}

QString login(const QString& done, LoginNotice notice, const QString& enteredLogin) {
    QString message;
    if (notice == LoginNotice::WrongPassword)
        message = QStringLiteral("<p class=\"error\">IDまたはパスワードが正しくありません。</p>\n");
    else if (notice == LoginNotice::Challenge)
        message = QStringLiteral("<p class=\"error\">確認のため、画像の数字も入力してください。</p>\n");
    return layout(QStringLiteral("Yahoo! JAPAN - ログイン"),
                  QStringLiteral("<h1>ログイン</h1>\n%1%2").arg(message, loginForm(done, notice == LoginNotice::Challenge, enteredLogin)));
}

QString loggedOut(const QString& done) {
    return layout(QStringLiteral("Yahoo! JAPAN - ログアウト"),
                  QStringLiteral("<h1>ログアウトしました</h1>\n<p><a href=\"%1\">戻る</a></p>").arg(esc(done)));
}

QString feedbackForm(const demo::ClosedListing& sold, const QString& commentField, bool noRating) {
    static const QStringList names{QStringLiteral("非常に良い"), QStringLiteral("良い"), QStringLiteral("どちらでもない"),
                                   QStringLiteral("悪い"), QStringLiteral("非常に悪い")};
    QString ratings;
    for (int i = 0; i < names.size(); ++i)
        ratings += QStringLiteral("<label><input type=\"radio\" name=\"rating\" id=\"rating%1\" value=\"%1\"> %2</label><br>\n")
                       .arg(5 - i)
                       .arg(names[i]);
    return layout(QStringLiteral("Yahoo!オークション - 評価の入力"),
                  QStringLiteral("<h1>評価の入力</h1>\n%1<p>%2（%3）の落札者 %4 さんを評価します。</p>\n"
                                 "<form name=\"feedback\" method=\"post\" action=\"/jp/feedback\">\n"
                                 "<input type=\"hidden\" name=\"aid\" value=\"%3\">\n%5"
                                 "<p>コメント<br><textarea name=\"%6\" id=\"%6\" rows=\"4\" cols=\"60\"></textarea></p>\n"
                                 "<p><input type=\"submit\" id=\"submitFeedback\" value=\"評価を投稿する\"></p>\n</form>\n")
                      .arg(noRating ? QStringLiteral("<p class=\"error\">評価を選んでください。</p>\n") : QString(), esc(sold.title),
                           esc(sold.auctionId), esc(sold.winner), ratings, esc(commentField)));
}

QString feedbackDone(const demo::ClosedListing& sold) {
    return layout(
        QStringLiteral("Yahoo!オークション - 評価の完了"),
        QStringLiteral("<h1>評価の完了</h1>\n<p id=\"feedbackDone\">%1 さんへの評価を投稿しました。</p>\n").arg(esc(sold.winner)));
}

QString feedbackRefused(const demo::ClosedListing& sold) {
    return layout(
        QStringLiteral("Yahoo!オークション - 評価"),
        QStringLiteral("<h1>評価</h1>\n<p id=\"feedbackError\">この取引（%1）はすでに評価済みです。</p>\n").arg(esc(sold.auctionId)));
}

QString notFound(const QString& path) {
    return layout(QStringLiteral("ページが見つかりません"),
                  QStringLiteral("<h1>ページが見つかりません</h1>\n<p>%1 は存在しません。</p>").arg(esc(path)));
}

QString error(int status) {
    return layout(QStringLiteral("エラー"), QStringLiteral("<h1>エラー %1</h1>\n<p>ただいまアクセスが集中しています。しばらくしてから"
                                                           "もう一度お試しください。</p>")
                                                .arg(status));
}

}  // namespace pages
