#include "site/SiteFacts.h"

#include <QSet>

#include "core/Prefectures.h"
#include "core/TextFile.h"

namespace site {
namespace {

QStringList hours() {
    // The site's end hours: 午前0時から午前1時 … 午後11時から午前0時.
    const auto name = [](int h) -> QString {
        return (h % 24 < 12 ? QStringLiteral("午前") : QStringLiteral("午後")) + QString::number(h % 12) + QStringLiteral("時");
    };
    QStringList l;
    for (int h = 0; h < 24; ++h) l << name(h) + QStringLiteral("から") + name(h + 1);
    return l;
}

// Where the program scrolls a page to, in pixels from its top: the site's pages are a few
// thousand pixels long; a position past the end only shows the end.
constexpr qint64 kFarthestPosition = 100000;
// Tab presses from one element of the upload page to another: a handful on any page.
constexpr qint64 kMostTabs = 99;
// A listing keeps three pictures (its memory file has three): a site that takes fewer may say so.
constexpr qint64 kMostPictures = 3;
// The size a picture is made to fit: below some KB no picture fits however small it is made;
// anything above a picture of the long side the program sends is the same as no limit.
constexpr qint64 kSmallestPictureLimit = 10 * 1024;
constexpr qint64 kLargestPictureLimit = 100 * 1024 * 1024;

Fact one(const QString& section, const char* key, const QString& value) { return {section, QString::fromUtf8(key), value, 0, 0, 0}; }
Fact number(const QString& section, const QString& key, qint64 value, qint64 least, qint64 most) {
    return {section, key, QString::number(value), 0, least, most};
}
Fact number(const QString& section, const char* key, qint64 value, qint64 least, qint64 most) {
    return number(section, QString::fromUtf8(key), value, least, most);
}

Fact many(const QString& section, const char* key, const QStringList& values) {
    return {section, QString::fromUtf8(key), values.join(QLatin1Char(',')), static_cast<int>(values.size()), 0, 0};
}

// A form field: its element and where the page shows it.
void field(QList<Fact>& facts, const char* meaning, const char* element, int scrollY) {
    facts << one(kForm, meaning, QString::fromLatin1(element));
    facts << number(kForm, QString::fromUtf8(meaning) + QStringLiteral(".位置"), scrollY, 0, kFarthestPosition);
}

QList<Fact> makeFacts() {
    QList<Fact> f;
    f << one(kPaths, "出品開始", QStringLiteral("/jp/0-submit.html"))
      << one(kPaths, "出品終了分", QStringLiteral("/jp/show/mystatus?select=closed&hasWinner=1"))
      << one(kPaths, "出品中", QStringLiteral("/jp/show/mystatus?select=selling"))
      << one(kPaths, "商品ページ", QStringLiteral("/jp/auction/")) << one(kPaths, "カテゴリ", QStringLiteral("/jp/submit/category"))
      << one(kPaths, "画像アップロード", QStringLiteral("/jp/submit/image")) << one(kPaths, "評価", QStringLiteral("/jp/feedback?aid="))
      << one(kPaths, "ログアウト", QStringLiteral("/config/login?.lg=jp&.intl=jp&logout=1&.src=www&.done="))
      << one(kPaths, "ログイン画面", QStringLiteral("/config/login?.src=www&partner=&.protoctl=&.v=&.u=&.intl=jp&.done="));

    field(f, "タイトル", "Title", 450);
    field(f, "説明", "Description", 650);
    const std::pair<const char*, const char*> payments[] = {{"かんたん決済", "ypmOK"},
                                                            {"銀行振込", "aspj1"},
                                                            {"郵便振替", "aspj2"},
                                                            {"イーバンク銀行決済", "aspj8"},
                                                            {"ジャパンネットバンク決済", "aspj9"},
                                                            {"みずほ銀行決済", "aspj10"},
                                                            {"UFJ銀行決済", "aspj11"},
                                                            {"現金書留", "aspj3"},
                                                            {"商品代引", "aspj4"},
                                                            {"クレジットカード", "ycc"},
                                                            {"その他", "aspj7"},
                                                            {"NTTコム・セーフティパス決済", "ccmOK"}};
    for (const auto& [meaning, id] : payments) field(f, meaning, id, 900);
    field(f, "送料負担", "shipping", 960);
    field(f, "発送時期", "shiptime", 960);
    field(f, "海外発送", "intlOK", 1100);
    field(f, "Yahoo!ゆうパック", "ypkOK", 1100);
    field(f, "都道府県", "loc_cd", 1210);
    f << many(kForm, "都道府県.選択肢", kJisPrefectures + QStringList{QStringLiteral("海外")})
      << one(kForm, "都道府県.未選択", QStringLiteral("選択してください"));
    field(f, "市区町村", "city", 1210);
    field(f, "オークションチェック", "escj1", 1500);
    field(f, "イオンレジオークション", "escj6", 1500);
    field(f, "数量", "Quantity", 1800);
    field(f, "開始価格", "StartPrice", 1800);
    field(f, "期間", "Duration", 1800);
    f << many(kForm, "期間.選択肢",
              {QStringLiteral("2日間"), QStringLiteral("3日間"), QStringLiteral("4日間"), QStringLiteral("5日間"), QStringLiteral("6日間"),
               QStringLiteral("7日間")})
      << one(kForm, "期間.未選択", QString());
    field(f, "注目のオークション", "featuredAmount", 2000);
    field(f, "太字テキスト", "boldSelected", 2200);
    field(f, "背景色", "highlightlistingSelected", 2500);
    field(f, "送料無料アイコン", "postagefreeSelected", 2500);
    field(f, "目立ちアイコン", "giftSelected", 2600);
    f << many(kForm, "目立ちアイコン.選択肢",
              {QStringLiteral("なし"), QStringLiteral("新品"), QStringLiteral("美品"), QStringLiteral("非売品"), QStringLiteral("限定品"),
               QStringLiteral("保証書付"), QStringLiteral("全巻セット"), QStringLiteral("正規店購入"), QStringLiteral("産地直送")})
      << one(kForm, "目立ちアイコン.未選択", QStringLiteral("選択してください"));
    field(f, "贈答品アイコン", "wrappingSelected", 2800);
    field(f, "即買価格", "JpBuyNowPrice", 2800);
    field(f, "最低落札価格", "ReservePrice", 2800);
    field(f, "入札者評価制限", "minBidRating", 3100);
    field(f, "自動延長", "AutoExtension", 3100);
    field(f, "早期終了", "CloseEarly", 3100);
    field(f, "希望落札価格", "BidOrBuyPrice", 3200);
    field(f, "終了時間", "ClosingTime", 3200);
    f << many(kForm, "終了時間.選択肢", hours()) << one(kForm, "終了時間.未選択", QString());
    field(f, "自動再出品", "numResubmit", 3200);
    f << many(kForm, "自動再出品.選択肢", {QStringLiteral("1回"), QStringLiteral("2回"), QStringLiteral("3回")})
      << one(kForm, "自動再出品.未選択", QStringLiteral("しない"));
    f << one(kForm, "続けるボタン", QStringLiteral("btn")) << one(kForm, "続けるボタンの表示", QStringLiteral("続ける"))
      << number(kForm, "ページの位置", 200, 0, kFarthestPosition) << one(kForm, "送信ボタン", QStringLiteral("next"))
      << one(kForm, "カテゴリの表示", QStringLiteral("選択中のカテゴリ:"));

    f << one(kUpload, "題名", QStringLiteral("Yahoo!オークション - 画像のアップロード"))
      << number(kUpload, "位置", 10, 0, kFarthestPosition) << one(kUpload, "選択ボタン", QStringLiteral("select"))
      << number(kUpload, "ファイル欄までのTab", 4, 0, kMostTabs) << number(kUpload, "送信ボタンまでのTab", 2, 0, kMostTabs)
      << one(kUpload, "アップロード済みの印", QStringLiteral("uploaded")) << one(kUpload, "確認画面へ", QStringLiteral("toConfirm"))
      << number(kUpload, "枚数の上限", 3, 1, kMostPictures)
      << number(kUpload, "1枚の上限", 5242880, kSmallestPictureLimit, kLargestPictureLimit)
      << one(kUpload, "上限の文言", QStringLiteral("画像は3枚まで、1枚あたり5MBまでです。"));

    f << one(kConfirm, "同意ボタンの表示", QStringLiteral("利用規約とガイドラインに同意する"))
      << number(kConfirm, "位置", 6000, 0, kFarthestPosition)
      << one(kConfirm, "題名", QStringLiteral("Yahoo!オークション - 出品内容の確認"))
      << one(kConfirm, "内容の表", QStringLiteral("confirm"));

    f << one(kFinished, "題名", QStringLiteral("Yahoo!オークション - 出品完了"))
      << one(kFinished, "オークションID", QStringLiteral("auctionId"));

    f << one(kItem, "題名の前置き", QStringLiteral("\"Yahoo!オークション - \""))
      << one(kItem, "IDが無い時の題名", QStringLiteral("Yahoo!オークション")) << one(kItem, "現在の価格", QStringLiteral("現在の価格："))
      << one(kItem, "ウォッチ", QStringLiteral("ウォッチリストに追加した総数：")) << one(kItem, "残り時間", QStringLiteral("残り時間："))
      << one(kItem, "アクセス", QStringLiteral("アクセス総数：")) << one(kItem, "価格の単位", QStringLiteral("\" 円\""))
      << one(kItem, "連絡先", QStringLiteral("こちら")) << one(kItem, "送付先", QStringLiteral("送付先："));

    f << one(kSelling, "一覧の始まり", QStringLiteral("残り時間")) << one(kSelling, "一覧の終わり", QStringLiteral("プライバシーの考え方"))
      << one(kSelling, "管理", QStringLiteral("管理")) << one(kSelling, "次のページ", QStringLiteral("次の50件"))
      << one(kSelling, "前のページ", QStringLiteral("前の50件"));

    f << one(kClosed, "パスワード再入力", QStringLiteral("続けるにはパスワードを再入力してください"))
      << one(kClosed, "ログインボタン", QStringLiteral(".save")) << one(kClosed, "ログインボタンの表示", QStringLiteral("ログイン"))
      << one(kClosed, "次のページ", QStringLiteral("次の50件"));

    f << one(kLogin, "フォーム", QStringLiteral("login_form")) << one(kLogin, "ID欄", QStringLiteral("login"))
      << one(kLogin, "パスワード欄", QStringLiteral("passwd")) << one(kLogin, "ログインしたままにする", QStringLiteral(".persistent"))
      << one(kLogin, "ログインボタン", QStringLiteral(".save")) << one(kLogin, "ログインボタンの表示", QStringLiteral("ログイン"))
      << many(kLogin, "失敗の文言",
              {QStringLiteral("画像の数字:"), QStringLiteral("Yahoo! JAPAN IDとパスワードを再入力してください。"),
               QStringLiteral("正しくありません")});
    // A sale's feedback: the ratings' elements from 非常に良い to 非常に悪い, the comment, the button
    // the seller presses, and what the page says after it or for a sale rated already.
    f << one(kFeedback, "題名", QStringLiteral("Yahoo!オークション - 評価の入力"))
      << many(kFeedback, "評価.選択肢",
              {QStringLiteral("rating5"), QStringLiteral("rating4"), QStringLiteral("rating3"), QStringLiteral("rating2"),
               QStringLiteral("rating1")})
      << one(kFeedback, "コメント欄", QStringLiteral("comment")) << one(kFeedback, "投稿ボタン", QStringLiteral("submitFeedback"))
      << one(kFeedback, "完了", QStringLiteral("feedbackDone")) << one(kFeedback, "評価済み", QStringLiteral("feedbackError"));
    return f;
}

QString keyOf(const QString& section, const QString& key) { return section + QLatin1Char('/') + key; }

// A value as the file holds it: blanks around it dropped, unless it is quoted.
QString unquoted(const QString& value) {
    const QString v = value.trimmed();
    if (v.size() >= 2 && v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"'))) return v.mid(1, v.size() - 2);
    return v;
}

// Digits only, no sign, no blank inside, no full-width digit: what the program's toInt() reads as typed.
bool withinRange(const QString& value, qint64 least, qint64 most) {
    if (value.isEmpty() || value.size() > 18) return false;
    for (QChar c : value)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    const qint64 n = value.toLongLong();
    return n >= least && n <= most;
}

const Fact* factOf(const QString& section, const QString& key) {
    for (const Fact& f : allFacts())
        if (f.section == section && f.key == key) return &f;
    return nullptr;
}

Facts& current() {
    static Facts facts = Facts::builtIn();
    return facts;
}
}  // namespace

const QList<Fact>& allFacts() {
    static const QList<Fact> facts = makeFacts();
    return facts;
}

Facts Facts::builtIn() {
    Facts facts;
    for (const Fact& f : allFacts()) facts.m_values.insert(keyOf(f.section, f.key), unquoted(f.builtIn));
    return facts;
}

Facts Facts::fromFile(const QString& path, DefinitionProblem* problem) {
    *problem = DefinitionProblem();
    Facts facts = builtIn();
    QString text;
    switch (TextFile::readCp932Text(path, &text)) {
        case TextFile::Read::Missing: return facts;
        case TextFile::Read::NotText:
            problem->reason = QStringLiteral("Shift-JIS（CP932）のテキストファイルではありません。");
            return facts;
        case TextFile::Read::Ok: break;
    }
    Facts read = facts;
    QString section;
    // An editor of old Macs ends lines with CR alone: the whole file on one line would be one comment.
    const QStringList lines = TextFile::splitLines(text);
    for (int i = 0; i < lines.size(); ++i) {
        const QString t = lines[i].trimmed();
        if (t.isEmpty() || t.startsWith(QLatin1Char(';'))) continue;
        const auto fail = [&](const QString& reason) {
            problem->line = i + 1;
            problem->reason = reason;
            return facts;  // the built-in values, whole
        };
        if (t.startsWith(QLatin1Char('['))) {
            if (!t.endsWith(QLatin1Char(']'))) return fail(QStringLiteral("節の名前が「]」で終わっていません。"));
            section = t.mid(1, t.size() - 2).trimmed();
            continue;
        }
        const qsizetype eq = t.indexOf(QLatin1Char('='));
        if (eq <= 0) return fail(QStringLiteral("「名前=値」の形ではありません。"));
        if (section.isEmpty()) return fail(QStringLiteral("節（[出品フォーム] など）の前に値があります。"));
        const QString key = t.left(eq).trimmed();
        const Fact* known = factOf(section, key);
        if (!known) return fail(QStringLiteral("「[%1] %2」はソラバコの知らない項目です。").arg(section, key));
        const QString value = unquoted(t.mid(eq + 1));
        if (known->items > 0) {
            const qsizetype count = value.split(QLatin1Char(',')).size();
            if (count != known->items)
                return fail(QStringLiteral("「%1」は %2 個の値を「,」で区切って書いて下さい（%3 個あります）。")
                                .arg(key)
                                .arg(known->items)
                                .arg(count));
        }
        if (known->isNumber() && !withinRange(value, known->least, known->most))
            return fail(QStringLiteral("「%1」は %2 から %3 までの数を半角の数字で書いて下さい（「%4」とあります）。")
                            .arg(key)
                            .arg(known->least)
                            .arg(known->most)
                            .arg(value));
        read.m_values.insert(keyOf(section, key), value);
    }
    return read;
}

QString Facts::builtInFileText() {
    QString out = QStringLiteral(
        "; ソラバコのサイト定義。サイトのページが変わったときは、ここで値を書き換えて下さい。\r\n"
        "; 書いていない項目はソラバコの既定値を使います。前後に空白がある値は \"\" で囲みます。\r\n"
        "; 選択肢は、ソラバコの一覧の順に、サイトの表示を「,」で区切って書きます。\r\n");
    QString section;
    for (const Fact& f : allFacts()) {
        if (f.section != section) {
            section = f.section;
            out += QStringLiteral("\r\n[%1]\r\n").arg(section);
        }
        out += f.key + QLatin1Char('=') + f.builtIn + QStringLiteral("\r\n");
    }
    return out;
}

const Facts& Facts::current() { return site::current(); }
void Facts::setCurrent(const Facts& facts) { site::current() = facts; }

QString Facts::text(const QString& section, const QString& key) const { return m_values.value(keyOf(section, key)); }

QStringList Facts::list(const QString& section, const QString& key) const {
    const QString v = text(section, key);
    return v.isEmpty() ? QStringList() : v.split(QLatin1Char(','));
}

bool Facts::has(const QString& section, const QString& key) const { return m_values.contains(keyOf(section, key)); }

QString problemMessage(const QString& path, const DefinitionProblem& problem) {
    QString where = path;
    if (problem.line > 0) where += QStringLiteral("（%1 行目）").arg(problem.line);
    return QStringLiteral("サイト定義ファイルを読み込めませんでした。\r\n") + where + QStringLiteral("\r\n") + problem.reason +
           QStringLiteral("\r\nソラバコの既定の値で続けます。");
}

}  // namespace site
