#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "app/fMain.h"
#include "listing/form/SiteFormPane.h"
#include "app/frmStart.h"
#include "app/StartUp.h"
#include "core/Cp932.h"
#include "memory/MemoryStore.h"
#include "settings/SiteAddresses.h"
#include "settings/mINI.h"
#include "support/Browsing.h"
#include "support/Dialogs.h"
#include "support/RecordingUiServices.h"
#include "support/SiteSimProcess.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "widgets/Browser.h"

namespace {
template <typename T>
T* c(QWidget* w, const char* name) {
    return child<T>(w, QLatin1String(name));
}

// Every pane with something in it, as a seller would leave it.
void fill(fMain& w) {
    c<QPlainTextEdit>(&w, "imText2")->setPlainText(QStringLiteral("現金書留\n手渡し（新宿駅）"));
    c<QCheckBox>(&w, "ckHASSOU_2")->setChecked(true);
    c<QCheckBox>(&w, "ckHASSOU_9")->setChecked(true);
    c<QComboBox>(&w, "cmbKEN_0")->setCurrentIndex(12);
    c<QComboBox>(&w, "cmbKEN_1")->setCurrentIndex(26);
    c<QLineEdit>(&w, "imNumber1_0")->setText(QStringLiteral("30"));
    c<QLineEdit>(&w, "imNumber1_1")->setText(QStringLiteral("25.5"));
    c<QLineEdit>(&w, "imNumber1_2")->setText(QStringLiteral("5"));
    c<QLabel>(&w, "Label46")->setText(QStringLiteral("60.5"));
    c<QComboBox>(&w, "Combo8")->setCurrentIndex(6);
    c<QCheckBox>(&w, "Check1_1")->setChecked(true);
    c<QCheckBox>(&w, "ckHOUHOU_6")->setChecked(true);
    c<QComboBox>(&w, "Combo9")->setCurrentIndex(5);
    c<QCheckBox>(&w, "Check2")->setChecked(true);
    c<QComboBox>(&w, "cmbHTML")->setCurrentIndex(2);
    c<QComboBox>(&w, "cmbKIGOU_1")->setCurrentIndex(3);
    c<QLineEdit>(&w, "txtSYOUHIN")->setText(QStringLiteral("ソラ光学 SK-300"));
    for (int k = 0; k < 8; ++k) {
        c<QLineEdit>(&w, qPrintable(QStringLiteral("txtITEM_%1").arg(k)))->setText(QStringLiteral("項目名%1").arg(k));
        c<QPlainTextEdit>(&w, qPrintable(QStringLiteral("txtSETUMEI_%1").arg(k)))
            ->setPlainText(QString(300 + k, QChar(0x3042 + k)) + QStringLiteral("\n二行目 \\n そのまま"));
    }
    c<QCheckBox>(&w, "ckMy")->setChecked(true);
    c<QComboBox>(&w, "Combo6")->setCurrentIndex(1);
    c<QCheckBox>(&w, "ckSIHARAI_3")->setChecked(true);
    c<QComboBox>(&w, "Combo7_1")->setCurrentIndex(4);
    c<QCheckBox>(&w, "ckHSSOU_7")->setChecked(true);
    c<QLineEdit>(&w, "txtTitle")->setText(QStringLiteral("★ソラ光学 SK-300★"));
    QString description;
    for (int i = 0; i < 400; ++i) description += QStringLiteral("<p>%1行目の説明です。</p>\n").arg(i);  // about 10 KB
    c<QPlainTextEdit>(&w, "txtDescription")->setPlainText(description);
    c<QCheckBox>(&w, "Check17")->setChecked(false);
    c<QCheckBox>(&w, "Check24")->setChecked(true);
    c<QCheckBox>(&w, "Check30")->setTristate(true);
    c<QCheckBox>(&w, "Check30")->setCheckState(Qt::PartiallyChecked);  // grayed
    c<QRadioButton>(&w, "optHANBAI_1")->setChecked(true);
    c<QLineEdit>(&w, "imNumLite1")->setText(QStringLiteral("2"));
    c<QLineEdit>(&w, "imNumLite2")->setText(QStringLiteral("25000"));
    c<QLineEdit>(&w, "imNumLite4")->setText(QStringLiteral("40000"));
    c<QComboBox>(&w, "Combo1")->setCurrentIndex(5);
    c<QComboBox>(&w, "Combo2")->setCurrentIndex(2);
    c<QComboBox>(&w, "Combo3")->setCurrentIndex(21);
    c<QComboBox>(&w, "Combo4")->setCurrentIndex(-1);
    c<QComboBox>(&w, "Combo5")->setCurrentIndex(47);
    c<QLineEdit>(&w, "Text1")->setText(QStringLiteral("新宿区"));
    w.siteFormPane()->setCategory(QStringLiteral("家電、AV、カメラ > カメラ、光学機器 > デジタル一眼"),
                                  QStringLiteral("http://auctions.example.jp/jp/submit/category?c=23634"));
    w.siteFormPane()->setPictures({QStringLiteral("/home/seller/写真/sk300-前.jpg"), QStringLiteral("/home/seller/写真/sk300-後.jpg")});
}
}  // namespace

class TestMemoryFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aSavedFileOpensBackIntoTheSameState() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        RecordingUiServices ui;
        fMain a(ui);
        fill(a);
        ui.saveNames << folder.file(QStringLiteral("USER/カメラ"));  // typed without an extension
        a.SaveAs();
        const QString path = folder.file(QStringLiteral("USER/カメラ.srb"));
        QCOMPARE(a.currentPath(), path);
        QVERIFY(QFile::exists(path));
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(ui.fileDialogs, QStringList{QStringLiteral("save:") + folder.path() + QStringLiteral("/USER/|記憶ファイル(*.SRB)|*.srb")});

        fMain b(ui);
        ui.openNames << path;
        b.Open();
        QCOMPARE(b.currentPath(), path);
        QVERIFY(ui.messages.isEmpty());
        const QMap<QString, QString> before = MemoryStore(&a, ui).controlValues();
        const QMap<QString, QString> after = MemoryStore(&b, ui).controlValues();
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            // A backslash-n typed in an item's content comes back as a line break.
            QString expected = it.value();
            if (it.key().startsWith(QLatin1String("txtSETUMEI"))) expected.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
            QCOMPARE(after.value(it.key()), expected);
        }
        QCOMPARE(c<QCheckBox>(&b, "Check30")->checkState(), Qt::PartiallyChecked);
        QCOMPARE(c<QPlainTextEdit>(&b, "txtDescription")->toPlainText(), c<QPlainTextEdit>(&a, "txtDescription")->toPlainText());
        QVERIFY(cp932::encode(c<QPlainTextEdit>(&b, "txtDescription")->toPlainText()).size() > 10000);  // 10 KB, whole
        QVERIFY(c<QPlainTextEdit>(&b, "txtSETUMEI_0")->toPlainText().endsWith(QStringLiteral("二行目 \n そのまま")));
        // Opening is an ordinary change: the echo and the counters follow.
        QCOMPARE(c<QLabel>(&b, "lbl_ITEM_3")->text(), QStringLiteral("項目名3"));
        QCOMPARE(c<QLabel>(&b, "Label16")->text(), QStringLiteral("19"));
        QTRY_VERIFY_WITH_TIMEOUT(b.WB3()->url().toString().endsWith(c<QComboBox>(&b, "cmbHTML")->currentText()), 20000);

        // Overwrite: the current file without asking for a name.
        c<QLineEdit>(&b, "txtSYOUHIN")->setText(QStringLiteral("変更後"));
        b.Save();
        QCOMPARE(ui.fileDialogs.size(), 2);
        QVERIFY(cp932::decode(folder.readBytes(QStringLiteral("USER/カメラ.srb"))).contains(QStringLiteral("商品名=変更後")));
    }

    void aPartlyWrittenFileOpensWithDefaultsForTheRest() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        folder.writeCp932(
            QStringLiteral("USER/old.srb"),
            QStringLiteral("[メール作成]\r\nその他=振込手数料はご負担下さい\\n宜しくお願いします\r\nゆうパック=1\r\n"
                           "[送料計算]\r\n発送0=12\r\n3辺0=\r\n3辺計=45\r\n重さ=3\r\n発送方法6=1\r\n"
                           "[出品ﾌｫｰﾑ作成]\r\n種類=1\r\nマーク=1\r\n商品名=文庫本 10冊\r\n項目0=状態\r\n項目説明0=良好\\n日焼けあり\r\n"
                           "[出品手続]\r\nタイトル=★文庫本 10冊★\r\n落札者が負担=False\r\n出品者が負担=True\r\n"
                           "支払い終了時に発送=\r\n数量=\r\n開始価格=800\r\n即買価格=\r\n目立ちアイコン=\r\n期間=9\r\n都道府県=47\r\n"
                           "銀行振込=0\r\nオークションチェック=2\r\n"));
        RecordingUiServices ui;
        fMain w(ui);
        c<QComboBox>(&w, "cmbKEN_1")->setCurrentIndex(20);
        c<QComboBox>(&w, "Combo2")->setCurrentIndex(4);
        c<QComboBox>(&w, "Combo1")->setCurrentIndex(2);
        QVERIFY(w.ReadFile(folder.file(QStringLiteral("USER/old.srb"))));
        QCOMPARE(c<QPlainTextEdit>(&w, "imText2")->toPlainText(), QStringLiteral("振込手数料はご負担下さい\n宜しくお願いします"));
        QVERIFY(c<QCheckBox>(&w, "ckHASSOU_6")->isChecked());
        QVERIFY(!c<QCheckBox>(&w, "ckHASSOU_0")->isChecked());  // missing: the empty value, unticked
        QCOMPARE(c<QComboBox>(&w, "cmbKEN_0")->currentText(), QStringLiteral("東京都"));
        QCOMPARE(c<QComboBox>(&w, "cmbKEN_1")->currentIndex(), 0);  // no 発送1: the first prefecture
        QCOMPARE(c<QLineEdit>(&w, "imNumber1_0")->text(), QStringLiteral("0"));
        QCOMPARE(c<QLabel>(&w, "Label46")->text(), QStringLiteral("45"));
        QCOMPARE(c<QComboBox>(&w, "Combo8")->currentText(), QStringLiteral("150"));
        QCOMPARE(c<QComboBox>(&w, "cmbHTML")->currentIndex(), 1);
        QCOMPARE(c<QComboBox>(&w, "cmbKIGOU_1")->currentText(), QStringLiteral("★"));
        QCOMPARE(c<QPlainTextEdit>(&w, "txtSETUMEI_0")->toPlainText(), QStringLiteral("良好\n日焼けあり"));
        QCOMPARE(c<QLineEdit>(&w, "txtITEM_1")->text(), QString());
        QVERIFY(c<QRadioButton>(&w, "optHANBAI_1")->isChecked());
        QVERIFY(!c<QRadioButton>(&w, "optHANBAI_0")->isChecked());
        QVERIFY(c<QRadioButton>(&w, "optHANBAI2_0")->isChecked());  // an empty value leaves the option
        QCOMPARE(c<QLineEdit>(&w, "imNumLite1")->text(), QStringLiteral("0"));
        QCOMPARE(c<QLineEdit>(&w, "imNumLite2")->text(), QStringLiteral("800"));
        QCOMPARE(c<QLineEdit>(&w, "imNumLite4")->text(), QString());
        QCOMPARE(c<QComboBox>(&w, "Combo2")->currentIndex(), 4);  // empty: 目立ちアイコン stays
        QCOMPARE(c<QComboBox>(&w, "Combo1")->currentIndex(), 2);  // 9 is no duration: it stays
        QCOMPARE(c<QComboBox>(&w, "Combo5")->currentText(), QStringLiteral("海外"));
        QCOMPARE(c<QComboBox>(&w, "Combo3")->currentIndex(), 0);  // missing: the first entry
        QVERIFY(!c<QCheckBox>(&w, "Check17")->isChecked());
        QVERIFY(ui.messages.isEmpty());
    }

    void failuresChangeNothing() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        RecordingUiServices ui;
        fMain w(ui);
        w.setCurrentPath(folder.file(QStringLiteral("USER/今の.srb")));
        c<QLineEdit>(&w, "txtSYOUHIN")->setText(QStringLiteral("そのまま"));

        // A name that is not there: said, with the path; nothing reset, the current file kept.
        ui.openNames << folder.file(QStringLiteral("USER/移動した.srb"));
        w.Open();
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messages[0].text.contains(folder.file(QStringLiteral("USER/移動した.srb"))));
        QCOMPARE(c<QLineEdit>(&w, "txtSYOUHIN")->text(), QStringLiteral("そのまま"));
        QCOMPARE(w.currentPath(), folder.file(QStringLiteral("USER/今の.srb")));

        // A folder that is not there: said; the path does not become current.
        ui.saveNames << folder.file(QStringLiteral("無い/a.srb"));
        w.SaveAs();
        QCOMPARE(ui.messages.size(), 2);
        QVERIFY(ui.messages[1].text.contains(folder.file(QStringLiteral("無い/a.srb"))));
        QCOMPARE(w.currentPath(), folder.file(QStringLiteral("USER/今の.srb")));

        // A read-only file: said, and left byte for byte.
        folder.writeCp932(QStringLiteral("USER/今の.srb"), QStringLiteral("[出品ﾌｫｰﾑ作成]\r\n商品名=前のまま\r\n"));
        const QByteArray before = folder.readBytes(QStringLiteral("USER/今の.srb"));
        QFile::setPermissions(folder.file(QStringLiteral("USER/今の.srb")), QFileDevice::ReadOwner);
        w.Save();
        QCOMPARE(ui.messages.size(), 3);
        QCOMPARE(folder.readBytes(QStringLiteral("USER/今の.srb")), before);

        // Replacing another existing file is asked first; No writes nothing.
        folder.writeCp932(QStringLiteral("USER/別の.srb"), QStringLiteral("[x]\r\ny=1\r\n"));
        const QByteArray other = folder.readBytes(QStringLiteral("USER/別の.srb"));
        ui.saveNames << folder.file(QStringLiteral("USER/別の.srb"));
        ui.answers << UiServices::Answer::No;
        w.SaveAs();
        QCOMPARE(ui.messages.size(), 4);
        QCOMPARE(ui.messages[3].buttons, UiServices::Buttons::YesNo);
        QCOMPARE(folder.readBytes(QStringLiteral("USER/別の.srb")), other);
        QCOMPARE(w.currentPath(), folder.file(QStringLiteral("USER/今の.srb")));
        ui.saveNames << folder.file(QStringLiteral("USER/別の.srb"));
        ui.answers << UiServices::Answer::Yes;
        w.SaveAs();
        QCOMPARE(w.currentPath(), folder.file(QStringLiteral("USER/別の.srb")));
        QVERIFY(cp932::decode(folder.readBytes(QStringLiteral("USER/別の.srb"))).startsWith(QStringLiteral("[x]\r\ny=1\r\n[メール作成]")));
    }

    // Kept as references, said once, and read back as typed: the title that goes to the site, a
    // picture to find again, a reference the seller typed, and the HTML description.
    void textTheFileCannotHoldIsToldAboutAndComesBackAsTyped() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        const QString picture = folder.file(QStringLiteral("USER/café.jpg"));
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::gray);
        QVERIFY(image.save(picture, "JPG"));
        RecordingUiServices ui;
        fMain w(ui);
        c<QLineEdit>(&w, "txtSYOUHIN")->setText(QStringLiteral("カメラ😀"));
        c<QLineEdit>(&w, "txtTitle")->setText(QStringLiteral("空箱😀カメラ café"));
        c<QLineEdit>(&w, "Text1")->setText(QStringLiteral("caf&#233;"));
        c<QPlainTextEdit>(&w, "txtDescription")->setPlainText(QStringLiteral("<p>😀 caf&#233;</p>\n<p>&lt;&#38;&gt;</p>"));
        w.siteFormPane()->setPictures({picture});
        ui.saveNames << folder.file(QStringLiteral("USER/絵文字.srb"));
        w.SaveAs();
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messages[0].text.contains(QStringLiteral("😀")));
        QVERIFY(ui.messages[0].text.contains(QStringLiteral("é")));
        QVERIFY(cp932::decode(folder.readBytes(QStringLiteral("USER/絵文字.srb"))).contains(QStringLiteral("商品名=カメラ&#128512;")));

        fMain b(ui);
        QVERIFY(b.ReadFile(folder.file(QStringLiteral("USER/絵文字.srb"))));
        QCOMPARE(c<QLineEdit>(&b, "txtSYOUHIN")->text(), QStringLiteral("カメラ😀"));
        QCOMPARE(c<QLineEdit>(&b, "txtTitle")->text(), QStringLiteral("空箱😀カメラ café"));
        QCOMPARE(c<QLineEdit>(&b, "Text1")->text(), QStringLiteral("caf&#233;"));
        QCOMPARE(c<QPlainTextEdit>(&b, "txtDescription")->toPlainText(), QStringLiteral("<p>😀 caf&#233;</p>\n<p>&lt;&#38;&gt;</p>"));
        QCOMPARE(b.siteFormPane()->pictures(), QStringList{picture});
        QVERIFY(QFileInfo::exists(b.siteFormPane()->pictures().value(0)));

        // A file saved before: its references are the characters; in the HTML they mean the same.
        folder.writeCp932(QStringLiteral("USER/前.srb"), QStringLiteral("[出品手続]\r\nタイトル=空箱&#128512;カメラ caf&#233;\r\n"
                                                                        "説明=<p>caf&#233;</p>\r\n[出品カテゴリと画像]\r\n画像1=") +
                                                             folder.file(QStringLiteral("USER/caf&#233;.jpg")) + QStringLiteral("\r\n"));
        QVERIFY(b.ReadFile(folder.file(QStringLiteral("USER/前.srb"))));
        QCOMPARE(c<QLineEdit>(&b, "txtTitle")->text(), QStringLiteral("空箱😀カメラ café"));
        QCOMPARE(c<QPlainTextEdit>(&b, "txtDescription")->toPlainText(), QStringLiteral("<p>café</p>"));
        QCOMPARE(b.siteFormPane()->pictures(), QStringList{picture});
        QCOMPARE(ui.messages.size(), 1);
    }

    void openingMirrorsIntoTheListingForm() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        folder.writeCp932(QStringLiteral("USER/l.srb"), QStringLiteral("[出品手続]\r\nタイトル=★本★\r\n開始価格=1200\r\n都道府県=12\r\n"));
        RecordingUiServices ui;
        fMain w(ui);
        Browser* wb = w.WB();
        QVERIFY(loadAndWait(wb, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_demo")));
        QVERIFY(loadAndWait(wb, sim.base() + QStringLiteral("/jp/submit/form?c=21601")));
        QVERIFY(w.ReadFile(folder.file(QStringLiteral("USER/l.srb"))));
        QCOMPARE(wb->evaluate(QStringLiteral("return document.getElementById('Title').value;")).text(), QStringLiteral("★本★"));
        QCOMPARE(wb->evaluate(QStringLiteral("return document.getElementById('StartPrice').value;")).text(), QStringLiteral("1200"));
        QCOMPARE(wb->evaluate(QStringLiteral("return document.getElementById('loc_cd').selectedIndex;")).value.toInt(), 13);
    }

    void theStartUpFile() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        const QString path = folder.file(QStringLiteral("USER/起動.srb"));
        folder.writeCp932(
            QStringLiteral("USER/起動.srb"),
            QStringLiteral(
                "[出品ﾌｫｰﾑ作成]\r\n商品名=起動時の商品\r\n[出品手続]\r\n期間=0\r\n終了時間=0\r\n都道府県=30\r\n自動再出品=0\r\n"));
        RecordingUiServices ui;
        mINI::Ini_PutAll({{QStringLiteral("各種設定"), QStringLiteral("起動時ﾌｧｲﾙ"), QStringLiteral("1")},
                          {QStringLiteral("各種設定"), QStringLiteral("起動時ﾌｧｲﾙﾊﾟｽ"), path}},
                         ui);
        SiteAddresses::writeAll(QStringLiteral("http://127.0.0.1:1"));  // no site: nothing to wait for
        StartUp::markStarted();
        frmStart start(ui, nullptr);
        start.run();
        std::unique_ptr<fMain> w(start.takeMain());
        QCOMPARE(c<QLineEdit>(w.get(), "txtSYOUHIN")->text(), QStringLiteral("起動時の商品"));
        QCOMPARE(w->currentPath(), path);
        // The four lists show their defaults, not the file's values.
        QCOMPARE(c<QComboBox>(w.get(), "Combo5")->currentIndex(), 0);
        QCOMPARE(c<QComboBox>(w.get(), "Combo1")->currentIndex(), 3);
        QCOMPARE(c<QComboBox>(w.get(), "Combo3")->currentIndex(), 9);
        QCOMPARE(c<QComboBox>(w.get(), "Combo4")->currentIndex(), 2);
        // Save writes that file without asking for a name.
        w->Save();
        QVERIFY(ui.fileDialogs.isEmpty());
        QVERIFY(cp932::decode(folder.readBytes(QStringLiteral("USER/起動.srb"))).contains(QStringLiteral("期間=3")));
        // The close prompt's Yes saves there too.
        ui.answers << UiServices::Answer::Yes;
        c<QLineEdit>(w.get(), "txtSYOUHIN")->setText(QStringLiteral("閉じる前"));
        QVERIFY(w->close());
        QVERIFY(cp932::decode(folder.readBytes(QStringLiteral("USER/起動.srb"))).contains(QStringLiteral("商品名=閉じる前")));
    }

    // The category and the pictures are the listing's: they come back with its file, and a file
    // written before them opens as it did (no pictures of the listing opened last), its lines untouched.
    void theCategoryAndPicturesTravelWithTheFile() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        RecordingUiServices ui;
        fMain w(ui);
        fill(w);
        const QString path = folder.file(QStringLiteral("USER/一眼.srb"));
        ui.saveNames << path;
        QCOMPARE(w.SaveAs(), fMain::SaveResult::Saved);
        const QString text = cp932::decode(folder.readBytes(QStringLiteral("USER/一眼.srb")));
        const qsizetype section = text.indexOf(QStringLiteral("[出品カテゴリと画像]"));
        QVERIFY(section > text.indexOf(QStringLiteral("[出品手続]")));
        QVERIFY(text.mid(section).contains(QStringLiteral("カテゴリ=家電、AV、カメラ > カメラ、光学機器 > デジタル一眼\r\n")));
        QVERIFY(text.mid(section).contains(QStringLiteral("画像2=/home/seller/写真/sk300-後.jpg\r\n")));
        QVERIFY(text.mid(section).contains(QStringLiteral("画像3=\r\n")));

        fMain b(ui);
        QVERIFY(b.ReadFile(path));
        QCOMPARE(b.siteFormPane()->categoryPath(), QStringLiteral("家電、AV、カメラ > カメラ、光学機器 > デジタル一眼"));
        QCOMPARE(c<QLabel>(&b, "lblCategory")->text(), QStringLiteral("家電、AV、カメラ > カメラ、光学機器 > デジタル一眼"));
        QCOMPARE(b.siteFormPane()->pictures(),
                 (QStringList{QStringLiteral("/home/seller/写真/sk300-前.jpg"), QStringLiteral("/home/seller/写真/sk300-後.jpg")}));
        QCOMPARE(c<QLabel>(&b, "A_1")->text(), QStringLiteral("/home/seller/写真/sk300-後.jpg"));
        QCOMPARE(c<QLabel>(&b, "A_2")->text(), QString());

        // A file of before: nothing of the last listing's category or pictures stays.
        folder.writeCp932(
            QStringLiteral("USER/前からの.srb"),
            QStringLiteral("[出品ﾌｫｰﾑ作成]\r\n商品名=前からの出品\r\n[出品手続]\r\nタイトル=前からの出品\r\n開始価格=500\r\n"));
        const QString demo = folder.file(QStringLiteral("USER/前からの.srb"));
        const QByteArray old = folder.readBytes(QStringLiteral("USER/前からの.srb"));
        QVERIFY(!cp932::decode(old).contains(QStringLiteral("[出品カテゴリと画像]")));
        QVERIFY(b.ReadFile(demo));
        QCOMPARE(b.siteFormPane()->categoryPath(), QString());
        QVERIFY(b.siteFormPane()->pictures().isEmpty());
        QCOMPARE(c<QLabel>(&b, "A_0")->text(), QString());
        QVERIFY(ui.messages.isEmpty());
        // Saved again, every line it had stays as it was, in its order, and the new section comes last.
        QVERIFY(MemoryStore(&b, ui).SaveFile(demo));
        const QList<QByteArray> before = old.split('\n'), after = folder.readBytes(QStringLiteral("USER/前からの.srb")).split('\n');
        qsizetype at = 0;
        for (const QByteArray& line : before) {
            if (line.isEmpty()) continue;
            while (at < after.size() && after[at] != line) ++at;
            QVERIFY2(at < after.size(), line.constData());
        }
        QCOMPARE(cp932::decode(after.mid(after.size() - 7).join('\n')).left(18), QStringLiteral("[出品カテゴリと画像]\r\nカテゴリ="));
    }

    void theDemoFilesOpen() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        const QStringList demos = QDir(folder.file(QStringLiteral("USER"))).entryList({QStringLiteral("*.srb")});
        QCOMPARE(demos.size(), 2);
        for (const QString& name : demos) {
            RecordingUiServices ui;
            fMain w(ui);
            QVERIFY(w.ReadFile(folder.file(QStringLiteral("USER/") + name)));
            QVERIFY(!c<QLineEdit>(&w, "txtSYOUHIN")->text().isEmpty());
            QVERIFY(!c<QLineEdit>(&w, "txtTitle")->text().isEmpty());
            // Ready for the queue: each knows its category.
            QVERIFY(w.siteFormPane()->categoryAddress().contains(QStringLiteral("/jp/submit/category?c=")));
            QVERIFY(!w.siteFormPane()->categoryPath().isEmpty());
            QVERIFY(ui.messages.isEmpty());
        }
    }
};

SORABAKO_GUI_TEST_MAIN(TestMemoryFiles)
#include "tst_memoryfiles.moc"
