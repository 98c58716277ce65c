#include "DemoData.h"

namespace demo {
namespace {

struct Account {
    QString login;
    QString password;
};

const QList<Account>& registered() {
    static const QList<Account> list = {
        {QStringLiteral("sorabako_demo"), QStringLiteral("demo1234")},
        {QStringLiteral("sorabako_test"), QStringLiteral("test5678")},
        {QStringLiteral("sorabako_bench"), QStringLiteral("bench0000")},  // 150 open listings, for benchmarks
    };
    return list;
}

}  // namespace

const QList<Category>& categories() {
    static const QList<Category> list = {
        {21600, QStringLiteral("本、雑誌")},
        {21601, QStringLiteral("文学、小説"), 21600},
        {21602, QStringLiteral("漫画、コミック"), 21600},
        {21603, QStringLiteral("雑誌"), 21600},
        {23632, QStringLiteral("家電、AV、カメラ")},
        {23633, QStringLiteral("カメラ、光学機器"), 23632},
        {23634, QStringLiteral("デジタル一眼"), 23633},
        {23635, QStringLiteral("レンズ"), 23633},
        {23636, QStringLiteral("オーディオ機器"), 23632},
        {23000, QStringLiteral("ファッション")},
        {23001, QStringLiteral("メンズ"), 23000},
        {23002, QStringLiteral("レディース"), 23000},
        {25464, QStringLiteral("おもちゃ、ゲーム")},
        {25465, QStringLiteral("テレビゲーム"), 25464},
        {25466, QStringLiteral("トレーディングカード"), 25464},
        {24698, QStringLiteral("スポーツ、レジャー")},
        {24699, QStringLiteral("テニス"), 24698},
        {20000, QStringLiteral("アンティーク、コレクション")},
        {20001, QStringLiteral("切手、官製はがき"), 20000},
        {20002, QStringLiteral("時計"), 20000},
    };
    return list;
}

QList<Category> childrenOf(int parent) {
    QList<Category> out;
    for (const Category& category : categories())
        if (category.parent == parent) out << category;
    return out;
}

QString categoryPath(const Category& category) {
    QString path = category.name;
    for (const Category* up = findCategory(category.parent); up; up = findCategory(up->parent))
        path = up->name + QStringLiteral(" > ") + path;
    return path;
}

const Category* findCategory(int id) {
    for (const Category& category : categories())
        if (category.id == id) return &category;
    return nullptr;
}

QStringList accounts() {
    QStringList ids;
    for (const Account& account : registered()) ids << account.login;
    return ids;
}

bool passwordMatches(const QString& login, const QString& password) {
    for (const Account& account : registered())
        if (account.login == login && account.password == password) return true;
    return false;
}

// The names and addresses carry the characters a strict EUC-JP table loses:
// ①, Ⅱ, ㈱, ～, ∥ and the NEC-selected IBM ones (髙, 﨑, 纊, 褜).
QList<ClosedListing> closedWithWinner(const QString& seller) {
    if (seller == QLatin1String("sorabako_demo")) {
        return {
            {QStringLiteral("b123456789"), QStringLiteral("空箱文庫 詩集「夜の灯台」上下巻 初版 帯付き"), 1500,
             QStringLiteral("kuma_books22"), QStringLiteral("2024/05/12 21:14"), QStringLiteral("kuma.books22@example.jp"),
             QStringLiteral("髙橋 久美"), QStringLiteral("〒150-0001 東京都渋谷区空箱町１－２－３ ソラハイツ２０１")},
            {QStringLiteral("c234567890"), QStringLiteral("ハコ音響 ポータブルプレーヤー HP-5 ①本体 ②充電器"), 8200,
             QStringLiteral("audio_fan_77"), QStringLiteral("2024/05/13 22:03"), QStringLiteral("audio_fan_77@example.ne.jp"),
             QStringLiteral("山﨑 健太"), QStringLiteral("〒530-0001 大阪府大阪市北区ハコ町３丁目４番～６番")},
            {QStringLiteral("d345678901"), QStringLiteral("ソラ遊具 トレーディングカード 第Ⅱ弾 ホロ仕様"), 12800,
             QStringLiteral("card_master_jp"), QStringLiteral("2024/05/14 20:30"), QStringLiteral("cardmaster@example.com"),
             QStringLiteral("佐藤 美咲"), QStringLiteral("〒460-0001 愛知県名古屋市中区空町５－６ 纊ビル３階")},
            {QStringLiteral("e456789012"), QStringLiteral("㈱ソラ時計工房 自動巻き腕時計 ジャンク品"), 3300,
             QStringLiteral("tokei_collector"), QStringLiteral("2024/05/15 23:45"), QStringLiteral("tokei.c@example.jp"),
             QStringLiteral("褜田 一郎"), QStringLiteral("〒812-0001 福岡県福岡市博多区箱崎７－８")},
            {QStringLiteral("f567890123"), QStringLiteral("ハコ工房 ダウンジャケット M～L ネイビー ∥ストライプ∥"), 2000,
             QStringLiteral("shopping_mama"), QStringLiteral("2024/05/16 21:00"), QStringLiteral("mama-shop@example.ne.jp"),
             QStringLiteral("田中 花子"), QStringLiteral("〒980-0001 宮城県仙台市青葉区空箱９－１０")},
        };
    }
    if (seller == QLatin1String("sorabako_test")) {
        return {
            {QStringLiteral("g678901234"), QStringLiteral("テスト出品 文庫本まとめて10冊"), 800, QStringLiteral("yomu_yomu"),
             QStringLiteral("2024/05/10 22:10"), QStringLiteral("yomu@example.jp"), QStringLiteral("読田 読子"),
             QStringLiteral("〒100-0001 東京都千代田区ソラ１－１")},
            {QStringLiteral("h789012345"), QStringLiteral("テスト出品 ミニカー パーツセット"), 1200, QStringLiteral("speed_kids"),
             QStringLiteral("2024/05/11 21:40"), QStringLiteral("speed.kids@example.jp"), QStringLiteral("速水 翔"),
             QStringLiteral("〒220-0001 神奈川県横浜市西区ハコ２－２")},
        };
    }
    return {};
}

namespace {

// The demo seller's shop: about 120 listings made from a few invented
// products, so a scan walks three pages of 50.
QList<OpenListing> demoShop(int count) {
    const QStringList products{
        QStringLiteral("ソラ光学 SK-300 レンズキット"),        QStringLiteral("昭和レトロ風 記念切手シート まとめて"),
        QStringLiteral("空箱文庫 文庫本 10冊セット"),          QStringLiteral("ハコ靴店 スニーカー 26.5cm 美品"),
        QStringLiteral("ソラ遊具 ゲームソフト ①②③ 3本セット"), QStringLiteral("有田焼風 湯呑み 5客 箱入り"),
        QStringLiteral("ハコ革工房 長財布 ～本革～"),          QStringLiteral("ソラブロック 大容量ボックス 第Ⅱ弾"),
        QStringLiteral("ハコ釣具 スピニングリール 中古"),      QStringLiteral("古銭 寛永通宝 おまとめ"),
        QStringLiteral("㈱ソラ光学 コンパクトカメラ 動作品"),  QStringLiteral("手織り 纊布の反物 未使用"),
    };
    const QStringList bidders{QStringLiteral("hana_2010"), QStringLiteral("taro_collect"), QStringLiteral("m_sato88"),
                              QStringLiteral("kaitori_king"), QStringLiteral("yuki-chan")};
    QList<OpenListing> list;
    for (int i = 0; i < count; ++i) {
        OpenListing l;
        l.auctionId = QStringLiteral("k%1").arg(700000001 + i);
        l.title = products[i % products.size()] + QStringLiteral(" No.%1").arg(i + 1);
        l.price = 500 + (i * 370) % 9500;
        l.bids = i % 4 == 0 ? 1 + i % 7 : 0;
        l.endTime = QStringLiteral("2024/05/%1 %2:00").arg(20 + i % 8).arg(20 + i % 4);
        l.access = 5 + (i * 13) % 180;
        l.watch = i % 3 == 0 ? (i * 5) % 9 : 0;
        l.timeLeft = i % 8 == 0 ? QStringLiteral("%1時間").arg(1 + i % 23) : QStringLiteral("%1日").arg(1 + i % 6);
        if (l.bids > 0) l.bidder = bidders[i % bidders.size()];
        list << l;
    }
    return list;
}

}  // namespace

QList<OpenListing> selling(const QString& seller) {
    if (seller == QLatin1String("sorabako_demo")) return demoShop(120);
    if (seller == QLatin1String("sorabako_bench")) return demoShop(150);
    if (seller == QLatin1String("sorabako_test")) {
        return {
            {QStringLiteral("m012345678"), QStringLiteral("テスト出品 テニスラケット"), 500, 1, QStringLiteral("2024/05/22 20:00"), 12, 3,
             QStringLiteral("2日"), QStringLiteral("racket_fan")},
            {QStringLiteral("n123456789"), QStringLiteral("テスト出品 野球グローブ"), 800, 0, QStringLiteral("2024/05/23 21:00"), 4, 0,
             QStringLiteral("3日"), QString()},
            {QStringLiteral("p234567890"), QStringLiteral("テスト出品 サッカーボール"), 1200, 0, QStringLiteral("2024/05/24 22:00"), 0, 1,
             QStringLiteral("5時間"), QString()},
        };
    }
    return {};
}

void advance(QList<OpenListing>& listings, int round) {
    for (int i = 0; i < listings.size(); ++i) {
        OpenListing& l = listings[i];
        l.access += (i * 7 + round * 3) % 11;
        if (i % 9 == round % 9) ++l.watch;
        if (i % 13 == round % 13 && l.bids > 0) {
            ++l.bids;
            l.price += 100;
        }
    }
}

}  // namespace demo
