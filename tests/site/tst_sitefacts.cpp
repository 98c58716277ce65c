// The site as data: the built-in facts, the seller's definition file on top
// of them, a damaged file, and the program's lists against the site's.
#include <QtTest>

#include "core/Cp932.h"
#include "core/TextFile.h"
#include "site/Addresses.h"
#include "site/ListingForm.h"
#include "site/SignIn.h"
#include "site/SiteFacts.h"
#include "listing/form/MirrorTable.h"

namespace {
void write(const QString& path, const QString& text) { QVERIFY(TextFile::writeBytes(path, cp932::encode(text))); }
}  // namespace

class TestSiteFacts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { site::Facts::setCurrent(site::Facts::builtIn()); }

    void everyListOfThePaneHasTheSitesTextForEachEntry() {
        // Entry by entry, the text the site's option shows for it.
        const std::pair<const char*, QStringList> lists[] = {{"期間", listing::durations()},
                                                             {"目立ちアイコン", listing::eyeCatchIcons()},
                                                             {"終了時間", listing::endHours()},
                                                             {"自動再出品", listing::relistings()},
                                                             {"都道府県", listing::sellerRegions()}};
        for (const auto& [meaning, entries] : lists) QCOMPARE(site::fieldOptions(QString::fromUtf8(meaning)).size(), entries.size());
        QCOMPARE(site::fieldOptions(QStringLiteral("期間")).value(3), QStringLiteral("5日間"));
        QCOMPARE(site::fieldOptions(QStringLiteral("目立ちアイコン")).value(0), QStringLiteral("なし"));  // the blank entry: no icon
        QCOMPARE(site::fieldOptions(QStringLiteral("終了時間")).value(12), QStringLiteral("午後0時から午後1時"));
        QCOMPARE(site::fieldOptions(QStringLiteral("終了時間")).value(23), QStringLiteral("午後11時から午前0時"));
        QCOMPARE(site::fieldNoChoice(QStringLiteral("自動再出品")), QStringLiteral("しない"));
        QCOMPARE(site::fieldNoChoice(QStringLiteral("期間")), QString());
        // The pane's own region list and the site's: the same prefectures in the same order.
        QCOMPARE(site::fieldOptions(QStringLiteral("都道府県")), listing::sellerRegions());
        // Every control with a mirror writes a field the site has.
        for (const listing::Mirror& m : listing::mirrors()) {
            QVERIFY2(site::formField(m.meaning), qPrintable(m.meaning));
            QVERIFY2(!site::fieldElement(m.meaning).isEmpty(), qPrintable(m.meaning));
        }
    }

    void loginPromptsOfTheClosedListings() {
        const QString again = QStringLiteral("Yahoo! JAPAN\n続けるにはパスワードを再入力してください。\n");
        const QString login = QStringLiteral("ログイン");
        QCOMPARE(site::loginPrompts(again, {login}), 1);  // the text wins over the button
        QCOMPARE(site::loginPrompts(QStringLiteral("出品終了分"), {login, login}), 2);
        QCOMPARE(site::loginPrompts(QStringLiteral("出品終了分"), {QStringLiteral("次へ"), login}), 1);
        QCOMPARE(site::loginPrompts(QStringLiteral("出品終了分"), {}), 0);
        QVERIFY(site::isFailurePage(QStringLiteral("…画像の数字: ____")));
        QVERIFY(!site::isFailurePage(QStringLiteral("ログイン")));
    }

    void theShippedFileHoldsTheBuiltInValues() {
        QTemporaryDir dir;
        const QString path = dir.filePath(site::kDefinitionFile);
        write(path, site::Facts::builtInFileText());
        site::DefinitionProblem problem;
        const site::Facts read = site::Facts::fromFile(path, &problem);
        QVERIFY2(!problem.any(), qPrintable(problem.reason));
        for (const site::Fact& f : site::allFacts()) QCOMPARE(read.text(f.section, f.key), site::Facts::builtIn().text(f.section, f.key));
        // The blanks a value keeps in quotes.
        QCOMPARE(read.text(site::kItem, QStringLiteral("題名の前置き")), QStringLiteral("Yahoo!オークション - "));
        // And the shipped folder's copy is that text.
        QString shipped;
        QCOMPARE(TextFile::readCp932Text(
                     qEnvironmentVariable("SORABAKO_SOURCE_DIR") + QStringLiteral("/folder/MAST/") + site::kDefinitionFile, &shipped),
                 TextFile::Read::Ok);
        QCOMPARE(shipped, site::Facts::builtInFileText());
    }

    void aKeyTheSellerChangedIsUsedTheRestIsBuiltIn_data() {
        QTest::addColumn<QString>("lineEnd");
        QTest::newRow("CR LF") << QStringLiteral("\r\n");
        QTest::newRow("LF") << QStringLiteral("\n");
        QTest::newRow("CR") << QStringLiteral("\r");
    }
    void aKeyTheSellerChangedIsUsedTheRestIsBuiltIn() {
        QFETCH(QString, lineEnd);
        QTemporaryDir dir;
        const QString path = dir.filePath(site::kDefinitionFile);
        write(path, QStringLiteral("; 変えたところ\n[出品フォーム]\n数量=Quantity_2\n期間.選択肢=2日間,3日間,4日間,5日間,6日間,6日間\n"
                                   "[商品ページ]\n現在の価格 = 現在価格：\n[画像アップロード]\n枚数の上限=1\nファイル欄までのTab=0\n")
                        .replace(QLatin1Char('\n'), lineEnd));
        site::DefinitionProblem problem;
        site::Facts::setCurrent(site::Facts::fromFile(path, &problem));
        QVERIFY(!problem.any());
        QCOMPARE(site::fieldElement(QStringLiteral("数量")), QStringLiteral("Quantity_2"));
        QCOMPARE(site::fieldOptions(QStringLiteral("期間")).last(), QStringLiteral("6日間"));
        QCOMPARE(site::fact(site::kItem, QStringLiteral("現在の価格")), QStringLiteral("現在価格："));
        QCOMPARE(site::maxPictures(), 1);
        QCOMPARE(site::tabsToFileField(), 0);
        QCOMPARE(site::fieldElement(QStringLiteral("開始価格")), QStringLiteral("StartPrice"));
        // A folder of an earlier version has no file: the built-in values, and nothing to say.
        const site::Facts none = site::Facts::fromFile(dir.filePath(QStringLiteral("none.ini")), &problem);
        QVERIFY(!problem.any());
        QCOMPARE(none.text(site::kForm, QStringLiteral("数量")), QStringLiteral("Quantity"));
    }

    void aDamagedFileIsSaidWithItsLineAndTheBuiltInValuesStand_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("says");  // the reason, where a row is about its wording
        QTest::newRow("junk") << QByteArray("\x00\x01\xff\xfe junk", 10) << 0 << QString();
        QTest::newRow("no key") << cp932::encode(QStringLiteral("[出品フォーム]\r\n数量=Quantity_2\r\nこれは何\r\n")) << 3 << QString();
        QTest::newRow("no section") << cp932::encode(QStringLiteral("数量=Quantity_2\r\n")) << 1 << QString();
        QTest::newRow("wrong count") << cp932::encode(QStringLiteral("[出品フォーム]\r\n期間.選択肢=2日間,3日間\r\n")) << 2 << QString();
        QTest::newRow("unknown key") << cp932::encode(QStringLiteral("; a comment\r\n[出品フォーム]\r\n数量=Quantity_2\r\n色=赤\r\n")) << 4
                                     << QString();
        QTest::newRow("open section") << cp932::encode(QStringLiteral("[出品フォーム\r\n")) << 1 << QString();
        QTest::newRow("more values") << cp932::encode(
                                            QStringLiteral("[出品フォーム]\r\n期間.選択肢=2日間,3日間,4日間,5日間,6日間,7日間,8日間\r\n"))
                                     << 2 << QStringLiteral("「期間.選択肢」は 6 個の値を「,」で区切って書いて下さい（7 個あります）。");
        QTest::newRow("CR alone") << cp932::encode(QStringLiteral("[出品フォーム]\r数量=Quantity_2\rこれは何\r")) << 3 << QString();
        // Numbers: digits within what the fact can mean.
        QTest::newRow("tabs") << cp932::encode(QStringLiteral("[画像アップロード]\r\nファイル欄までのTab=100000000\r\n")) << 2 << QString();
        QTest::newRow("no number") << cp932::encode(QStringLiteral("[画像アップロード]\r\n枚数の上限=abc\r\n")) << 2
                                   << QStringLiteral("「枚数の上限」は 1 から 3 までの数を半角の数字で書いて下さい（「abc」とあります）。");
        QTest::newRow("more pictures than a listing has")
            << cp932::encode(QStringLiteral("[画像アップロード]\r\n枚数の上限=4\r\n")) << 2 << QString();
        QTest::newRow("negative") << cp932::encode(QStringLiteral("[画像アップロード]\r\n1枚の上限=-1\r\n")) << 2 << QString();
        QTest::newRow("empty") << cp932::encode(QStringLiteral("[確認画面]\r\n位置=\r\n")) << 2 << QString();
        QTest::newRow("full-width") << cp932::encode(QStringLiteral("[出品フォーム]\r\n数量.位置=１８００\r\n")) << 2 << QString();
    }
    void aDamagedFileIsSaidWithItsLineAndTheBuiltInValuesStand() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const QString path = dir.filePath(site::kDefinitionFile);
        QVERIFY(TextFile::writeBytes(path, bytes));
        site::DefinitionProblem problem;
        const site::Facts read = site::Facts::fromFile(path, &problem);
        QVERIFY(problem.any());
        QCOMPARE(problem.line, line);
        // Not half of the file: the built-in values, whole.
        QCOMPARE(read.text(site::kForm, QStringLiteral("数量")), QStringLiteral("Quantity"));
        const QString message = site::problemMessage(path, problem);
        QVERIFY(message.startsWith(QStringLiteral("サイト定義ファイルを読み込めませんでした。\r\n") + path));
        if (line > 0) QVERIFY(message.contains(QStringLiteral("（%1 行目）").arg(line)));
        QVERIFY(message.endsWith(QStringLiteral("ソラバコの既定の値で続けます。")));
        if (!says.isEmpty()) QCOMPARE(problem.reason, says);
    }

    void addressesAreTheHostsAndTheSitesPaths() {
        const site::Hosts hosts{QStringLiteral("http://a"),      QStringLiteral("http://c"), QStringLiteral("http://p"),
                                QStringLiteral("http://s"),      QStringLiteral("http://l"), QStringLiteral("http://top/"),
                                QStringLiteral("http://product")};
        QCOMPARE(site::itemUrl(hosts, QStringLiteral("x 1")), QStringLiteral("http://p/jp/auction/x 1"));
        QCOMPARE(site::sellingUrl(hosts), QStringLiteral("http://s/jp/show/mystatus?select=selling"));
        QVERIFY(site::loginPageUrl(hosts).endsWith(QStringLiteral("&.done=http%3a//top/")));
    }
};

QTEST_GUILESS_MAIN(TestSiteFacts)
#include "tst_sitefacts.moc"
