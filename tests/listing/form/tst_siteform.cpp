#include <QFile>
#include <QtTest>

#include <sys/stat.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QCryptographicHash>
#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "app/fMain.h"
#include "description/DescriptionPane.h"
#include "mail/MailPane.h"
#include "settings/SiteAddresses.h"
#include "settings/mINI.h"
#include "listing/form/MirrorTable.h"
#include "listing/form/SiteFormPane.h"
#include "support/Dialogs.h"
#include "support/Browsing.h"
#include "support/RecordingUiServices.h"
#include "support/SiteSimProcess.h"
#include "support/TempProgramFolder.h"
#include "support/TestMain.h"
#include "support/PageProbes.h"
#include "support/Quiet.h"
#include "support/Press.h"
#include "widgets/Browser.h"

namespace {
constexpr int kLoad = 30000;

bool load(Browser* b, const QString& address) { return loadAndWait(b, address, kLoad); }

QStringList symmetricDifference(const QStringList& a, const QStringList& b) {
    QStringList out;
    for (const QString& x : a)
        if (!b.contains(x)) out << x;
    for (const QString& x : b)
        if (!a.contains(x)) out << x;
    return out;
}
// The element (by id, or the id before "|" of ticked()'s entries) lies inside the visible part of the page.
bool inView(Browser* b, const QString& idOrEntry) {
    const QString id = idOrEntry.section(QLatin1Char('|'), 0, 0);
    return page(b, QStringLiteral("var r=document.getElementById('%1').getBoundingClientRect();"
                                  "return r.top>=0&&r.bottom<=window.innerHeight;")
                       .arg(id))
        .toBool();
}

template <typename T>
T* control(QWidget* w, const QString& name) {
    return child<T>(w, name);
}

// A signed-in listing form of the simulator in WB, its handler done.
bool openForm(const SiteSimProcess& sim, Browser* wb) {
    return load(wb, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_demo")) &&
           load(wb, sim.base() + QStringLiteral("/jp/submit/form?c=21601"));
}
}  // namespace

class TestSiteForm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void controlsStartAsTheSiteExpects() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        QCOMPARE(pane.tabSYUPPINN()->tabText(0), QStringLiteral("商品情報"));
        QCOMPARE(pane.tabSYUPPINN()->tabText(1), QStringLiteral("オプション"));
        // Captions as the seller reads them; 決済, 銀行振込 and 早期終了 ticked from the start.
        const QList<std::tuple<const char*, const char*, bool>> boxes{{"Check16", "Yahoo!かんたん決済", true},
                                                                      {"Check17", "銀行振込", true},
                                                                      {"Check18", "郵便振替", false},
                                                                      {"Check19", "イーバンク銀行決済", false},
                                                                      {"Check20", "ジャパンネットバンク決済", false},
                                                                      {"Check21", "みずほ銀行決済", false},
                                                                      {"Check22", "UFJ銀行決済", false},
                                                                      {"Check23", "現金書留", false},
                                                                      {"Check24", "商品代引", false},
                                                                      {"Check25", "クレジットカード", false},
                                                                      {"Check26", "その他", false},
                                                                      {"Check27", "NTTコム・セーフティパス決済", false},
                                                                      {"Check28", "海外発送する", false},
                                                                      {"Check29", "Yahoo!ゆうﾊﾟｯｸで発送可能", false},
                                                                      {"Check30", "ｵｰｸｼｮﾝﾁｪｯｸ", false},
                                                                      {"Check31", "ｲｵﾝﾚｼﾞｵｰｸｼｮﾝ", false},
                                                                      {"Check35", "太字テキスト", false},
                                                                      {"Check36", "背景色", false},
                                                                      {"Check37", "送料無料アイコン", false},
                                                                      {"Check38", "贈答品アイコン", false},
                                                                      {"Check39", "入札者評価制限", false},
                                                                      {"Check40", "自動延長", false},
                                                                      {"Check41", "早期終了", true}};
        for (const auto& [name, caption, ticked] : boxes) {
            auto* box = control<QCheckBox>(&pane, QLatin1String(name));
            QVERIFY2(box, name);
            QCOMPARE(box->text(), QString::fromUtf8(caption));
            QCOMPARE(box->isChecked(), ticked);
        }
        QCOMPARE(control<QLineEdit>(&pane, QStringLiteral("imNumLite1"))->text(), QStringLiteral("1"));
        QVERIFY(control<QRadioButton>(&pane, QStringLiteral("optHANBAI_0"))->isChecked());
        QVERIFY(control<QRadioButton>(&pane, QStringLiteral("optHANBAI2_0"))->isChecked());
        QCOMPARE(control<QRadioButton>(&pane, QStringLiteral("optHANBAI_1"))->text(), QStringLiteral("出品者が送料を負担"));
        QCOMPARE(control<QComboBox>(&pane, QStringLiteral("Combo5"))->count(), 48);
        QCOMPARE(control<QComboBox>(&pane, QStringLiteral("Combo1"))->itemText(5), QStringLiteral("7 日"));
        QCOMPARE(control<QComboBox>(&pane, QStringLiteral("Combo4"))->itemText(0), QStringLiteral("1 回"));
        QCOMPARE(control<QComboBox>(&pane, QStringLiteral("Combo2"))->itemText(8), QStringLiteral("産地直送"));
        QCOMPARE(control<QComboBox>(&pane, QStringLiteral("Combo1"))->currentIndex(), -1);
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("Label18"))->toolTip(), QStringLiteral("バイト数を表示します。"));
        QCOMPARE(control<QPushButton>(&pane, QStringLiteral("Command14"))->text(), QStringLiteral("画像ｱｯﾌﾟﾛｰﾄﾞ"));
        QCOMPARE(control<QPushButton>(&pane, QStringLiteral("Command20"))->text(), QStringLiteral("カテゴリへ戻る"));
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("A_2"))->toolTip(), QStringLiteral("アップロードする画像のﾊﾟｽを表示します。"));
        QVERIFY(control<QLineEdit>(&pane, QStringLiteral("imText3")));
    }

    void everyChangeLandsInItsField() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        Browser* wb = pane.WB();
        QVERIFY(openForm(sim, wb));

        // Each box ticks the site's field that reads the same, and the page shows that field.
        const QList<std::pair<const char*, const char*>> boxes{{"Check16", "Yahoo!かんたん決済"},
                                                               {"Check17", "銀行振込"},
                                                               {"Check18", "郵便振替"},
                                                               {"Check19", "イーバンク銀行"},
                                                               {"Check20", "ジャパンネット銀行"},
                                                               {"Check21", "みずほ銀行"},
                                                               {"Check22", "UFJ銀行"},
                                                               {"Check23", "現金書留"},
                                                               {"Check24", "商品代引"},
                                                               {"Check25", "クレジットカード"},
                                                               {"Check26", "その他"},
                                                               {"Check27", "NTTコム・セーフティパス"},
                                                               {"Check28", "海外発送"},
                                                               {"Check29", "Yahoo!ゆうパック"},
                                                               {"Check30", "オークションチェック"},
                                                               {"Check31", "イオンレジオークション"},
                                                               {"Check35", "太字テキスト"},
                                                               {"Check36", "背景色"},
                                                               {"Check37", "送料無料アイコン"},
                                                               {"Check38", "贈答品アイコン"},
                                                               {"Check39", "入札者評価制限"},
                                                               {"Check40", "自動延長"},
                                                               {"Check41", "早期終了"}};
        for (const auto& [name, siteText] : boxes) {
            auto* box = control<QCheckBox>(&pane, QLatin1String(name));
            const QStringList before = ticked(wb);
            box->setChecked(!box->isChecked());
            const QStringList after = ticked(wb);
            // Exactly one box of the page changed, and it is the one the site calls by that name.
            const QStringList changed = symmetricDifference(before, after);
            QVERIFY2(changed.size() == 1, name);
            QCOMPARE(changed[0].section(QLatin1Char('|'), 1), QString::fromUtf8(siteText));
            QCOMPARE(after.contains(changed[0]), box->isChecked());
            QVERIFY2(inView(wb, changed[0]), name);
            box->setChecked(!box->isChecked());
            QCOMPARE(ticked(wb), before);
        }
        // Prices and counts: each box fills the site's field of that meaning, in view.
        const QList<std::pair<const char*, const char*>> numbers{{"imNumLite1", "Quantity"},       {"imNumLite2", "StartPrice"},
                                                                 {"imNumLite3", "featuredAmount"}, {"imNumLite4", "JpBuyNowPrice"},
                                                                 {"imNumLite5", "ReservePrice"},   {"imNumLite6", "BidOrBuyPrice"}};
        for (const auto& [name, id] : numbers) {
            control<QLineEdit>(&pane, QLatin1String(name))->setText(QStringLiteral("1200"));
            QCOMPARE(valueOf(wb, QLatin1String(id)).toString(), QStringLiteral("1200"));
            QVERIFY2(inView(wb, QLatin1String(id)), name);
        }
        control<QLineEdit>(&pane, QStringLiteral("Text1"))->setText(QStringLiteral("新宿区西新宿"));
        QCOMPARE(valueOf(wb, QStringLiteral("city")).toString(), QStringLiteral("新宿区西新宿"));

        // Lists: the page's option reads what the seller chose.
        auto* region = control<QComboBox>(&pane, QStringLiteral("Combo5"));
        const QList<std::pair<const char*, const char*>> regions{{"山梨県", "山梨県"}, {"新潟県", "新潟県"}, {"長野県", "長野県"},
                                                                 {"富山県", "富山県"}, {"石川県", "石川県"}, {"福井県", "福井県"},
                                                                 {"海外", "海外"},     {"北海道", "北海道"}};
        for (const auto& [chosen, shown] : regions) {
            region->setCurrentText(QString::fromUtf8(chosen));
            QCOMPARE(selectedText(wb, QStringLiteral("loc_cd")), QString::fromUtf8(shown));
        }
        QVERIFY(inView(wb, QStringLiteral("loc_cd")));
        auto* icon = control<QComboBox>(&pane, QStringLiteral("Combo2"));
        icon->setCurrentText(QStringLiteral("美品"));
        QCOMPARE(selectedText(wb, QStringLiteral("giftSelected")), QStringLiteral("美品"));
        icon->setCurrentText(QStringLiteral("産地直送"));
        QCOMPARE(selectedText(wb, QStringLiteral("giftSelected")), QStringLiteral("産地直送"));
        icon->setCurrentIndex(0);  // the blank icon: none, not a paid one
        QCOMPARE(selectedText(wb, QStringLiteral("giftSelected")), QStringLiteral("なし"));
        control<QComboBox>(&pane, QStringLiteral("Combo1"))->setCurrentText(QStringLiteral("6 日"));
        QCOMPARE(selectedText(wb, QStringLiteral("Duration")), QStringLiteral("6日間"));
        control<QComboBox>(&pane, QStringLiteral("Combo4"))->setCurrentText(QStringLiteral("3 回"));
        QCOMPARE(selectedText(wb, QStringLiteral("numResubmit")), QStringLiteral("3回"));
        control<QComboBox>(&pane, QStringLiteral("Combo3"))->setCurrentIndex(12);
        QCOMPARE(selectedText(wb, QStringLiteral("ClosingTime")), QStringLiteral("午後0時から午後1時"));
        control<QComboBox>(&pane, QStringLiteral("Combo3"))->setCurrentIndex(23);
        QCOMPARE(selectedText(wb, QStringLiteral("ClosingTime")), QStringLiteral("午後11時から午前0時"));
        // Nothing chosen: the icon, relisting and region lists ask for a choice; duration and end hour have none.
        for (const char* name : {"Combo2", "Combo4", "Combo5"}) control<QComboBox>(&pane, QLatin1String(name))->setCurrentIndex(-1);
        QCOMPARE(selectedText(wb, QStringLiteral("giftSelected")), QStringLiteral("選択してください"));
        QCOMPARE(selectedText(wb, QStringLiteral("numResubmit")), QStringLiteral("しない"));
        QCOMPARE(selectedText(wb, QStringLiteral("loc_cd")), QStringLiteral("選択してください"));
        for (const char* name : {"Combo1", "Combo3"}) control<QComboBox>(&pane, QLatin1String(name))->setCurrentIndex(-1);
        QCOMPARE(indexOf(wb, QStringLiteral("Duration")).toInt(), -1);
        QCOMPARE(indexOf(wb, QStringLiteral("ClosingTime")).toInt(), -1);

        // Options: both page items in one step, whichever option was chosen.
        control<QRadioButton>(&pane, QStringLiteral("optHANBAI_1"))->setChecked(true);
        QCOMPARE(page(wb, QStringLiteral("return [document.getElementsByName('shipping')[0].checked,"
                                         "document.getElementsByName('shipping')[1].checked].join();")),
                 QVariant(QStringLiteral("false,true")));
        control<QRadioButton>(&pane, QStringLiteral("optHANBAI_0"))->setChecked(true);
        QCOMPARE(page(wb, QStringLiteral("return [document.getElementsByName('shipping')[0].checked,"
                                         "document.getElementsByName('shipping')[1].checked].join();")),
                 QVariant(QStringLiteral("true,false")));
        QCOMPARE(scrollY(wb), 960);
        control<QRadioButton>(&pane, QStringLiteral("optHANBAI2_1"))->setChecked(true);
        QCOMPARE(page(wb, QStringLiteral("return document.getElementsByName('shiptime')[1].checked;")).toBool(), true);

        // Title and description: no scrolling, and the byte counter follows the page's title.
        wb->scrollTo(0, 0);
        auto* counter = control<QLabel>(&pane, QStringLiteral("Label18"));
        pane.setListing(QString(15, QChar(0x3042)), QStringLiteral("一行目\r\n二行目"));
        QCOMPARE(valueOf(wb, QStringLiteral("Title")).toString(), QString(15, QChar(0x3042)));
        QCOMPARE(valueOf(wb, QStringLiteral("Description")).toString(), QStringLiteral("一行目\n二行目"));
        QCOMPARE(scrollY(wb), 0);
        QCOMPARE(counter->text(), QStringLiteral("30"));
        QCOMPARE(counter->palette().color(QPalette::WindowText), QColor(Qt::black));
        control<QLineEdit>(&pane, QStringLiteral("txtTitle"))->setText(QString(15, QChar(0x3042)) + QLatin1Char('a'));
        QCOMPARE(counter->text(), QStringLiteral("31"));
        QCOMPARE(counter->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(counter->palette().color(QPalette::WindowText), QColor(Qt::white));
        QVERIFY(ui.messages.isEmpty());
    }

    void everyPrefectureReachesTheSiteAsItsJisCode() {
        // JIS X 0401 as the standard lists it: the code the site's region list numbers each by.
        const QStringList jis{
            QStringLiteral("01 北海道"), QStringLiteral("02 青森県"),   QStringLiteral("03 岩手県"), QStringLiteral("04 宮城県"),
            QStringLiteral("05 秋田県"), QStringLiteral("06 山形県"),   QStringLiteral("07 福島県"), QStringLiteral("08 茨城県"),
            QStringLiteral("09 栃木県"), QStringLiteral("10 群馬県"),   QStringLiteral("11 埼玉県"), QStringLiteral("12 千葉県"),
            QStringLiteral("13 東京都"), QStringLiteral("14 神奈川県"), QStringLiteral("15 新潟県"), QStringLiteral("16 富山県"),
            QStringLiteral("17 石川県"), QStringLiteral("18 福井県"),   QStringLiteral("19 山梨県"), QStringLiteral("20 長野県"),
            QStringLiteral("21 岐阜県"), QStringLiteral("22 静岡県"),   QStringLiteral("23 愛知県"), QStringLiteral("24 三重県"),
            QStringLiteral("25 滋賀県"), QStringLiteral("26 京都府"),   QStringLiteral("27 大阪府"), QStringLiteral("28 兵庫県"),
            QStringLiteral("29 奈良県"), QStringLiteral("30 和歌山県"), QStringLiteral("31 鳥取県"), QStringLiteral("32 島根県"),
            QStringLiteral("33 岡山県"), QStringLiteral("34 広島県"),   QStringLiteral("35 山口県"), QStringLiteral("36 徳島県"),
            QStringLiteral("37 香川県"), QStringLiteral("38 愛媛県"),   QStringLiteral("39 高知県"), QStringLiteral("40 福岡県"),
            QStringLiteral("41 佐賀県"), QStringLiteral("42 長崎県"),   QStringLiteral("43 熊本県"), QStringLiteral("44 大分県"),
            QStringLiteral("45 宮崎県"), QStringLiteral("46 鹿児島県"), QStringLiteral("47 沖縄県")};
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        Browser* wb = pane.WB();
        QVERIFY(openForm(sim, wb));
        auto* region = control<QComboBox>(&pane, QStringLiteral("Combo5"));
        // The seller's list holds each prefecture once (and 海外), so none can be missed here.
        QCOMPARE(region->count(), 48);
        for (const QString& entry : jis) {
            const int code = entry.left(2).toInt();
            const QString name = entry.mid(3);
            QVERIFY2(region->findText(name) >= 0, qPrintable(name));
            region->setCurrentIndex(region->findText(name));
            QCOMPARE(selectedText(wb, QStringLiteral("loc_cd")), name);
            QCOMPARE(indexOf(wb, QStringLiteral("loc_cd")).toInt(), code);
        }
    }

    void aPageWithoutTheFieldsTakesNothingAndSaysNothing() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        Browser* wb = pane.WB();
        QVERIFY(openForm(sim, wb));
        control<QLineEdit>(&pane, QStringLiteral("txtTitle"))->setText(QStringLiteral("abc"));
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("Label18"))->text(), QStringLiteral("3"));
        QVERIFY(load(wb, SiteAddresses::submitStartUrl()));
        control<QLineEdit>(&pane, QStringLiteral("txtTitle"))->setText(QStringLiteral("abcdef"));
        control<QCheckBox>(&pane, QStringLiteral("Check18"))->setChecked(true);
        control<QComboBox>(&pane, QStringLiteral("Combo5"))->setCurrentIndex(3);
        control<QRadioButton>(&pane, QStringLiteral("optHANBAI_1"))->setChecked(true);
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("Label18"))->text(), QStringLiteral("3"));  // the old count stays
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(wb->documentTitle().text(), QStringLiteral("Yahoo!オークション - 出品"));
        // The operations say why they did nothing.
        QCOMPARE(wb->setValueById(QStringLiteral("Title"), QStringLiteral("x")).outcome, Browser::Outcome::Missing);
        QCOMPARE(wb->scrollTo(0, 10).outcome, Browser::Outcome::Done);
    }

    void mirrorAllAfterALoadFillsEveryFieldItPushes() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        Browser* wb = pane.WB();
        // Set while no form is shown: nothing lands anywhere yet.
        pane.setListing(QStringLiteral("★カメラ★"), QStringLiteral("美品です。\r\n箱あり"));
        control<QLineEdit>(&pane, QStringLiteral("imNumLite2"))->setText(QStringLiteral("25000"));
        control<QLineEdit>(&pane, QStringLiteral("imNumLite3"))->setText(QStringLiteral("20"));
        control<QLineEdit>(&pane, QStringLiteral("imNumLite4"))->setText(QStringLiteral("99999"));
        control<QLineEdit>(&pane, QStringLiteral("imNumLite5"))->setText(QStringLiteral("18000"));
        control<QLineEdit>(&pane, QStringLiteral("imNumLite6"))->setText(QStringLiteral("30000"));
        control<QLineEdit>(&pane, QStringLiteral("Text1"))->setText(QStringLiteral("新宿区"));
        control<QCheckBox>(&pane, QStringLiteral("Check24"))->setChecked(true);
        control<QCheckBox>(&pane, QStringLiteral("Check17"))->setChecked(false);
        control<QCheckBox>(&pane, QStringLiteral("Check37"))->setChecked(true);
        control<QRadioButton>(&pane, QStringLiteral("optHANBAI_1"))->setChecked(true);
        control<QComboBox>(&pane, QStringLiteral("Combo1"))->setCurrentIndex(3);
        control<QComboBox>(&pane, QStringLiteral("Combo2"))->setCurrentIndex(1);
        control<QComboBox>(&pane, QStringLiteral("Combo3"))->setCurrentIndex(9);
        control<QComboBox>(&pane, QStringLiteral("Combo4"))->setCurrentIndex(2);
        control<QComboBox>(&pane, QStringLiteral("Combo5"))->setCurrentIndex(12);
        QVERIFY(openForm(sim, wb));

        QCOMPARE(valueOf(wb, QStringLiteral("Title")).toString(), QStringLiteral("★カメラ★"));
        QCOMPARE(valueOf(wb, QStringLiteral("Description")).toString(), QStringLiteral("美品です。\n箱あり"));
        QCOMPARE(valueOf(wb, QStringLiteral("StartPrice")).toString(), QStringLiteral("25000"));
        QCOMPARE(valueOf(wb, QStringLiteral("Quantity")).toString(), QStringLiteral("1"));
        QCOMPARE(valueOf(wb, QStringLiteral("featuredAmount")).toString(), QStringLiteral("20"));
        QCOMPARE(valueOf(wb, QStringLiteral("BidOrBuyPrice")).toString(), QStringLiteral("30000"));
        QCOMPARE(valueOf(wb, QStringLiteral("city")).toString(), QStringLiteral("新宿区"));
        // The buy-now and reserve prices reach a form that loads after they were set (a memory file, say).
        QCOMPARE(valueOf(wb, QStringLiteral("JpBuyNowPrice")).toString(), QStringLiteral("99999"));
        QCOMPARE(valueOf(wb, QStringLiteral("ReservePrice")).toString(), QStringLiteral("18000"));
        QCOMPARE(tickedNames(wb), (QStringList{QStringLiteral("Yahoo!かんたん決済"), QStringLiteral("商品代引"),
                                               QStringLiteral("送料無料アイコン"), QStringLiteral("早期終了")}));
        QCOMPARE(page(wb, QStringLiteral("return document.getElementsByName('shipping')[1].checked;")).toBool(), true);
        QCOMPARE(page(wb, QStringLiteral("return document.getElementsByName('shiptime')[0].checked;")).toBool(), true);
        QCOMPARE(selectedText(wb, QStringLiteral("Duration")), QStringLiteral("5日間"));
        QCOMPARE(selectedText(wb, QStringLiteral("giftSelected")), QStringLiteral("新品"));
        QCOMPARE(selectedText(wb, QStringLiteral("ClosingTime")), QStringLiteral("午前9時から午前10時"));
        QCOMPARE(selectedText(wb, QStringLiteral("numResubmit")), QStringLiteral("3回"));
        QCOMPARE(selectedText(wb, QStringLiteral("loc_cd")), QStringLiteral("東京都"));
        QCOMPARE(scrollY(wb), 200);  // after the mirrors, the page goes to the top of the form
    }

    void theContinuePromptAsksOncePerButton() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        folder.writeCp932(QStringLiteral("DATA/two.html"),
                          QStringLiteral("<html><head><meta charset=shift_jis><title>t</title></head><body>"
                                         "<input type=button name=btn id=btn value=続ける onclick=\"document.title='clicked'\">"
                                         "<input type=button name=btn value=続ける><input name=btn value=戻る></body></html>"));
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        Browser* wb = pane.WB();
        ui.answers << UiServices::Answer::Yes << UiServices::Answer::Yes;
        QVERIFY(load(wb, folder.file(QStringLiteral("DATA/two.html"))));
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(ui.messages[0].text, QStringLiteral("出品手続きを行いますか？"));
        QCOMPARE(ui.messages[0].title, QStringLiteral("出品"));
        QCOMPARE(ui.messages[0].buttons, UiServices::Buttons::YesNo);
        QCOMPARE(ui.messages[0].icon, UiServices::Icon::Information);
        QCOMPARE(wb->documentTitle().text(), QStringLiteral("clicked"));

        // No: back to the listing start page.
        ui.messages.clear();
        folder.writeCp932(
            QStringLiteral("DATA/one.html"),
            QStringLiteral(
                "<html><head><meta charset=shift_jis></head><body><input type=button name=btn id=btn value=続ける></body></html>"));
        ui.answers << UiServices::Answer::No;
        QSignalSpy done(wb, &Browser::DocumentComplete);
        wb->Navigate2(folder.file(QStringLiteral("DATA/one.html")));
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 2, kLoad);
        QCOMPARE(done.last().at(0).toString(), SiteAddresses::submitStartUrl());
        QCOMPARE(ui.messages.size(), 1);
    }

    void aFailedLoadNeitherPromptsNorMirrors() {
        // A load that is given up leaves the old page (with its 続ける button) where it was.
        TempProgramFolder folder;
        SiteSimProcess sim({QStringLiteral("--fault"), QStringLiteral("/jp/stalled=stall")});
        folder.writeCp932(QStringLiteral("DATA/one.html"),
                          QStringLiteral("<html><head><meta charset=shift_jis></head><body>"
                                         "<input type=button name=btn id=btn value=続ける></body></html>"));
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        Browser* wb = pane.WB();
        QVERIFY(load(wb, folder.file(QStringLiteral("DATA/one.html"))));
        QCOMPARE(ui.messages.size(), 1);
        QSignalSpy done(wb, &Browser::DocumentComplete);
        wb->Navigate2(sim.base() + QStringLiteral("/jp/stalled"));
        staysQuietFor(300);  // the request on its way
        wb->stop();
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, kLoad);
        QVERIFY(!wb->lastLoadOk());
        QVERIFY(staysQuietFor(300, [&] { return ui.messages.size() != 1; }));
    }

    void aPageThatFinishesWhileAReadWaitsIsHandledAfterIt() {
        TempProgramFolder folder;
        SiteSimProcess sim({QStringLiteral("--latency"), QStringLiteral("200")});
        folder.writeCp932(QStringLiteral("DATA/a.html"), QStringLiteral("<html><body>a</body></html>"));
        Browser b;
        QVERIFY(load(&b, folder.file(QStringLiteral("DATA/a.html"))));
        QStringList events;
        connect(&b, &QWebEngineView::loadFinished, &b, [&] { events << QStringLiteral("loaded"); });
        connect(&b, &Browser::DocumentComplete, &b, [&] { events << QStringLiteral("complete"); });
        b.Navigate2(sim.base() + QStringLiteral("/jp/0-submit.html"));
        // A read that takes longer than the page: the old document is busy for two seconds.
        events << QStringLiteral("read");
        b.evaluate(QStringLiteral("var t=Date.now();while(Date.now()-t<2000){}return 1;"), 4000);
        events << QStringLiteral("read done");
        QTRY_VERIFY_WITH_TIMEOUT(events.contains(QStringLiteral("complete")), kLoad);
        QCOMPARE(events,
                 (QStringList{QStringLiteral("read"), QStringLiteral("loaded"), QStringLiteral("read done"), QStringLiteral("complete")}));
    }

    void titleAndDescriptionScrollOnceWhenTheyTakeTheFocus() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.vsMAIN()->setCurrentWidget(w.siteFormPane());
        Browser* wb = w.WB();
        QVERIFY(openForm(sim, wb));
        auto* title = control<QLineEdit>(&w, QStringLiteral("txtTitle"));
        auto* description = control<QPlainTextEdit>(&w, QStringLiteral("txtDescription"));
        title->setFocus();
        QTRY_COMPARE(scrollY(wb), 450);
        wb->scrollTo(0, 0);
        QTest::keyClicks(title, QStringLiteral("abc"));  // typing writes, it does not scroll
        QCOMPARE(valueOf(wb, QStringLiteral("Title")).toString(), QStringLiteral("abc"));
        QCOMPARE(scrollY(wb), 0);
        description->setFocus();
        QTRY_COMPARE(scrollY(wb), 650);
        title->setFocus();
        QTRY_COMPARE(scrollY(wb), 450);

        // Another window taking the focus and giving it back, or the box's context menu, is no
        // new entry into the box: the seller's own scrolling stays where it is.
        wb->scrollTo(0, 0);
        for (Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
            QFocusEvent out(QEvent::FocusOut, reason), in(QEvent::FocusIn, reason);
            QApplication::sendEvent(title, &out);
            QApplication::sendEvent(title, &in);
            QVERIFY(staysQuietFor(200, [&] { return scrollY(wb) != 0; }));
        }
    }

    void numberFieldsOfTheMainWindowKeepTheKeyboardRule() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        fMain w(ui);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.vsMAIN()->setCurrentWidget(w.siteFormPane());
        auto* price = control<QLineEdit>(&w, QStringLiteral("imNumLite2"));
        w.siteFormPane()->tabSYUPPINN()->setCurrentIndex(0);
        price->setFocus();
        QTRY_VERIFY(price->hasFocus());
        QTest::keyClicks(price, QStringLiteral("1a2,3"));
        QCOMPARE(price->text(), QStringLiteral("123"));
        QTest::keyClick(price, Qt::Key_Return);
        QTRY_VERIFY(!price->hasFocus());
        QCOMPARE(price->text(), QStringLiteral("123"));
        auto* title = control<QLineEdit>(&w, QStringLiteral("txtTitle"));
        title->setFocus();
        QTRY_VERIFY(title->hasFocus());
        QTest::keyClick(title, Qt::Key_Enter);
        QTRY_VERIFY(!title->hasFocus());
    }

    void startUpListDefaults() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        QVERIFY(openForm(sim, w.WB()));
        w.setListDefaults();
        QCOMPARE(control<QComboBox>(&w, QStringLiteral("Combo5"))->currentIndex(), 0);
        QCOMPARE(control<QComboBox>(&w, QStringLiteral("Combo1"))->currentIndex(), 3);
        QCOMPARE(control<QComboBox>(&w, QStringLiteral("Combo3"))->currentIndex(), 9);
        QCOMPARE(control<QComboBox>(&w, QStringLiteral("Combo4"))->currentIndex(), 2);
        QCOMPARE(indexOf(w.WB(), QStringLiteral("loc_cd")).toInt(), 1);
        QCOMPARE(indexOf(w.WB(), QStringLiteral("Duration")).toInt(), 3);
        QCOMPARE(indexOf(w.WB(), QStringLiteral("ClosingTime")).toInt(), 9);
        QCOMPARE(indexOf(w.WB(), QStringLiteral("numResubmit")).toInt(), 3);
    }

    void toTheListingCarriesTitleAndDescription() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        fMain w(ui);
        auto* name = control<QLineEdit>(&w, QStringLiteral("txtSYOUHIN"));
        auto* mark = control<QComboBox>(&w, QStringLiteral("cmbKIGOU_1"));
        auto* html = control<QPlainTextEdit>(&w, QStringLiteral("txtHTML"));
        auto* title = control<QLineEdit>(&w, QStringLiteral("txtTitle"));
        w.vsMAIN()->setCurrentWidget(w.descriptionPane());
        press(w.descriptionPane(), "Command9");
        QCOMPARE(ui.messageTexts(), QStringList{QStringLiteral("タイトル(商品名)を入力して下さい。")});
        QCOMPARE(ui.messages[0].title, QStringLiteral("出品フォーム作成"));
        QCOMPARE(title->text(), QString());
        QCOMPARE(w.vsMAIN()->currentWidget(), w.descriptionPane());

        name->setText(QStringLiteral("ソラ光学 SK-300"));
        mark->setCurrentIndex(1);
        html->setPlainText(QStringLiteral("<b>手で直した</b>\n二行目"));
        control<QPushButton>(&w, QStringLiteral("Command9"))->click();
        QCOMPARE(title->text(), QStringLiteral("★ソラ光学 SK-300★"));
        QCOMPARE(control<QPlainTextEdit>(&w, QStringLiteral("txtDescription"))->toPlainText(), QStringLiteral("<b>手で直した</b>\n二行目"));
        QCOMPARE(w.vsMAIN()->currentWidget(), w.siteFormPane());

        mark->setCurrentIndex(-1);
        press(w.descriptionPane(), "Command9");
        QCOMPARE(title->text(), QStringLiteral("ソラ光学 SK-300"));
    }

    void theClosedListingsAskForALogin() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        DialogCloser logins(QStringLiteral("frmLogin"));
        Browser* wb2 = w.WB2();
        const QString message = QStringLiteral("ログインされていません。\r\nログインして下さい。");

        QVERIFY(load(wb2, SiteAddresses::closedListingsUrl()));  // signed out: the site's login button
        QCOMPARE(ui.messageTexts(), QStringList{message});
        QCOMPARE(ui.messages[0].title, QStringLiteral("ログイン"));
        QCOMPARE(logins.count(), 1);
        QVERIFY(scrollY(wb2) < 500);  // the short page cannot scroll to 500; no harm done

        // Signed in but expired: the password text, once.
        ui.messages.clear();
        QVERIFY(load(wb2, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_demo")));
        QCOMPARE(sim.control(QStringLiteral("expire")), QStringLiteral("OK"));
        QVERIFY(load(wb2, SiteAddresses::closedListingsUrl()));
        QCOMPARE(ui.messageTexts(), QStringList{message});
        QCOMPARE(logins.count(), 2);

        // The text wins over a login button; two buttons mean two logins.
        ui.messages.clear();
        folder.writeCp932(QStringLiteral("DATA/both.html"),
                          QStringLiteral("<html><head><meta charset=shift_jis></head><body><p>続けるにはパスワードを再入力してください</p>"
                                         "<input type=submit name=.save value=ログイン></body></html>"));
        QVERIFY(load(wb2, folder.file(QStringLiteral("DATA/both.html"))));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(logins.count(), 3);
        folder.writeCp932(QStringLiteral("DATA/two.html"),
                          QStringLiteral("<html><head><meta charset=shift_jis></head><body><input type=submit name=.save value=ログイン>"
                                         "<input type=submit name=.save value=ログイン>"
                                         "<input type=submit name=.save value=次へ></body></html>"));
        QVERIFY(load(wb2, folder.file(QStringLiteral("DATA/two.html"))));
        QCOMPARE(ui.messages.size(), 3);
        QCOMPARE(logins.count(), 5);
    }

    void aWholeListing() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        w.resize(1280, 860);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        Browser* wb = w.WB();
        QVERIFY(load(wb, sim.base() + QStringLiteral("/__sim/signin?login=sorabako_demo")));

        // The listing prepared on the description pane and here.
        control<QLineEdit>(&w, QStringLiteral("txtSYOUHIN"))->setText(QStringLiteral("ソラ光学 SK-300"));
        control<QComboBox>(&w, QStringLiteral("cmbKIGOU_1"))->setCurrentIndex(1);
        control<QPlainTextEdit>(&w, QStringLiteral("txtHTML"))->setPlainText(QStringLiteral("<p>美品です。</p>"));
        press(w.descriptionPane(), "Command9");
        w.setListDefaults();
        control<QLineEdit>(&w, QStringLiteral("imNumLite2"))->setText(QStringLiteral("25000"));
        control<QComboBox>(&w, QStringLiteral("Combo5"))->setCurrentText(QStringLiteral("山梨県"));
        control<QLineEdit>(&w, QStringLiteral("Text1"))->setText(QStringLiteral("甲府市"));

        // Start page, a category, a sub-category, 続ける (answered Yes), the form.
        control<QPushButton>(&w, QStringLiteral("Command20"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(wb->url().toString(), SiteAddresses::submitStartUrl(), kLoad);
        QSignalSpy done(wb, &Browser::DocumentComplete);
        QTRY_VERIFY_WITH_TIMEOUT(wb->documentTitle().text() == QStringLiteral("Yahoo!オークション - 出品"), kLoad);
        for (const char* c : {"23632", "23633", "23634"}) {
            const int before = static_cast<int>(done.count());
            QVERIFY(wb->evaluate(QStringLiteral("document.querySelector('a[href$=\"c=%1\"]').click();return true;").arg(QLatin1String(c))));
            QTRY_VERIFY_WITH_TIMEOUT(done.count() > before, kLoad);
        }
        QTRY_VERIFY_WITH_TIMEOUT(wb->documentTitle().text() == QStringLiteral("Yahoo!オークション - 出品フォーム"), kLoad);
        QCOMPARE(ui.messageTexts(), QStringList{QStringLiteral("出品手続きを行いますか？")});
        QTRY_COMPARE_WITH_TIMEOUT(valueOf(wb, QStringLiteral("Title")).toString(), QStringLiteral("★ソラ光学 SK-300★"), kLoad);
        QCOMPARE(valueOf(wb, QStringLiteral("StartPrice")).toString(), QStringLiteral("25000"));

        // The form is sent; the picture-upload page comes.
        const int before = static_cast<int>(done.count());
        QVERIFY(wb->evaluate(QStringLiteral("document.forms['auction'].submit();return true;")));
        QTRY_VERIFY_WITH_TIMEOUT(done.count() > before, kLoad);
        QTRY_COMPARE_WITH_TIMEOUT(wb->documentTitle().text(), QStringLiteral("Yahoo!オークション - 画像のアップロード"), kLoad);
        QTRY_COMPARE_WITH_TIMEOUT(scrollY(wb), 10, kLoad);  // the upload page stops near its top, the form at 200

        // A real picture goes up.
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(QColor(200, 30, 30));
        const QString path = folder.file(QStringLiteral("USER/camera.png"));
        QVERIFY(picture.save(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        ui.openNames << path;
        w.vsMAIN()->setCurrentWidget(w.siteFormPane());
        press(w.siteFormPane(), "Command14");
        QCOMPARE(ui.fileDialogs.size(), 1);
        QVERIFY(ui.fileDialogs[0].endsWith(QStringLiteral("|記憶ファイル(*.*)|*.*")));
        QCOMPARE(ui.clipboard, path);
        QCOMPARE(control<QLabel>(&w, QStringLiteral("A_0"))->text(), path);
        QCOMPARE(control<QLineEdit>(&w, QStringLiteral("imText3"))->text(), QString());
        // The site gets a copy made for it, under the seller's name: the same picture, as a JPEG.
        QTRY_VERIFY_WITH_TIMEOUT(sim.control(QStringLiteral("upload")).startsWith(QStringLiteral("camera.jpg ")), kLoad);
        const QString expected = sim.control(QStringLiteral("upload"));
        QImage received;
        QVERIFY(received.loadFromData(sim.controlBytes(QStringLiteral("picture"))));
        QCOMPARE(received.size(), QSize(64, 48));
        QVERIFY(qAbs(qRed(received.pixel(30, 20)) - 200) < 12 && qGreen(received.pixel(30, 20)) < 50);
        QCOMPARE(bytes, [&] {
            QFile again(path);
            again.open(QIODevice::ReadOnly);
            return again.readAll();
        }());

        // The confirmation shows what was sent (once the pane has heard the site's answer).
        QTRY_VERIFY_WITH_TIMEOUT(!w.siteFormPane()->uploadingPictures(), kLoad);
        QTRY_VERIFY_WITH_TIMEOUT(wb->bodyText().text().contains(QStringLiteral("camera.jpg")), kLoad);
        QVERIFY(wb->clickById(QStringLiteral("toConfirm")));
        QTRY_COMPARE_WITH_TIMEOUT(wb->documentTitle().text(), QStringLiteral("Yahoo!オークション - 出品内容の確認"), kLoad);
        auto cell = [&](const char* id) {
            return page(wb, QStringLiteral("return document.getElementById('%1').innerText;").arg(QLatin1String(id))).toString();
        };
        QCOMPARE(cell("cTitle"), QStringLiteral("★ソラ光学 SK-300★"));
        QCOMPARE(cell("cStartPrice"), QStringLiteral("25000 円"));
        QCOMPARE(cell("cDuration"), QStringLiteral("5日間"));
        QCOMPARE(cell("cRegion"), QStringLiteral("山梨県 甲府市"));
        QCOMPARE(cell("cPayment"), QStringLiteral("Yahoo!かんたん決済、銀行振込"));
        QCOMPARE(cell("cImages").trimmed(), QStringLiteral("camera.jpg"));
        QCOMPARE(ui.messages.size(), 1);

        // With the listing's pictures taken off, a cancelled picture dialog sends nothing.
        QVERIFY(load(wb, sim.base() + QStringLiteral("/jp/submit/image")));
        control<QPushButton>(&w, QStringLiteral("cmdPICCLEAR"))->click();
        QCOMPARE(control<QLabel>(&w, QStringLiteral("A_0"))->text(), QString());
        QTRY_VERIFY_WITH_TIMEOUT(!w.siteFormPane()->uploadingPictures(), kLoad);
        press(w.siteFormPane(), "Command14");
        QCOMPARE(ui.fileDialogs.size(), 2);
        QCOMPARE(control<QLabel>(&w, QStringLiteral("A_0"))->text(), QString());
        QVERIFY(staysQuietFor(300, [&] { return sim.control(QStringLiteral("upload")) != expected; }));
    }

    // The fees the pane adds up are the fees the site charges: the site's own confirmation
    // shows the same sum. 太字 10.80 + 背景色 32.40 + 美品 icon 21.60 + 50 円 × 5 日 = 314.80 円.
    void theOptionsCostWhatTheSiteCharges() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        auto* total = control<QLabel>(&pane, QStringLiteral("lblFeeTotal"));
        QCOMPARE(total->text(), QStringLiteral("合計　0円"));
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("lblFees"))->text(), QStringLiteral("有料オプションは選ばれていません。"));
        control<QComboBox>(&pane, QStringLiteral("Combo1"))->setCurrentText(QStringLiteral("5 日"));
        control<QCheckBox>(&pane, QStringLiteral("Check35"))->setChecked(true);
        QCOMPARE(total->text(), QStringLiteral("合計　10.80円"));
        control<QCheckBox>(&pane, QStringLiteral("Check36"))->setChecked(true);
        control<QComboBox>(&pane, QStringLiteral("Combo2"))->setCurrentText(QStringLiteral("美品"));
        control<QLineEdit>(&pane, QStringLiteral("imNumLite3"))->setText(QStringLiteral("50"));
        QCOMPARE(total->text(), QStringLiteral("合計　314.80円"));
        QVERIFY(control<QLabel>(&pane, QStringLiteral("lblFees"))->text().contains(QStringLiteral("50円 × 5日")));
        // The duration counts for the featured auction: 6 days, 50 yen more.
        control<QComboBox>(&pane, QStringLiteral("Combo1"))->setCurrentText(QStringLiteral("6 日"));
        QCOMPARE(total->text(), QStringLiteral("合計　364.80円"));
        control<QComboBox>(&pane, QStringLiteral("Combo1"))->setCurrentText(QStringLiteral("5 日"));
        pane.tabSYUPPINN()->setCurrentIndex(1);
        QVERIFY(ui.messages.isEmpty());

        QVERIFY(openForm(sim, pane.WB()));
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("lblFormCheck"))->text(),
                 QStringLiteral("すべての項目が出品フォームに入りました。"));
        QVERIFY(!control<QListWidget>(&pane, QStringLiteral("lstFormCheck"))->isVisibleTo(&pane));
        QVERIFY(pane.WB()->evaluate(QStringLiteral("document.forms['auction'].submit();return true;")));
        QTRY_COMPARE_WITH_TIMEOUT(pane.WB()->documentTitle().text(), QStringLiteral("Yahoo!オークション - 画像のアップロード"), kLoad);
        QVERIFY(load(pane.WB(), sim.base() + QStringLiteral("/jp/submit/confirm")));
        QCOMPARE(page(pane.WB(), QStringLiteral("return document.getElementById('cFees').innerText;")).toString(),
                 QStringLiteral("314.80 円"));
        // The form's check outlives the pages after it: the listing is still the one the form took.
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("lblFormCheck"))->text(),
                 QStringLiteral("すべての項目が出品フォームに入りました。"));
    }

    // The site redesigned its form: two fields went by new names. The pane says which, exactly.
    void aRedesignedFormListsTheFieldsItLost() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--rename-fields"), QStringLiteral("ReservePrice,Quantity")});
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        auto* text = control<QLabel>(&pane, QStringLiteral("lblFormCheck"));
        auto* list = control<QListWidget>(&pane, QStringLiteral("lstFormCheck"));
        QCOMPARE(text->text(), QStringLiteral("出品フォームを開くと、各項目がページに入ったかをここに表示します。"));
        control<QLineEdit>(&pane, QStringLiteral("imNumLite5"))->setText(QStringLiteral("18000"));
        control<QLineEdit>(&pane, QStringLiteral("imNumLite2"))->setText(QStringLiteral("3000"));
        control<QLineEdit>(&pane, QStringLiteral("imNumLite1"))->setText(QStringLiteral("2"));
        QVERIFY(openForm(sim, pane.WB()));
        QStringList lines;
        for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
        QCOMPARE(lines,
                 (QStringList{QStringLiteral("数量：ページに項目がありません"), QStringLiteral("最低落札価格：ページに項目がありません")}));
        QVERIFY2(
            text->text().startsWith(QStringLiteral("2 項目が出品フォームに入りませんでした。サイトの出品フォームで直接入力して下さい。")),
            qPrintable(text->text()));
        // The page as it was is kept, and the pane says where.
        QVERIFY2(text->text().contains(QStringLiteral("（ページを ")) && text->text().contains(QStringLiteral("診断")),
                 qPrintable(text->text()));
        QVERIFY(list->isVisibleTo(&pane));
        QCOMPARE(pane.formCheck().notReached, (QStringList{QStringLiteral("imNumLite1"), QStringLiteral("imNumLite5")}));
        // Everything else did reach the page, the renamed fields did not get another's value.
        QCOMPARE(valueOf(pane.WB(), QStringLiteral("ReservePrice_2")).toString(), QString());
        QCOMPARE(valueOf(pane.WB(), QStringLiteral("Quantity_2")).toString(), QString());
        QCOMPARE(valueOf(pane.WB(), QStringLiteral("StartPrice")).toString(), QStringLiteral("3000"));
        QVERIFY(ui.messages.isEmpty());  // said on the pane, not in the seller's way

        // A new listing begins at the page before its form (answered No: back to the start): forgotten.
        ui.answers << UiServices::Answer::No;
        QVERIFY(load(pane.WB(), sim.base() + QStringLiteral("/jp/submit/category?c=21601")));
        QTRY_COMPARE_WITH_TIMEOUT(text->text(), QStringLiteral("出品フォームを開くと、各項目がページに入ったかをここに表示します。"),
                                  kLoad);
        QCOMPARE(list->count(), 0);
    }

    // The fee file is the seller's to edit: missing, wrong or mended, the pane says so and follows.
    void aFeeFileThatCannotBeReadIsSaidOnce() {
        TempProgramFolder folder;  // no fee file
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        control<QCheckBox>(&pane, QStringLiteral("Check35"))->setChecked(true);
        QVERIFY(ui.messages.isEmpty());  // not at start-up, nor on a tick: when the seller looks
        pane.tabSYUPPINN()->setCurrentIndex(1);
        const QString path = folder.file(QStringLiteral("MAST/有料オプション.csv"));
        QCOMPARE(ui.messageTexts(), QStringList{QStringLiteral("有料オプションの料金表が見つかりません。\r\n") + path +
                                                QStringLiteral("\r\n料金の目安は表示できません。")});
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("lblFeeTotal"))->text(), QString());
        QVERIFY(control<QLabel>(&pane, QStringLiteral("lblFees"))->text().contains(QStringLiteral("料金は表示できません")));
        pane.tabSYUPPINN()->setCurrentIndex(0);
        pane.tabSYUPPINN()->setCurrentIndex(1);
        QCOMPARE(ui.messages.size(), 1);  // the same fault is not told twice

        folder.writeCp932(QStringLiteral("MAST/有料オプション.csv"),
                          QStringLiteral("項目,料金（円）\r\n太字テキスト,10.80\r\n背景色,三十円\r\n"));
        pane.tabSYUPPINN()->setCurrentIndex(0);
        pane.tabSYUPPINN()->setCurrentIndex(1);
        QCOMPARE(ui.messages.size(), 2);
        QVERIFY(ui.messageTexts().last().startsWith(QStringLiteral("有料オプションの料金表の 3 行目が正しくありません。\r\n") + path));

        // Mended while the program runs: the summary comes back without a restart.
        folder.writeCp932(QStringLiteral("MAST/有料オプション.csv"),
                          QStringLiteral("項目,料金（円）\r\n太字テキスト,11\r\n背景色,33\r\n送料無料アイコン,11\r\n"
                                         "贈答品アイコン,22\r\n目立ちアイコン,22\r\n"));
        control<QCheckBox>(&pane, QStringLiteral("Check37"))->setChecked(true);
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("lblFeeTotal"))->text(), QStringLiteral("合計　22円"));
        QVERIFY(pane.reportFeeFile());
        QCOMPARE(ui.messages.size(), 2);

        // Broken again while the seller stays on the options: said at the next change there.
        pane.show();
        folder.writeCp932(QStringLiteral("MAST/有料オプション.csv"), QStringLiteral("項目,料金（円）\r\n太字テキスト,11\r\n"));
        control<QCheckBox>(&pane, QStringLiteral("Check38"))->setChecked(true);
        QCOMPARE(ui.messages.size(), 3);
        QVERIFY(ui.messageTexts().last().startsWith(QStringLiteral("有料オプションの料金表に「背景色」の料金がありません。\r\n") + path));
    }

    // 確認 with a paid option and a form that lost two fields: the summary first, then the Part's
    // notice and scroll when the seller goes on; nothing when the seller goes back.
    void confirmWarnsOfALongTitleAndNoStartPrice() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(openForm(sim, w.WB()));
        // 37 bytes as the site counts them: full-width characters 2, half-width 1.
        control<QLineEdit>(&w, QStringLiteral("txtTitle"))->setText(QStringLiteral("★テスト出品 カメラ ﾚﾝｽﾞ付き 箱あり★"));
        control<QLineEdit>(&w, QStringLiteral("imNumLite2"))->clear();
        DialogCloser notices(QStringLiteral("frmKakunin"));
        DialogHandler summary(QStringLiteral("frmYOUYAKU"), [](QDialog* d) {
            QCOMPARE(control<QLabel>(d, QStringLiteral("lblWarnings"))->text(),
                     QStringLiteral("タイトルが 37 バイトあります（30 バイトまで）。短くして下さい。\n開始価格が入力されていません。"));
            QVERIFY(control<QPushButton>(d, QStringLiteral("cmdBACK"))->isDefault());
            control<QPushButton>(d, QStringLiteral("cmdBACK"))->click();
        });
        press(&w, "Command7");
        QVERIFY(summary.handled());
        QCOMPARE(notices.count(), 0);

        // Mended: nothing to warn of, and nothing else to say: straight to the notice.
        control<QLineEdit>(&w, QStringLiteral("txtTitle"))->setText(QStringLiteral("★テスト出品 カメラ★"));
        control<QLineEdit>(&w, QStringLiteral("imNumLite2"))->setText(QStringLiteral("1000"));
        DialogCloser summaries(QStringLiteral("frmYOUYAKU"));
        press(&w, "Command7");
        QTRY_COMPARE(notices.count(), 1);
        QCOMPARE(summaries.count(), 0);
    }

    void confirmShowsTheSummaryFirst() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        SiteSimProcess sim({QStringLiteral("--rename-fields"), QStringLiteral("ReservePrice,Quantity")});
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        fMain w(ui);
        w.resize(1280, 860);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Browser* wb = w.WB();
        control<QCheckBox>(&w, QStringLiteral("Check36"))->setChecked(true);
        QVERIFY(openForm(sim, wb));
        const int top = scrollY(wb);

        // Back: neither the notice nor the scroll.
        DialogCloser notices(QStringLiteral("frmKakunin"));
        DialogHandler back(QStringLiteral("frmYOUYAKU"), [](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("出品前の確認"));
            QCOMPARE(control<QLabel>(d, QStringLiteral("lblTotal"))->text(), QStringLiteral("合計　32.40円"));
            auto* missing = control<QListWidget>(d, QStringLiteral("lstMissing"));
            QCOMPARE(missing->count(), 2);
            QCOMPARE(missing->item(0)->text(), QStringLiteral("数量：ページに項目がありません"));
            QCOMPARE(missing->item(1)->text(), QStringLiteral("最低落札価格：ページに項目がありません"));
            QVERIFY(control<QPushButton>(d, QStringLiteral("cmdBACK"))->isDefault());
            control<QPushButton>(d, QStringLiteral("cmdBACK"))->click();
        });
        press(&w, "Command7");
        QVERIFY(back.handled());
        QCOMPARE(notices.count(), 0);
        QCOMPARE(scrollY(wb), top);

        // On, switching the summary off: the notice and the scroll to the site's last button.
        DialogHandler on(QStringLiteral("frmYOUYAKU"), [](QDialog* d) {
            control<QCheckBox>(d, QStringLiteral("Check1"))->setChecked(true);
            control<QPushButton>(d, QStringLiteral("cmdGO"))->click();
        });
        press(&w, "Command7");
        QVERIFY(on.handled());
        QTRY_COMPARE(notices.count(), 1);
        QTRY_VERIFY(scrollY(wb) > 3000);
        QCOMPARE(mINI::Ini_Get(QStringLiteral("確認画面"), QStringLiteral("出品前確認")), QStringLiteral("1"));

        // Switched off, it stays away; the Part's notice keeps its own switch.
        {
            DialogCloser summaries(QStringLiteral("frmYOUYAKU"));
            press(&w, "Command7");
            QTRY_COMPARE(notices.count(), 2);
            QCOMPARE(summaries.count(), 0);
        }

        // Shown again, with the fee file gone: the seller is told why the summary has no total.
        mINI::Ini_Put(QStringLiteral("確認画面"), QStringLiteral("出品前確認"), QStringLiteral("0"), ui);
        QVERIFY(QFile::remove(folder.file(QStringLiteral("MAST/有料オプション.csv"))));
        ui.messages.clear();
        DialogHandler unpriced(QStringLiteral("frmYOUYAKU"), [](QDialog* d) {
            QVERIFY(control<QLabel>(d, QStringLiteral("lblFees"))->text().contains(QStringLiteral("料金は表示できません")));
            control<QPushButton>(d, QStringLiteral("cmdBACK"))->click();
        });
        press(&w, "Command7");
        QVERIFY(unpriced.handled());
        QCOMPARE(ui.messageTexts().size(), 1);
        QVERIFY(ui.messageTexts().first().startsWith(QStringLiteral("有料オプションの料金表が見つかりません。")));
        QCOMPARE(notices.count(), 2);
    }

    // The category is the listing's: remembered from the page with the continue button. Its
    // pictures go up in the order the seller gave them, and the site's refusal is said.
    void theListingKeepsItsCategoryAndItsPicturesGoUpInOrder() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("lblCategory"))->text(), QStringLiteral("（まだ選ばれていません）"));
        QVERIFY(load(pane.WB(), sim.base() + QStringLiteral("/__sim/signin?login=sorabako_demo")));
        ui.answers << UiServices::Answer::No;  // not now: the category is remembered all the same
        QVERIFY(load(pane.WB(), sim.base() + QStringLiteral("/jp/submit/category?c=23634")));
        QCOMPARE(pane.categoryPath(), QStringLiteral("家電、AV、カメラ > カメラ、光学機器 > デジタル一眼"));
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("lblCategory"))->text(), pane.categoryPath());
        // Kept as the site's path, so a moved host (or another port) still finds it.
        QCOMPARE(control<QLineEdit>(&pane, QStringLiteral("txtCategoryAddress"))->text(), QStringLiteral("/jp/submit/category?c=23634"));
        QCOMPARE(pane.categoryAddress(), sim.base() + QStringLiteral("/jp/submit/category?c=23634"));

        QStringList paths;
        for (const auto& [name, colour] :
             {std::pair{"前", QColor(200, 0, 0)}, std::pair{"横", QColor(0, 160, 0)}, std::pair{"後", QColor(0, 0, 200)}}) {
            QImage image(50, 40, QImage::Format_RGB32);
            image.fill(colour);
            paths << folder.file(QStringLiteral("%1.png").arg(QString::fromUtf8(name)));
            QVERIFY(image.save(paths.last()));
            ui.openNames << paths.last();
            control<QPushButton>(&pane, QStringLiteral("cmdPICADD"))->click();
            QTRY_COMPARE(pane.pictures().size(), static_cast<int>(paths.size()));  // once read whole
        }
        QCOMPARE(pane.pictures(), paths);
        QCOMPARE(control<QListWidget>(&pane, QStringLiteral("lstPICTURE"))->count(), 3);
        QTRY_VERIFY(!control<QListWidget>(&pane, QStringLiteral("lstPICTURE"))->item(0)->icon().isNull());
        // A fourth is not taken: the site's rule is said.
        control<QPushButton>(&pane, QStringLiteral("cmdPICADD"))->click();
        QCOMPARE(ui.fileDialogs.size(), 3);
        QVERIFY(ui.messageTexts().last().startsWith(QStringLiteral("画像は3枚まで、1枚あたり5MBまでです。")));
        // 後 first: the last one chosen, moved to the front.
        control<QListWidget>(&pane, QStringLiteral("lstPICTURE"))->setCurrentRow(2);
        control<QPushButton>(&pane, QStringLiteral("cmdPICUP"))->click();
        control<QPushButton>(&pane, QStringLiteral("cmdPICUP"))->click();
        QCOMPARE(pane.pictures(), (QStringList{paths[2], paths[0], paths[1]}));
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("A_0"))->text(), paths[2]);

        // On the upload page, 画像ｱｯﾌﾟﾛｰﾄﾞ sends all three, one page after another, in that order.
        QVERIFY(load(pane.WB(), sim.base() + QStringLiteral("/jp/submit/form?c=23634")));
        QVERIFY(pane.WB()->evaluate(QStringLiteral("document.forms['auction'].submit();return true;")));
        QTRY_COMPARE_WITH_TIMEOUT(pane.WB()->documentTitle().text(), QStringLiteral("Yahoo!オークション - 画像のアップロード"), kLoad);
        QSignalSpy uploaded(&pane, &SiteFormPane::picturesUploaded);
        const int before = static_cast<int>(ui.messages.size());
        press(&pane, "Command14");
        QVERIFY(uploaded.count() == 1 || uploaded.wait(kLoad));
        QCOMPARE(uploaded.first().first().toString(), QString());
        const QString list = pane.WB()->evaluate(QStringLiteral("return document.getElementById('images').innerText;")).text();
        QVERIFY2(list.indexOf(QStringLiteral("後.jpg")) >= 0 &&
                     list.indexOf(QStringLiteral("後.jpg")) < list.indexOf(QStringLiteral("前.jpg")) &&
                     list.indexOf(QStringLiteral("前.jpg")) < list.indexOf(QStringLiteral("横.jpg")),
                 qPrintable(list));
        QCOMPARE(static_cast<int>(ui.messages.size()), before);
        // Once more: the site holds three already and refuses the next; the seller is told which.
        press(&pane, "Command14");
        QVERIFY(uploaded.count() == 2 || uploaded.wait(kLoad));
        QVERIFY2(uploaded.last().first().toString().startsWith(
                     QStringLiteral("「後.png」はサイトに受け付けられませんでした。\r\n画像は3枚まで")),
                 qPrintable(uploaded.last().first().toString()));
        QVERIFY(ui.messageTexts().last().startsWith(QStringLiteral("「後.png」はサイトに受け付けられませんでした。")));
        // クリア with nothing chosen in the list takes every picture off the listing; the files stay.
        control<QListWidget>(&pane, QStringLiteral("lstPICTURE"))->clearSelection();
        control<QPushButton>(&pane, QStringLiteral("cmdPICCLEAR"))->click();
        QVERIFY(pane.pictures().isEmpty());
        QVERIFY(QFile::exists(paths[0]));
    }

    // What is no picture never holds the window: a FIFO (as a memory file may name one) is not
    // opened, a huge declared size is not decoded; each is said, and 画像を選ぶ leaves it out.
    void aPictureThatIsNoPictureNeverHoldsTheWindow() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        const QString fifo = folder.file(QStringLiteral("待つ.jpg"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QImage grey(16, 16, QImage::Format_Grayscale8);
        grey.fill(128);
        QByteArray huge;
        QBuffer buffer(&huge);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setProgressiveScanWrite(true);
        QVERIFY(writer.write(grey));
        const qsizetype sof = huge.indexOf(QByteArray("\xFF\xC2", 2));
        QVERIFY(sof > 0);
        huge[sof + 5] = huge[sof + 7] = char(40000 >> 8);  // declares 40000×40000 in a few hundred bytes
        huge[sof + 6] = huge[sof + 8] = char(40000 & 0xFF);
        const QString hugePath = folder.file(QStringLiteral("巨大.jpg"));
        QFile hugeFile(hugePath);
        QVERIFY(hugeFile.open(QIODevice::WriteOnly) && hugeFile.write(huge) == huge.size());
        hugeFile.close();
        const QString good = folder.file(QStringLiteral("良い.png"));
        QImage picture(50, 40, QImage::Format_RGB32);
        picture.fill(QColor(0, 120, 200));
        QVERIFY(picture.save(good));

        pane.setPictures({fifo, hugePath, good});  // as a memory file opened at start-up sets them
        auto* list = control<QListWidget>(&pane, QStringLiteral("lstPICTURE"));
        QCOMPARE(list->count(), 3);
        QTRY_VERIFY2(list->item(0)->toolTip().startsWith(QStringLiteral("「待つ.jpg」はファイルではありません。")),
                     qPrintable(list->item(0)->toolTip()));
        QTRY_VERIFY2(list->item(1)->toolTip().startsWith(QStringLiteral("「巨大.jpg」は大きすぎて読み込めませんでした")),
                     qPrintable(list->item(1)->toolTip()));
        QTRY_COMPARE(list->item(2)->toolTip(), good);
        QVERIFY(!list->item(2)->icon().isNull());

        auto* add = control<QPushButton>(&pane, QStringLiteral("cmdPICADD"));
        pane.setPictures({});
        ui.openNames << fifo;
        add->click();
        QTRY_COMPARE(ui.messageTexts().size(), 1);
        QVERIFY2(ui.messageTexts().first().startsWith(QStringLiteral("「待つ.jpg」はファイルではありません。")),
                 qPrintable(ui.messageTexts().first()));
        QVERIFY(pane.pictures().isEmpty());
        QVERIFY(add->isEnabled());
        ui.openNames << hugePath;
        add->click();
        QTRY_COMPARE(ui.messageTexts().size(), 2);
        QVERIFY(
            ui.messageTexts().last().startsWith(QStringLiteral("「巨大.jpg」は大きすぎて読み込めませんでした（40000×40000ピクセル）。")));
        ui.openNames << good;
        add->click();
        QTRY_COMPARE(pane.pictures(), QStringList{good});
        QCOMPARE(ui.messageTexts().size(), 2);
    }

    void uploadNeedsThePagesSelectElement() {
        TempProgramFolder folder;
        SiteSimProcess sim;
        sim.writeSiteAddresses();
        RecordingUiServices ui;
        SiteFormPane pane(ui);
        QVERIFY(load(pane.WB(), SiteAddresses::submitStartUrl()));
        ui.openNames << folder.file(QStringLiteral("USER/x.png"));
        press(&pane, "Command14");
        QVERIFY(ui.fileDialogs.isEmpty());
        QCOMPARE(ui.clipboardWrites, 0);
        QCOMPARE(control<QLabel>(&pane, QStringLiteral("A_0"))->text(), QString());
    }
};

SORABAKO_GUI_TEST_MAIN(TestSiteForm)
#include "tst_siteform.moc"
