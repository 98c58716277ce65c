#include <QtTest>

#include <QNetworkAccessManager>

#include "mail/WebDocumentLoader.h"
#include "mail/mInterNet.h"
#include "settings/SiteAddresses.h"
#include "support/Browsing.h"
#include "support/SiteSimProcess.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "widgets/Browser.h"
#include "widgets/SharedNetwork.h"

namespace {
constexpr int kLoad = 30000;

bool load(Browser* b, const QString& address) { return loadAndWait(b, address, kLoad); }
}  // namespace

class TestFetchers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aStalledSiteEndsNearTheDeadlineWithTheWindowAlive() {
        SiteSimProcess sim({QStringLiteral("--fault"), QStringLiteral("/jp/auction/stalled=stall")});
        const QString address = sim.base() + QStringLiteral("/jp/auction/stalled");
        // Both give up at their deadline (short here) and keep the event loop running meanwhile.
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(50);
        WebDocumentLoader loader;
        QVERIFY(!loader.Doc_Load(address, 2));
        const int duringLoad = ticks;
        QString text = QStringLiteral("kept");
        QNetworkAccessManager net;
        QVERIFY(!mInterNet::Page_Get(net, address, &text, 2));
        const int duringGet = ticks - duringLoad;
        QCOMPARE(text, QStringLiteral("kept"));
        QVERIFY(duringLoad > 2);
        QVERIFY(duringGet > 2);
    }

    void pageGetSucceedsForTwoHundredsOnly() {
        SiteSimProcess sim({QStringLiteral("--fault"), QStringLiteral("/s199=status:199"), QStringLiteral("--fault"),
                            QStringLiteral("/s299=status:299"), QStringLiteral("--fault"), QStringLiteral("/s300=status:300"),
                            QStringLiteral("--fault"), QStringLiteral("/s404=status:404")});
        QNetworkAccessManager net;
        QString text;
        QVERIFY(mInterNet::Page_Get(net, sim.base() + QStringLiteral("/jp/auction/b123456789"), &text, 5));  // 200
        QVERIFY(mInterNet::Page_Get(net, sim.base() + QStringLiteral("/s299"), &text, 5));
        for (const char* path : {"/s199", "/s300", "/s404"}) {
            text = QStringLiteral("kept");
            QVERIFY2(!mInterNet::Page_Get(net, sim.base() + QLatin1String(path), &text, 5), path);
            QCOMPARE(text, QStringLiteral("kept"));
        }
        QVERIFY(!mInterNet::Page_Get(net, QStringLiteral("http://127.0.0.1:1/"), &text, 5));  // nobody listens
    }

    void eucJpTextArrivesIntact() {
        SiteSimProcess sim;
        QNetworkAccessManager net;
        QString text;
        QVERIFY(mInterNet::Page_Get(net, sim.base() + QStringLiteral("/jp/auction/b123456789"), &text));
        QVERIFY(text.contains(QStringLiteral("<title>Yahoo!オークション - 村上春樹「ノルウェイの森」上下巻 初版 帯付き</title>")));
        QVERIFY(text.contains(QStringLiteral("現在の価格：<b>1,500 円</b>")));
    }

    void theExtractorsOnRealPages() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        WebDocumentLoader loader;
        mInterNet::ItemPage item = mInterNet::readItemPage(loader, QStringLiteral("b123456789"));
        QVERIFY(item.loaded);
        QCOMPARE(*item.title, QStringLiteral("村上春樹「ノルウェイの森」上下巻 初版 帯付き"));
        QCOMPARE(item.price, QStringLiteral("1,500 円"));
        QCOMPARE(item.contactName, QStringLiteral("kuma_books22"));
        QCOMPARE(item.contactAddress, QStringLiteral("kuma.books22@example.jp"));

        item = mInterNet::readItemPage(loader, QStringLiteral("no_such_id"));
        QCOMPARE(*item.title, QStringLiteral("<HEAD><TITLE>Yahoo!オークション"));

        // An open listing's page has no こちら link: the contact stays as it was.
        item = mInterNet::readItemPage(loader, QStringLiteral("m012345678"));
        QCOMPARE(*item.title, QStringLiteral("テスト出品 テニスラケット"));
        QCOMPARE(item.contactName, QString());

        // Only one link after こちら; a page with no content is no document.
        folder.writeCp932(QStringLiteral("DATA/one.html"),
                          QStringLiteral("<html><head><title>x</title><meta charset=shift_jis></head><body>"
                                         "<a href=#a>こちら</a><a href=#b>winner</a></body></html>"));
        std::optional<mInterNet::Document> doc = loader.Doc_Load(QUrl::fromLocalFile(folder.file(QStringLiteral("DATA/one.html"))).toString(), 20);
        QVERIFY(doc);
        QString first, second = QStringLiteral("kept");
        mInterNet::Item_Contact(*doc, &first, &second);
        QCOMPARE(first, QStringLiteral("winner"));
        QCOMPARE(second, QStringLiteral("kept"));
        QCOMPARE(*mInterNet::Item_Title(*doc), QStringLiteral("<HEAD><TITLE>x"));
        folder.writeCp932(QStringLiteral("DATA/empty.html"), QString());
        QVERIFY(!loader.Doc_Load(QUrl::fromLocalFile(folder.file(QStringLiteral("DATA/empty.html"))).toString(), 20));

        // A page that cannot be reached is no document, and reads as an empty title.
        SiteAddresses::writeAll(QStringLiteral("http://127.0.0.1:1"));
        item = mInterNet::readItemPage(loader, QStringLiteral("b123456789"));
        QVERIFY(!item.loaded);
        QCOMPARE(*item.title, QString());
    }

    void plainRequestsCarryTheBrowsersSignIn() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        QNetworkAccessManager* net = SharedNetwork::manager();
        QString text;
        QVERIFY(mInterNet::Page_Get(*net, SiteAddresses::sellingUrl(), &text));
        QVERIFY(!text.contains(QStringLiteral("管理")));  // signed out: no list

        Browser b;  // signed in in a browser...
        QVERIFY(load(&b, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_test")));
        QTRY_VERIFY_WITH_TIMEOUT(mInterNet::Page_Get(*net, SiteAddresses::sellingUrl(), &text) &&
                                     text.contains(QStringLiteral("テスト出品 テニスラケット")),
                                 kLoad);  // ...holds for the plain request

        // And a cookie a plain request receives reaches the browsers.
        QVERIFY(mInterNet::Page_Get(*net, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_demo"), &text));
        QVERIFY(load(&b, SiteAddresses::sellingUrl()));
        QTRY_VERIFY_WITH_TIMEOUT(b.bodyText().text().contains(QStringLiteral("sorabako_demo さんの出品中")), kLoad);
    }
};

SORABAKO_GUI_TEST_MAIN(TestFetchers)
#include "tst_fetchers.moc"
