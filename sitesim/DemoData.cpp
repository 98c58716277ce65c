#include "DemoData.h"

namespace demo {
namespace {

struct Account {
    QString login;
    QString password;
};

const QList<Account>& accounts() {
    static const QList<Account> list = {
        {QStringLiteral("sorabako_demo"), QStringLiteral("demo1234")},
        {QStringLiteral("sorabako_test"), QStringLiteral("test5678")},
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
        if (category.parent == parent)
            out << category;
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
        if (category.id == id)
            return &category;
    return nullptr;
}

bool passwordMatches(const QString& login, const QString& password) {
    for (const Account& account : accounts())
        if (account.login == login && account.password == password)
            return true;
    return false;
}

QList<ClosedListing> closedWithWinner(const QString& seller) {
    if (seller == QLatin1String("sorabako_demo")) {
        return {
            {QStringLiteral("b123456789"), QStringLiteral("村上春樹「ノルウェイの森」上下巻 初版 帯付き"), 1500,
             QStringLiteral("kuma_books22"), QStringLiteral("2024/05/12 21:14")},
            {QStringLiteral("c234567890"), QStringLiteral("SONY ウォークマン NW-A55 ブラック 動作確認済み"), 8200,
             QStringLiteral("audio_fan_77"), QStringLiteral("2024/05/13 22:03")},
            {QStringLiteral("d345678901"), QStringLiteral("ポケモンカード 旧裏面 リザードン"), 12800,
             QStringLiteral("card_master_jp"), QStringLiteral("2024/05/14 20:30")},
            {QStringLiteral("e456789012"), QStringLiteral("セイコー 腕時計 自動巻き ジャンク品"), 3300,
             QStringLiteral("tokei_collector"), QStringLiteral("2024/05/15 23:45")},
            {QStringLiteral("f567890123"), QStringLiteral("ダウンジャケット Mサイズ ネイビー"), 2000,
             QStringLiteral("shopping_mama"), QStringLiteral("2024/05/16 21:00")},
        };
    }
    if (seller == QLatin1String("sorabako_test")) {
        return {
            {QStringLiteral("g678901234"), QStringLiteral("テスト出品 文庫本まとめて10冊"), 800,
             QStringLiteral("yomu_yomu"), QStringLiteral("2024/05/10 22:10")},
            {QStringLiteral("h789012345"), QStringLiteral("テスト出品 ミニ四駆 パーツセット"), 1200,
             QStringLiteral("speed_kids"), QStringLiteral("2024/05/11 21:40")},
        };
    }
    return {};
}

QList<OpenListing> selling(const QString& seller) {
    if (seller == QLatin1String("sorabako_demo")) {
        return {
            {QStringLiteral("j890123456"), QStringLiteral("ニコン 一眼レフ D5300 レンズキット"), 25000, 4,
             QStringLiteral("2024/05/20 21:00")},
            {QStringLiteral("k901234567"), QStringLiteral("昭和レトロ 切手シート まとめて"), 1000, 0,
             QStringLiteral("2024/05/21 22:00")},
        };
    }
    if (seller == QLatin1String("sorabako_test")) {
        return {
            {QStringLiteral("m012345678"), QStringLiteral("テスト出品 テニスラケット"), 500, 1,
             QStringLiteral("2024/05/22 20:00")},
        };
    }
    return {};
}

}  // namespace demo
