// The program folder at its worst: a folder that takes no writes, files that
// are binary junk, a rate file with fields missing, a template and a list far
// too long, and a disk that fills up half-way through a write. Each gets the
// program's own message and no crash, and every file on disk is the old one
// or the new one, byte for byte.
#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>

#include "app/fMain.h"
#include "app/frmStart.h"
#include "app/StartUp.h"
#include "core/Cp932.h"
#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "description/DescriptionPane.h"
#include "mail/MailPane.h"
#include "myauction/MyAuctionPane.h"
#include "settings/mINI.h"
#include "shipping/ShippingPane.h"
#include "support/Browsing.h"
#include "support/Dialogs.h"
#include "support/RecordingUiServices.h"
#include "support/SiteSimProcess.h"
#include "support/SmallDisk.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "support/Press.h"
#include "widgets/Browser.h"
#include "widgets/Grid.h"

namespace {
constexpr int kWait = 60000;

template <typename T>
T* at(QWidget* root, const char* name) {
    for (T* w : root->findChildren<T*>(QLatin1String(name)))
        if (w->window() == root->window()) return w;
    qWarning("missing control %s", name);
    return nullptr;
}

QByteArray junk(int size = 4096) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes) b = static_cast<char>(QRandomGenerator::global()->bounded(256));
    bytes[size / 2] = '\0';  // binary for certain
    return bytes;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Every file below the folder, with its bytes: what the disk holds.
QMap<QString, QByteArray> disk(const TempProgramFolder& folder) {
    QMap<QString, QByteArray> files;
    QDir root(folder.path());
    for (const QString& sub : {QStringLiteral("INI"), QStringLiteral("USER"), QStringLiteral("DATA"), QStringLiteral("MAST")}) {
        QDir dir(root.filePath(sub));
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
            // The scan history (the database and the lock of its waiting scans) is written past
            // the writer this disk stands in for; a history that cannot be written has its own tests.
            if (name.startsWith(QLatin1String("rireki.sqlite")) || name == QLatin1String(".rireki.pending.json.lock")) continue;
            QFile f(dir.filePath(name));
            f.open(QIODevice::ReadOnly);
            files.insert(sub + QLatin1Char('/') + name, f.readAll());
        }
    }
    return files;
}

// A disk that takes nothing below the program folder, or fills up half-way through a file.
struct Disk {
    enum class Mode { ReadOnly, HalfFull };
    Disk(const TempProgramFolder& folder, Mode mode) {
        const QString root = folder.path();
        TextFile::setWriteLimitForTests([root, mode](const QString& path, qint64 size) -> qint64 {
            if (!path.startsWith(root)) return -1;
            return mode == Mode::ReadOnly ? 0 : qMax<qint64>(1, size / 2);
        });
    }
    ~Disk() { TextFile::setWriteLimitForTests({}); }
};

void prepareScreen(fMain& w) {
    at<QLineEdit>(&w, "txtSYOUHIN")->setText(QStringLiteral("ソラ光学 SK-300"));
    at<QLineEdit>(&w, "txtITEM_0")->setText(QStringLiteral("商品説明"));
    at<QLineEdit>(&w, "imNumLite2")->setText(QStringLiteral("25000"));
}
}  // namespace

class TestBadFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aFolderThatTakesNoWrites() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen")});
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        mINI::Ini_Put(QStringLiteral("差出人"), QStringLiteral("氏名"), QStringLiteral("空箱 太郎"), ui);
        folder.writeCp932(QStringLiteral("USER/keep.srb"), QStringLiteral("[出品ﾌｫｰﾑ作成]\r\n商品名=前の出品\r\n"));
        folder.writeCp932(QStringLiteral("DATA/zenkai.csv"), QStringLiteral("00012,00003,,500\r\n"));
        {
            Browser b;
            QVERIFY(loadAndWait(&b, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_test"), kWait));
        }
        fMain w(ui);
        prepareScreen(w);
        const auto before = disk(folder);
        const Disk readOnly(folder, Disk::Mode::ReadOnly);

        // The settings dialog's save, the notice's choice, a memory file, the preview, the previous scan.
        DialogHandler settings(QStringLiteral("frmINI"), [](QDialog* d) { at<QPushButton>(d, "Command1")->click(); });
        w.findChild<QAction*>(QStringLiteral("mINI"))->trigger();
        QVERIFY(settings.handled());
        DialogHandler notice(QStringLiteral("frmKakunin"), [](QDialog* d) {
            at<QCheckBox>(d, "Check1")->setChecked(true);
            at<QPushButton>(d, "Command1")->click();
        });
        press(&w, "Command7");
        ui.saveNames << folder.file(QStringLiteral("USER/keep.srb"));
        ui.answers << UiServices::Answer::Yes;  // replace keep.srb
        QCOMPARE(w.SaveAs(), fMain::SaveResult::Failed);
        QCOMPARE(w.currentPath(), QString());
        at<QPushButton>(&w, "cmdPre")->click();
        at<QCheckBox>(&w, "ckHOZON")->setChecked(true);
        QSignalSpy scanned(w.myAuctionPane(), &MyAuctionPane::scanFinished);
        at<QPushButton>(&w, "Command2")->click();
        QVERIFY(QTest::qWaitFor([&] { return scanned.count() == 1; }, kWait));

        const QStringList messages = ui.messageTexts();
        QCOMPARE(messages.count(QStringLiteral("INIファイル書き込みに失敗しました。")), 2);  // once for the dialog, once for the notice
        QVERIFY(messages.contains(QStringLiteral("設定を反映させるにはｱﾌﾟﾘｹｰｼｮﾝの再起動を行って下さい。")));
        QVERIFY(messages.contains(QStringLiteral("記憶ファイルを保存できませんでした。\r\n") +
                                  folder.file(QStringLiteral("USER/keep.srb")) +
                                  QStringLiteral("\r\nフォルダがあるか、書き込みできるかを確認して下さい。")));
        QVERIFY(messages.contains(QStringLiteral("プレビューファイルを書き込めませんでした。\r\n") +
                                  folder.file(QStringLiteral("DATA/CREATE.html")) + QStringLiteral("\r\nDATAフォルダを確認して下さい。")));
        QVERIFY(
            messages.contains(QStringLiteral("前回データを保存できませんでした。\r\n") + folder.file(QStringLiteral("DATA/zenkai.csv"))));
        QCOMPARE(disk(folder), before);
        at<QLineEdit>(&w, "txtSYOUHIN")->setText(QStringLiteral("まだ使える"));
        QCOMPARE(at<QLineEdit>(&w, "txtSYOUHIN")->text(), QStringLiteral("まだ使える"));
    }

    void binaryJunkInEveryFileTheProgramReads() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--frozen")});
        sim.writeSiteAddresses();
        StartUp::markStarted();
        const QByteArray settingsJunk = junk();
        writeBytes(folder.file(QStringLiteral("INI/SRB.INI")), settingsJunk);

        // The settings file: kept aside, byte for byte, and the program starts on new settings.
        RecordingUiServices ui;
        std::unique_ptr<fMain> w;
        {
            frmStart start(ui, nullptr);
            start.run();
            w.reset(start.takeMain());
        }
        QVERIFY(w->isVisible());
        // The seller finds every pane once the window is on screen.
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTRY_VERIFY(w->panesBuilt());
        const QString aside = folder.file(QStringLiteral("INI/SRB.INI.broken"));
        QCOMPARE(ui.messageTexts().value(0), QStringLiteral("設定ファイルが壊れていたため、次の名前で残して新しい設定で起動します。\r\n") +
                                                 aside + QStringLiteral("\r\n[オプション]-[設定]で設定し直して下さい。"));
        QCOMPARE(folder.readBytes(QStringLiteral("INI/SRB.INI.broken")), settingsJunk);
        sim.writeSiteAddresses();  // the fresh settings point at the simulator again
        ui.messages.clear();

        // The other files, each junk in turn.
        const QByteArray memoryJunk = junk(), rateJunk = junk(), designJunk = junk(), listJunk = junk(), previousJunk = junk(),
                         mailJunk = junk();
        writeBytes(folder.file(QStringLiteral("USER/junk.srb")), memoryJunk);
        writeBytes(folder.file(QStringLiteral("MAST/YUPACK.csv")), rateJunk);
        writeBytes(folder.file(QStringLiteral("Template/HTML/シンプル_青.html")), designJunk);
        writeBytes(folder.file(QStringLiteral("MAST/文言一覧.txt")), listJunk);
        writeBytes(folder.file(QStringLiteral("DATA/zenkai.csv")), previousJunk);
        writeBytes(folder.file(QStringLiteral("Template/MAIL/落札のお礼とお支払いのご案内.txt")), mailJunk);

        prepareScreen(*w);
        ui.openNames << folder.file(QStringLiteral("USER/junk.srb"));
        w->Open();
        QCOMPARE(ui.messageTexts().last(),
                 QStringLiteral("記憶ファイルとして読み込めませんでした。\r\n") + folder.file(QStringLiteral("USER/junk.srb")));
        QCOMPARE(at<QLineEdit>(w.get(), "txtSYOUHIN")->text(), QStringLiteral("ソラ光学 SK-300"));  // the screen as it was
        QCOMPARE(w->currentPath(), QString());

        at<QComboBox>(w.get(), "cmbKEN_0")->setCurrentText(QStringLiteral("東京都"));
        at<QComboBox>(w.get(), "cmbKEN_1")->setCurrentText(QStringLiteral("大阪府"));
        at<QLineEdit>(w.get(), "imNumber1_0")->setText(QStringLiteral("60"));
        at<QComboBox>(w.get(), "Combo8")->setCurrentText(QStringLiteral("100"));
        for (const char* box : {"ckHOUHOU_2", "ckHOUHOU_6", "ckHOUHOU_8"}) at<QCheckBox>(w.get(), box)->setChecked(true);
        press(w->shippingPane(), "Command15");
        QCOMPARE(ui.messageTexts().last(), QStringLiteral("料金表ファイルを読み込めませんでした。\r\n") +
                                               folder.file(QStringLiteral("MAST/YUPACK.csv")) +
                                               QStringLiteral("\r\nそれ以外の送料は計算しました。"));
        QCOMPARE(at<Grid>(w.get(), "vsSOURYOU")->text(9, 1), QStringLiteral("950 円"));  // クロネコ, its own file intact

        at<QComboBox>(w.get(), "cmbHTML")->setCurrentText(QStringLiteral("シンプル_青.html"));
        at<QPushButton>(w.get(), "cmdPre")->click();
        QVERIFY(ui.messageTexts().last().startsWith(QStringLiteral("デザインファイルを読み込めませんでした。")));

        press(w->descriptionPane(), "Command8");
        QVERIFY(ui.messageTexts().last().startsWith(QStringLiteral("一覧ファイルを読み込めませんでした。")));

        {
            Browser b;
            QVERIFY(loadAndWait(&b, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_test"), kWait));
        }
        at<QLineEdit>(w.get(), "txtID")->setText(QStringLiteral("g678901234"));
        w->mailPane()->Combo10()->setCurrentText(QStringLiteral("落札のお礼とお支払いのご案内"));
        press(w->mailPane(), "Command1");
        QVERIFY(ui.messageTexts().last().startsWith(QStringLiteral("メールの雛形を読み込めませんでした。")));

        QSignalSpy scanned(w->myAuctionPane(), &MyAuctionPane::scanFinished);
        at<QPushButton>(w.get(), "Command2")->click();
        QVERIFY(QTest::qWaitFor([&] { return scanned.count() == 1; }, kWait));
        QCOMPARE(ui.messageTexts().last(),
                 QStringLiteral("前回データを読み込めませんでした。\r\n") + folder.file(QStringLiteral("DATA/zenkai.csv")));
        QCOMPARE(at<Grid>(w.get(), "vbNow")->rows(), 4);  // the scan itself went on

        // Every junk file is still there as it was.
        QCOMPARE(folder.readBytes(QStringLiteral("USER/junk.srb")), memoryJunk);
        QCOMPARE(folder.readBytes(QStringLiteral("MAST/YUPACK.csv")), rateJunk);
        QCOMPARE(folder.readBytes(QStringLiteral("Template/HTML/シンプル_青.html")), designJunk);
        QCOMPARE(folder.readBytes(QStringLiteral("MAST/文言一覧.txt")), listJunk);
        QCOMPARE(folder.readBytes(QStringLiteral("DATA/zenkai.csv")), previousJunk);
        QCOMPARE(folder.readBytes(QStringLiteral("Template/MAIL/落札のお礼とお支払いのご案内.txt")), mailJunk);

        // With 前回保存, a good scan replaces the junk previous scan with a good one.
        at<QCheckBox>(w.get(), "ckHOZON")->setChecked(true);
        at<QPushButton>(w.get(), "Command2")->click();
        QVERIFY(QTest::qWaitFor([&] { return scanned.count() == 2; }, kWait));
        QCOMPARE(cp932::decode(folder.readBytes(QStringLiteral("DATA/zenkai.csv"))),
                 QStringLiteral("00012,00003,00001,500\r\n00004,,,800\r\n,00001,,1200\r\n"));
    }

    void aRateFileWithFieldsMissing() {
        TempProgramFolder folder;
        // The 60 size line stops before the 大阪府 column; the 大阪府 origin has no block at all.
        folder.writeCp932(QStringLiteral("MAST/YUPACK.csv"), QStringLiteral("東京都発着,都道府県,東京都,大阪府\r\n"
                                                                            "東京都発着,60サイズ,700\r\n"
                                                                            "東京都発着,80サイズ,900,1100\r\n"));
        RecordingUiServices ui;
        fMain w(ui);
        at<QComboBox>(&w, "cmbKEN_0")->setCurrentText(QStringLiteral("東京都"));
        at<QComboBox>(&w, "cmbKEN_1")->setCurrentText(QStringLiteral("大阪府"));
        at<QLineEdit>(&w, "imNumber1_0")->setText(QStringLiteral("50"));
        at<QCheckBox>(&w, "ckHOUHOU_6")->setChecked(true);
        press(w.shippingPane(), "Command15");
        auto* fees = at<Grid>(&w, "vsSOURYOU");
        QCOMPARE(fees->text(7, 1), QStringLiteral("----"));
        QCOMPARE(fees->text(7, 2), QStringLiteral("料金表に料金がありません"));
        QCOMPARE(ui.messageTexts(),
                 QStringList{QStringLiteral("料金表ファイルの内容が正しくありません。\r\n") +
                             folder.file(QStringLiteral("MAST/YUPACK.csv")) + QStringLiteral("\r\nそれ以外の送料は計算しました。")});
        QVERIFY(!w.shippingPane()->shippingHtml().contains(QStringLiteral("<TABLE")));
        // 80 size has its price.
        at<QLineEdit>(&w, "imNumber1_0")->setText(QStringLiteral("70"));
        press(w.shippingPane(), "Command15");
        QCOMPARE(fees->text(7, 1), QStringLiteral("1100 円"));
        // An origin the file does not have.
        at<QComboBox>(&w, "cmbKEN_0")->setCurrentText(QStringLiteral("大阪府"));
        press(w.shippingPane(), "Command15");
        QCOMPARE(fees->text(7, 2), QStringLiteral("料金表に発送元がありません"));
        QCOMPARE(ui.messages.size(), 2);
    }

    void aTemplateAndAListFarTooLong() {
        TempProgramFolder folder;
        QStringList lines;
        for (int i = 0; i < 10000; ++i) lines << QStringLiteral("<p>＜項目1＞ %1</p>").arg(i);
        folder.writeCp932(QStringLiteral("Template/HTML/長い.html"), lines.join(QStringLiteral("\r\n")));
        QStringList phrases;
        for (int i = 0; i < 100000; ++i) phrases << QStringLiteral("よくある文言 その%1").arg(i + 1);
        folder.writeCp932(QStringLiteral("MAST/文言一覧.txt"), phrases.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
        RecordingUiServices ui;
        fMain w(ui);
        at<QLineEdit>(&w, "txtSYOUHIN")->setText(QStringLiteral("ソラ光学 SK-300"));
        at<QPlainTextEdit>(&w, "txtHTML")->setPlainText(QStringLiteral("前の説明"));
        at<QPushButton>(&w, "cmdPre")->click();
        QCOMPARE(ui.messageTexts(), QStringList{QStringLiteral("デザインファイルの行数が多すぎます。(100行まで)\r\n") +
                                                folder.file(QStringLiteral("Template/HTML/長い.html"))});
        QCOMPARE(at<QPlainTextEdit>(&w, "txtHTML")->toPlainText(), QStringLiteral("前の説明"));

        // Every line of the long list is offered; the last one is copied like the first.
        press(w.descriptionPane(), "Command8");
        QWidget* list = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("frmGOKU") && top->isVisible()) list = top;
        QVERIFY(list);
        auto* grid = list->findChild<Grid*>(QStringLiteral("vfS"));
        QCOMPARE(grid->rows(), 100001);
        grid->setRow(100000);
        list->findChild<QPushButton*>(QStringLiteral("cmdCOPY"))->click();
        QCOMPARE(ui.clipboard, QStringLiteral("よくある文言 その100000\r\n"));
    }

    void aFullDiskLosesNothingAndSaysSo() {
        // A real file system that is full, not a seam: the kernel refuses every block.
        SmallDisk small(1024);
        if (!small.isMounted()) QSKIP("mounting a small disk needs root");
        TempProgramFolder shipped(TempProgramFolder::Content::Shipped);
        for (const QString& relative : QDir(shipped.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QDirIterator it(shipped.file(relative), QDir::Files, QDirIterator::Subdirectories);
            QDir(small.path()).mkpath(relative);
            while (it.hasNext()) {
                const QString from = it.next();
                const QString to = small.file(QDir(shipped.path()).relativeFilePath(from));
                QDir().mkpath(QFileInfo(to).path());
                QVERIFY(QFile::copy(from, to));
            }
        }
        ProgramFolder::setRoot(small.path());
        SiteSimProcess sim({QStringLiteral("--frozen")});
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        mINI::Ini_Put(QStringLiteral("差出人"), QStringLiteral("氏名"), QStringLiteral("空箱 太郎"), ui);
        {
            Browser b;
            QVERIFY(loadAndWait(&b, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_test"), kWait));
        }
        const QString memoryFile = small.file(QStringLiteral("USER/today.srb"));
        const QString settingsFile = small.file(QStringLiteral("INI/SRB.INI"));
        const QString previous = small.file(QStringLiteral("DATA/zenkai.csv"));
        {
            fMain w(ui);
            w.show();
            prepareScreen(w);
            ui.saveNames << memoryFile;
            QCOMPARE(w.SaveAs(), fMain::SaveResult::Saved);
            QFile csv(previous);
            QVERIFY(csv.open(QIODevice::WriteOnly));
            csv.write("00012,00003,,500\r\n");
            csv.close();
            const QByteArray memoryBefore = readAll(memoryFile), settingsBefore = readAll(settingsFile), previousBefore = readAll(previous);
            QVERIFY(!memoryBefore.isEmpty() && !settingsBefore.isEmpty());
            ui.messages.clear();
            QVERIFY(small.fill());

            // Ctrl+S, the settings dialog, a kept scan: each refused by the disk and said.
            at<QLineEdit>(&w, "txtSYOUHIN")->setText(QStringLiteral("満杯のディスクで保存"));
            w.findChild<QAction*>(QStringLiteral("mUwaGakiHzn"))->trigger();
            DialogHandler settings(QStringLiteral("frmINI"), [](QDialog* d) {
                at<QLineEdit>(d, "txtTEL")->setText(QStringLiteral("03-1111-2222"));
                at<QPushButton>(d, "Command1")->click();
            });
            w.findChild<QAction*>(QStringLiteral("mINI"))->trigger();
            QVERIFY(settings.handled());
            at<QCheckBox>(&w, "ckHOZON")->setChecked(true);
            QSignalSpy scanned(w.myAuctionPane(), &MyAuctionPane::scanFinished);
            at<QPushButton>(&w, "Command2")->click();
            QVERIFY(QTest::qWaitFor([&] { return scanned.count() == 1; }, kWait));

            const QStringList messages = ui.messageTexts();
            QVERIFY(messages.contains(QStringLiteral("記憶ファイルを保存できませんでした。\r\n") + memoryFile +
                                      QStringLiteral("\r\nフォルダがあるか、書き込みできるかを確認して下さい。")));
            QVERIFY(messages.contains(QStringLiteral("INIファイル書き込みに失敗しました。")));
            QVERIFY(messages.contains(QStringLiteral("前回データを保存できませんでした。\r\n") + previous));
            QCOMPARE(readAll(memoryFile), memoryBefore);
            QCOMPARE(readAll(settingsFile), settingsBefore);
            QCOMPARE(readAll(previous), previousBefore);
            for (const QString& name : QDir(small.file(QStringLiteral("USER"))).entryList(QDir::Files | QDir::Hidden))
                QVERIFY2(!TextFile::isLeftover(name), qPrintable(name));
            small.makeRoom();
            ui.answers << UiServices::Answer::No;  // the close prompt: not now
            w.close();
        }
        // The next start shows the listing as it was last saved.
        fMain next(ui);
        QVERIFY(next.ReadFile(memoryFile));
        QCOMPARE(at<QLineEdit>(&next, "txtSYOUHIN")->text(), QStringLiteral("ソラ光学 SK-300"));
        ProgramFolder::setRoot(QString());
    }

    void aDiskThatFillsUpHalfWay() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        RecordingUiServices ui;
        mINI::Ini_Put(QStringLiteral("差出人"), QStringLiteral("氏名"), QStringLiteral("空箱 太郎"), ui);
        fMain w(ui);
        w.show();
        prepareScreen(w);
        const QString memoryFile = folder.file(QStringLiteral("USER/today.srb"));
        ui.saveNames << memoryFile;
        QCOMPARE(w.SaveAs(), fMain::SaveResult::Saved);
        folder.writeCp932(QStringLiteral("DATA/zenkai.csv"), QStringLiteral("00012,00003,,500\r\n"));
        const auto before = disk(folder);

        const Disk halfFull(folder, Disk::Mode::HalfFull);
        at<QLineEdit>(&w, "txtSYOUHIN")->setText(QStringLiteral("書きかけで止まる出品"));
        QCOMPARE(w.Save(), fMain::SaveResult::Failed);
        mINI::Ini_Put(QStringLiteral("差出人"), QStringLiteral("氏名"), QStringLiteral("別の名前"), ui);
        at<QPushButton>(&w, "cmdPre")->click();
        QCOMPARE(ui.messageTexts(),
                 (QStringList{QStringLiteral("記憶ファイルを保存できませんでした。\r\n") + memoryFile +
                                  QStringLiteral("\r\nフォルダがあるか、書き込みできるかを確認して下さい。"),
                              QStringLiteral("INIファイル書き込みに失敗しました。"),
                              QStringLiteral("プレビューファイルを書き込めませんでした。\r\n") +
                                  folder.file(QStringLiteral("DATA/CREATE.html")) + QStringLiteral("\r\nDATAフォルダを確認して下さい。")}));
        // The old files, byte for byte, and no half-written temporary file left beside them.
        QCOMPARE(disk(folder), before);
        // The close prompt's save fails too: the window stays with the seller's work.
        ui.answers << UiServices::Answer::Yes;
        QVERIFY(!w.close());
        QCOMPARE(at<QLineEdit>(&w, "txtSYOUHIN")->text(), QStringLiteral("書きかけで止まる出品"));
    }
};

SORABAKO_GUI_TEST_MAIN(TestBadFiles)
#include "tst_badfiles.moc"
