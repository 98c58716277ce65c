#include <QtTest>

#include "app/StartUp.h"
#include "support/RecordingUiServices.h"

namespace {
// Records every step as a word, with the settings start-up reads.
class RecordingSteps : public StartUpSteps {
public:
    QMap<QString, QString> settings;
    bool firstStart = false;
    bool readable = true;
    QStringList log;
    int lastProgress = 0;
    int progressCalls = 0;

    QString setting(const QString& key) override { return settings.value(key); }
    bool isFirstStart() override { return firstStart; }
    void markStarted() override { log << QStringLiteral("mark"); }
    void showSettings() override { log << QStringLiteral("frmINI"); }
    void showLogin() override { log << QStringLiteral("frmLogin"); }
    bool readFile(const QString& path) override {
        log << QStringLiteral("ReadFile:") + path;
        return readable;
    }
    void setCurrentPath(const QString& path) override { log << QStringLiteral("path:") + path; }
    void showSplash() override { log << QStringLiteral("splash"); }
    void setListDefaults() override { log << QStringLiteral("lists"); }
    void disableBrowserDrops() override { log << QStringLiteral("drops"); }
    void iniRe() override { log << QStringLiteral("Ini_Re"); }
    void navigateClosedListings() override { log << QStringLiteral("WB2"); }
    void navigateSubmitStart() override { log << QStringLiteral("WB"); }
    void processEvents() override {
        if (log.isEmpty() || log.last() != QLatin1String("events")) log << QStringLiteral("events");
    }
    void ensureMainLoaded() override { log << QStringLiteral("main"); }
    void setProgress(int value) override {
        QCOMPARE(value, lastProgress + 1);
        lastProgress = value;
        ++progressCalls;
    }
    void finish() override { log << QStringLiteral("show"); }
};

const QStringList kCommonTail{QStringLiteral("splash"), QStringLiteral("lists"), QStringLiteral("drops"),  QStringLiteral("Ini_Re"),
                              QStringLiteral("WB2"),    QStringLiteral("WB"),    QStringLiteral("events"), QStringLiteral("main"),
                              QStringLiteral("events"), QStringLiteral("show")};
}  // namespace

class TestStartUp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void plainStartRunsTheStepsInOrder() {
        RecordingSteps steps;
        RecordingUiServices ui;
        StartUp::run(steps, ui);
        QCOMPARE(steps.log, kCommonTail);
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(steps.progressCalls, 1500);
        QCOMPARE(steps.lastProgress, StartUp::kProgressMax);
    }

    void firstStartAsksAndOpensSettingsOnYes() {
        RecordingSteps steps;
        steps.firstStart = true;
        RecordingUiServices ui;
        ui.answers << UiServices::Answer::Yes;
        StartUp::run(steps, ui);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("最初に初期設定を行って下さい。\r\n設定画面を立ち上げて宜しいですか?\r\n"
                                                     "後で設定する場合は、[いいえ]を選択して下さい。"));
        QCOMPARE(ui.messages[0].title, QStringLiteral("設定画面"));
        QCOMPARE(ui.messages[0].icon, UiServices::Icon::Information);
        QCOMPARE(ui.messages[0].buttons, UiServices::Buttons::YesNo);
        QCOMPARE(steps.log.mid(0, 3), (QStringList{QStringLiteral("mark"), QStringLiteral("frmINI"), QStringLiteral("splash")}));
    }

    void firstStartAnsweredNoGoesStraightOn() {
        RecordingSteps steps;
        steps.firstStart = true;
        RecordingUiServices ui;
        ui.answers << UiServices::Answer::No;
        StartUp::run(steps, ui);
        QCOMPARE(steps.log, QStringList{QStringLiteral("mark")} + kCommonTail);
    }

    void autoLoginOnlyForOne_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("shown");
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("2") << "2" << false;
        QTest::newRow("text") << "yes" << false;
    }
    void autoLoginOnlyForOne() {
        QFETCH(QString, value);
        QFETCH(bool, shown);
        RecordingSteps steps;
        steps.settings.insert(QStringLiteral("自動ログイン"), value);
        RecordingUiServices ui;
        StartUp::run(steps, ui);
        QCOMPARE(steps.log.contains(QStringLiteral("frmLogin")), shown);
        if (shown) QCOMPARE(steps.log.first(), QStringLiteral("frmLogin"));  // before the splash
    }

    void startUpFileIsReadThenMadeCurrentBeforeTheListDefaults() {
        RecordingSteps steps;
        steps.settings.insert(QStringLiteral("自動ログイン"), QStringLiteral("1"));
        steps.settings.insert(QStringLiteral("起動時ﾌｧｲﾙ"), QStringLiteral("1"));
        steps.settings.insert(QStringLiteral("起動時ﾌｧｲﾙﾊﾟｽ"), QStringLiteral("/data/USER/出品A.srb"));
        RecordingUiServices ui;
        StartUp::run(steps, ui);
        QCOMPARE(steps.log.mid(0, 4), (QStringList{QStringLiteral("frmLogin"), QStringLiteral("ReadFile:/data/USER/出品A.srb"),
                                                   QStringLiteral("path:/data/USER/出品A.srb"), QStringLiteral("splash")}));
        QVERIFY(steps.log.indexOf(QStringLiteral("lists")) > steps.log.indexOf(QStringLiteral("path:/data/USER/出品A.srb")));
    }

    void aStartUpFileThatCannotBeReadDoesNotBecomeCurrent() {
        RecordingSteps steps;
        steps.readable = false;
        steps.settings.insert(QStringLiteral("起動時ﾌｧｲﾙ"), QStringLiteral("1"));
        steps.settings.insert(QStringLiteral("起動時ﾌｧｲﾙﾊﾟｽ"), QStringLiteral("/moved/出品A.srb"));
        RecordingUiServices ui;
        StartUp::run(steps, ui);
        QCOMPARE(steps.log, QStringList{QStringLiteral("ReadFile:/moved/出品A.srb")} + kCommonTail);
    }

    void startUpFileSwitchedOffIsNotRead() {
        RecordingSteps steps;
        steps.settings.insert(QStringLiteral("起動時ﾌｧｲﾙ"), QStringLiteral("0"));
        steps.settings.insert(QStringLiteral("起動時ﾌｧｲﾙﾊﾟｽ"), QStringLiteral("/x.srb"));
        RecordingUiServices ui;
        StartUp::run(steps, ui);
        QCOMPARE(steps.log, kCommonTail);
    }
};

QTEST_GUILESS_MAIN(TestStartUp)
#include "tst_startup.moc"
