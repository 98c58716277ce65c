#include <QtTest>

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>

#include "core/Charset.h"
#include "site/WebDocumentLoader.h"
#include "site/mInterNet.h"
#include "settings/SiteAddresses.h"
#include "support/Browsing.h"
#include "support/SiteSimProcess.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "support/Quiet.h"
#include "widgets/Browser.h"
#include "widgets/PageGuard.h"
#include "site/SharedNetwork.h"

namespace {
constexpr int kLoad = 30000;

bool load(Browser* b, const QString& address) { return loadAndWait(b, address, kLoad); }

// The resident bytes of this program and of every process it started (the engine's).
qint64 residentWithChildren(qint64 pid) {
    qint64 total = PageGuard::residentBytes(pid);
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(tasks.filePath(task + QStringLiteral("/children")));
        if (!children.open(QIODevice::ReadOnly)) continue;
        for (const QByteArray& child : children.readAll().split(' '))
            if (!child.trimmed().isEmpty()) total += residentWithChildren(child.trimmed().toLongLong());
    }
    return total;
}

// The most memory the program and its engine held above `baseline` while `work` ran.
template <typename Work>
qint64 peakGrowth(Work work) {
    const qint64 pid = QCoreApplication::applicationPid();
    const qint64 baseline = residentWithChildren(pid);
    qint64 peak = baseline;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] { peak = qMax(peak, residentWithChildren(pid)); });
    sample.start(25);
    work();
    return qMax(peak, residentWithChildren(pid)) - baseline;
}
constexpr qint64 kMiB = 1024 * 1024;
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
        QVERIFY(text.contains(QStringLiteral("<title>Yahoo!オークション - 空箱文庫 詩集「夜の灯台」上下巻 初版 帯付き</title>")));
        QVERIFY(text.contains(QStringLiteral("現在の価格：<b>1,500 円</b>")));
        QVERIFY(text.contains(QStringLiteral(">髙橋 久美</a>")));
    }

    void aPlainRequestReadsWhatTheEngineReads() {
        // The same bytes from the site, read by Page_Get and by the web engine: the same text,
        // ①, Ⅱ, ㈱, ～, ∥ and the IBM characters (髙, 﨑, 纊, 褜) included.
        SiteSimProcess sim;
        QNetworkAccessManager net;
        Browser b;
        const QStringList ids{QStringLiteral("b123456789"), QStringLiteral("c234567890"), QStringLiteral("d345678901"),
                              QStringLiteral("e456789012"), QStringLiteral("f567890123")};
        QString all;
        for (const QString& id : ids) {
            const QString address = sim.base() + QStringLiteral("/jp/auction/") + id;
            QString text;
            QVERIFY(mInterNet::Page_Get(net, address, &text));
            QVERIFY(load(&b, address));
            const QString title = text.section(QStringLiteral("<title>"), 1).section(QStringLiteral("</title>"), 0, 0);
            QCOMPARE(title, b.documentTitle().text());
            for (const char* element : {"winner", "address"}) {
                const QString fromEngine =
                    b.evaluate(QStringLiteral("return document.getElementById('%1').textContent;").arg(QLatin1String(element)))
                        .value.toString();
                QVERIFY2(text.contains(QStringLiteral("id=\"%1\">").arg(QLatin1String(element))), element);
                QVERIFY2(!fromEngine.isEmpty() && text.contains(fromEngine.section(QLatin1Char(' '), 0, 0)), qPrintable(fromEngine));
            }
            all += text;
        }
        QVERIFY(!all.contains(QChar(0xFFFD)));
        for (const char* c : {"①", "Ⅱ", "㈱", "～", "∥", "髙", "﨑", "纊", "褜"}) QVERIFY2(all.contains(QString::fromUtf8(c)), c);
    }

    void everyEucJpCodeDecodesAsTheEngineDecodesIt() {
        // Every two-byte code, the half-width katakana, every JIS X 0212 code and some broken
        // sequences, in one page the engine reads as EUC-JP.
        TempProgramFolder folder;
        QByteArray body;
        for (int lead = 0xA1; lead <= 0xFE; ++lead) {
            for (int trail = 0xA1; trail <= 0xFE; ++trail) body += char(lead), body += char(trail);
            body += '\n';
        }
        for (int k = 0xA1; k <= 0xDF; ++k) body += char(0x8E), body += char(k);
        body += '\n';
        for (int lead = 0xA1; lead <= 0xFE; ++lead) {
            for (int trail = 0xA1; trail <= 0xFE; ++trail) body += char(0x8F), body += char(lead), body += char(trail);
            body += '\n';
        }
        body += QByteArray(
            "x\x8E"
            "a"
            "\xA1"
            "b"
            "\xA0"
            "c"
            "\xFF"
            "d"
            "\x80"
            "e"
            "\x8F\xA1"
            "f"
            "|\xA1\xA0|\x8E\xE0|\x8F\xA1\xA0|\x8F\xA0|\xA1\x8E\xA1|\x8F\x8F\xA1\xA1|\x8E\x8E\xB1|\xA1\xFF|\x8F\xA1\xFF|\xA9\xA1|\x8F\xA1\xA1|\x8E\xA0|\x8E\xFF|");
        for (int b = 0x80; b <= 0xA0; ++b) body += char(b), body += '|';
        body += "\xFF|";
        for (int b = 0xE0; b <= 0xFE; ++b) body += char(0x8E), body += char(b), body += '|';
        body +=
            "\xA1\x80|\xA1\x90|\xA1\x8D|\x8E\x80|\x8F\xA1\x80|\x8F\x80|"
            "\x8F\xA1";
        QFile file(folder.file(QStringLiteral("DATA/all.html")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<!DOCTYPE html><html><head><meta charset=\"EUC-JP\"><title>t</title></head><body><pre id=\"all\">");
        file.write(body);
        file.write("</pre></body></html>");
        file.close();
        Browser b;
        QVERIFY(load(&b, QUrl::fromLocalFile(file.fileName()).toString()));
        const QString engine = b.evaluate(QStringLiteral("return document.getElementById('all').textContent;")).value.toString();
        QString ours;
        QVERIFY(charset::decode(body, "EUC-JP", &ours));
        for (qsizetype i = 0; i < qMin(ours.size(), engine.size()); ++i)
            if (ours[i] != engine[i])
                QFAIL(qPrintable(QStringLiteral("at %1: ours U+%2, the engine's U+%3")
                                     .arg(i)
                                     .arg(ours[i].unicode(), 4, 16, QLatin1Char('0'))
                                     .arg(engine[i].unicode(), 4, 16, QLatin1Char('0'))));
        QCOMPARE(ours.size(), engine.size());
    }

    void theExtractorsOnRealPages() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        WebDocumentLoader loader;
        mInterNet::ItemPage item = mInterNet::readItemPage(loader, SiteAddresses::itemUrl(QStringLiteral("b123456789")));
        QVERIFY(item.loaded);
        QCOMPARE(*item.title, QStringLiteral("空箱文庫 詩集「夜の灯台」上下巻 初版 帯付き"));
        QCOMPARE(item.price, QStringLiteral("1,500 円"));
        QCOMPARE(item.contactName, QStringLiteral("髙橋 久美"));
        QCOMPARE(item.contactAddress, QStringLiteral("kuma.books22@example.jp"));

        item = mInterNet::readItemPage(loader, SiteAddresses::itemUrl(QStringLiteral("no_such_id")));
        QCOMPARE(*item.title, QStringLiteral("<HEAD><TITLE>Yahoo!オークション"));

        // An open listing's page has no こちら link: the contact stays as it was.
        item = mInterNet::readItemPage(loader, SiteAddresses::itemUrl(QStringLiteral("m012345678")));
        QCOMPARE(*item.title, QStringLiteral("テスト出品 テニスラケット"));
        QCOMPARE(item.contactName, QString());

        // Only one link after こちら; a page with no content is no document.
        folder.writeCp932(QStringLiteral("DATA/one.html"),
                          QStringLiteral("<html><head><title>x</title><meta charset=shift_jis></head><body>"
                                         "<a href=#a>こちら</a><a href=#b>winner</a></body></html>"));
        std::optional<mInterNet::Document> doc =
            loader.Doc_Load(QUrl::fromLocalFile(folder.file(QStringLiteral("DATA/one.html"))).toString(), 20);
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
        item = mInterNet::readItemPage(loader, SiteAddresses::itemUrl(QStringLiteral("b123456789")));
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
        QTRY_VERIFY_WITH_TIMEOUT(
            mInterNet::Page_Get(*net, SiteAddresses::sellingUrl(), &text) && text.contains(QStringLiteral("テスト出品 テニスラケット")),
            kLoad);  // ...holds for the plain request

        // And a cookie a plain request receives reaches the browsers.
        QVERIFY(mInterNet::Page_Get(*net, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_demo"), &text));
        QVERIFY(load(&b, SiteAddresses::sellingUrl()));
        QTRY_VERIFY_WITH_TIMEOUT(b.bodyText().text().contains(QStringLiteral("sorabako_demo さんの出品中")), kLoad);
    }

    void anAnswerWithoutEndStopsAtItsLimitWithMemoryBounded() {
        SiteSimProcess sim({QStringLiteral("--fault"), QStringLiteral("/jp/auction/endless=endless"), QStringLiteral("--fault"),
                            QStringLiteral("/jp/auction/loop=redirectloop"), QStringLiteral("--fault"),
                            QStringLiteral("/jp/auction/broken=status:500")});
        const QString endless = sim.base() + QStringLiteral("/jp/auction/endless");
        // A plain request: cut off at its limit, well within its 20 seconds, holding little more than the limit.
        QNetworkAccessManager net;
        QString text = QStringLiteral("kept");
        mInterNet::Failure why = mInterNet::Failure::None;
        const qint64 plain = peakGrowth([&] { QVERIFY(!mInterNet::Page_Get(net, endless, &text, 20, &why)); });
        QCOMPARE(why, mInterNet::Failure::TooLarge);
        QCOMPARE(text, QStringLiteral("kept"));
        QVERIFY2(plain < mInterNet::kMaxPageBytes + 64 * kMiB, qPrintable(QStringLiteral("%1 MiB").arg(plain / kMiB)));
        QVERIFY(!mInterNet::Page_Get(net, sim.base() + QStringLiteral("/jp/auction/loop"), &text, 20, &why));
        QCOMPARE(why, mInterNet::Failure::Unreadable);
        QVERIFY(!mInterNet::Page_Get(net, sim.base() + QStringLiteral("/jp/auction/broken"), &text, 20, &why));
        QCOMPARE(why, mInterNet::Failure::ServerError);

        // The engine's off-screen document: its page process stopped at the guard's limit.
        WebDocumentLoader loader;
        std::optional<mInterNet::Document> doc;
        const qint64 engine = peakGrowth([&] {
            doc = loader.Doc_Load(endless, 20);
            staysQuietFor(2000);  // a page process that went on reading would grow meanwhile
        });
        QVERIFY(!doc);
        QCOMPARE(loader.lastFailure(), mInterNet::Failure::TooLarge);
        QVERIFY2(engine < PageGuard::kGrowthLimit + 256 * kMiB, qPrintable(QStringLiteral("%1 MiB").arg(engine / kMiB)));
        QVERIFY(!loader.Doc_Load(sim.base() + QStringLiteral("/jp/auction/loop"), 20));
        QCOMPARE(loader.lastFailure(), mInterNet::Failure::Unreadable);
        QVERIFY(!loader.Doc_Load(sim.base() + QStringLiteral("/jp/auction/broken"), 20));
        QCOMPARE(loader.lastFailure(), mInterNet::Failure::ServerError);

        // A browser the seller sees: the load stopped, the program's notice in its place.
        Browser b;
        QSignalSpy stopped(&b, &Browser::loadStopped);
        const qint64 shown = peakGrowth([&] {
            b.Navigate2(endless);
            QVERIFY(QTest::qWaitFor([&] { return stopped.count() == 1; }, kLoad));
            // Stopped means stopped: the page process does not go on reading meanwhile.
            QTRY_VERIFY_WITH_TIMEOUT(b.bodyText().text().contains(QStringLiteral("ページが大きすぎるため、読み込みを中止しました。")),
                                     kLoad);
            staysQuietFor(2000);  // the page process given time to go on reading, were it to
        });
        QCOMPARE(stopped.at(0).at(0).value<PageGuard::Stop>(), PageGuard::Stop::TooLarge);
        QVERIFY2(shown < PageGuard::kGrowthLimit + 256 * kMiB, qPrintable(QStringLiteral("%1 MiB").arg(shown / kMiB)));
        QVERIFY(!b.lastLoadOk());
    }

    void aBrowserWithADeadlineStopsAStalledPage() {
        SiteSimProcess sim({QStringLiteral("--fault"), QStringLiteral("/jp/show/mystatus=stall")});
        Browser b;
        b.setLoadDeadline(4000);
        QSignalSpy stopped(&b, &Browser::loadStopped);
        QSignalSpy complete(&b, &Browser::DocumentComplete);
        b.Navigate2(sim.base() + QStringLiteral("/jp/show/mystatus?select=closed&hasWinner=1"));
        QVERIFY(QTest::qWaitFor([&] { return stopped.count() == 1; }, kLoad));
        QCOMPARE(stopped.at(0).at(0).value<PageGuard::Stop>(), PageGuard::Stop::NoAnswer);
        QTRY_VERIFY_WITH_TIMEOUT(b.bodyText().text().contains(QStringLiteral("ページが時間内に表示されませんでした。")), kLoad);
        // The notice is the program's, not a page of the site: no handler is told of it as one.
        for (const QList<QVariant>& call : complete) QVERIFY(!call.at(0).toString().startsWith(QLatin1String("data:")));
        // The next page loads as usual.
        QVERIFY(load(&b, sim.base() + QStringLiteral("/")));
        QVERIFY(b.lastLoadOk());
    }
};

SORABAKO_GUI_TEST_MAIN(TestFetchers)
#include "tst_fetchers.moc"
