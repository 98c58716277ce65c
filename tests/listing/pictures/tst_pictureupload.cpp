#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "listing/pictures/PictureUpload.h"
#include "support/Quiet.h"

namespace {

// The site's picture page as a seller's browser would meet it: each file sent comes back as
// one or more finished pages, each listing what the site has taken so far.
class FakePage : public UploadPage {
public:
    enum class Answer { Takes, Refuses, TakesAfterAnEmptyPage, Silent, OtherPage, NoField };
    Answer answer = Answer::Takes;
    PictureUpload* upload = nullptr;
    int taken = 0;
    QStringList sent;
    QList<int> countWhenSent;
    QStringList kept;

    std::optional<int> uploadedCount() override { return taken; }
    bool send(const QString& path) override {
        if (answer == Answer::NoField) return false;
        sent << path;
        countWhenSent << taken;
        switch (answer) {
            case Answer::Takes: finishSoon(true, 1); break;
            case Answer::Refuses: finishSoon(true, 0); break;
            case Answer::TakesAfterAnEmptyPage:
                finishSoon(true, 0);
                QTimer::singleShot(30, [this] { finish(true, 1); });
                break;
            case Answer::OtherPage: finishSoon(false, 0); break;
            case Answer::Silent:
            case Answer::NoField: break;
        }
        return true;
    }
    QString keep(const QString& problem) override {
        kept << problem;
        return QStringLiteral("（ページを残しました）");
    }

private:
    void finishSoon(bool uploadPage, int more) {
        QTimer::singleShot(0, [this, uploadPage, more] { finish(uploadPage, more); });
    }
    void finish(bool uploadPage, int more) {
        taken += more;
        upload->pageFinished(uploadPage);
    }
};

}  // namespace

class TestPictureUpload : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each picture goes only once the page has listed the one before; the seller's names are
    // what a message names, the copies are what the site gets.
    void sendsEachPictureAfterTheSiteTookTheOneBefore() {
        FakePage page;
        PictureUpload upload(page);
        page.upload = &upload;
        QSignalSpy finished(&upload, &PictureUpload::finished);
        upload.begin({QStringLiteral("/tmp/c/1/a.jpg"), QStringLiteral("/tmp/c/2/b.jpg"), QStringLiteral("/tmp/c/3/c.jpg")},
                     {QStringLiteral("/home/s/a.jpg"), QStringLiteral("/home/s/b.jpg"), QStringLiteral("/home/s/c.jpg")});
        QVERIFY(upload.busy());
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toString(), QString());
        QCOMPARE(page.sent,
                 QStringList({QStringLiteral("/tmp/c/1/a.jpg"), QStringLiteral("/tmp/c/2/b.jpg"), QStringLiteral("/tmp/c/3/c.jpg")}));
        QCOMPARE(page.countWhenSent, QList<int>({0, 1, 2}));
        QVERIFY(!upload.busy());
        QVERIFY(page.kept.isEmpty());
    }

    void endsWithTheReasonWhenTheSiteDoesNotTakeAPicture_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("told");
        QTest::newRow("refused") << int(FakePage::Answer::Refuses) << QStringLiteral("「a.jpg」はサイトに受け付けられませんでした。");
        QTest::newRow("no answer") << int(FakePage::Answer::Silent) << QStringLiteral("画像のアップロードにサイトが応答しませんでした。");
        QTest::newRow("another page") << int(FakePage::Answer::OtherPage)
                                      << QStringLiteral("「a.jpg」のアップロードの後、画像のアップロードのページが表示されませんでした。");
        QTest::newRow("no file field") << int(FakePage::Answer::NoField)
                                       << QStringLiteral("「a.jpg」を送れませんでした。ページに画像を選ぶ欄が見つかりません。");
        // The page that took the file finishes once before the site's answer: no refusal.
        QTest::newRow("an empty page, then the answer") << int(FakePage::Answer::TakesAfterAnEmptyPage) << QString();
    }
    void endsWithTheReasonWhenTheSiteDoesNotTakeAPicture() {
        QFETCH(int, answer);
        QFETCH(QString, told);
        FakePage page;
        page.answer = FakePage::Answer(answer);
        PictureUpload upload(page);
        page.upload = &upload;
        upload.setWaits(400, 150);
        QSignalSpy finished(&upload, &PictureUpload::finished);
        upload.begin({QStringLiteral("/tmp/c/1/a.jpg"), QStringLiteral("/tmp/c/2/b.jpg")},
                     {QStringLiteral("/home/s/a.jpg"), QStringLiteral("/home/s/b.jpg")});
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
        const QString problem = finished.first().first().toString();
        if (told.isEmpty()) {
            QCOMPARE(problem, QString());
            QCOMPARE(page.sent.size(), 2);
            return;
        }
        QVERIFY2(problem.startsWith(told), qPrintable(problem));
        // The page is kept for the seller, and the message says so; the second picture never went.
        QVERIFY(problem.endsWith(QStringLiteral("（ページを残しました）")));
        QCOMPARE(page.kept.size(), 1);
        QVERIFY(page.sent.size() <= 1);
        QVERIFY(!upload.busy());
        // Ended once: a timer of the upload left running would end it again.
        QVERIFY(staysQuietFor(600, [&] { return finished.count() > 1; }));
    }
};

QTEST_GUILESS_MAIN(TestPictureUpload)
#include "tst_pictureupload.moc"
