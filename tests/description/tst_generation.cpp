#include <QtTest>

#include "core/Cp932.h"
#include "description/Description.h"
#include "description/Preview.h"
#include "support/TempProgramFolder.h"

using namespace description;

namespace {
// A template in the shipped layout: title, eight item lines, a free line,
// the two my-auction lines, then numbered free lines up to `total`.
QStringList layoutTemplate(int total) {
    QStringList t{QStringLiteral("<h1>＜タイトル＞</h1>")};
    for (int i = 1; i <= 8; ++i) t << QStringLiteral("<tr><th>項目%1</th><td>＜項目%1＞</td></tr>").arg(i);
    t << QStringLiteral("</table>");
    t << QStringLiteral("<a href=\"/seller/＜ユーザー＞\">＜ユーザー＞さんの出品</a>");
    t << QStringLiteral("<div class=banner>＜ユーザー＞</div>");
    while (t.size() < total) t << QStringLiteral("<p>line %1</p>").arg(t.size() + 1);
    return t;
}

Input basicInput() {
    Input in;
    in.mark = QStringLiteral(" ★ ");
    in.productName = QStringLiteral("デジカメ");
    in.itemNames = QStringList(8, QString());
    in.itemContents = QStringList(8, QString());
    in.itemNames[0] = QStringLiteral("状態");
    in.itemContents[0] = QStringLiteral("美品");
    return in;
}
}  // namespace

class TestGeneration : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void titleRule() {
        QCOMPARE(listingTitle(QStringLiteral(" ★ "), QStringLiteral("ABC")), QStringLiteral("★ABC★"));
        QCOMPARE(listingTitle(QString(), QStringLiteral(" ABC")), QStringLiteral(" ABC"));
        QCOMPARE(titleByteCount(QStringLiteral("★"), QString()), 4);
        QCOMPARE(titleByteCount(QString(), QString(30, QLatin1Char('a'))), 30);
        QVERIFY(!titleTooLong(30));
        QVERIFY(titleTooLong(titleByteCount(QString(), QString(31, QLatin1Char('a')))));
        QCOMPARE(titleByteCount(QString(), QString(15, QChar(0x3042))), 30);
    }

    void onlyTheFirst31LinesAreWritten() {
        const Output exact = generate(layoutTemplate(31), basicInput());
        QVERIFY(exact.fileLines.contains(QStringLiteral("<p>line 31</p>")));
        const Output longer = generate(layoutTemplate(100), basicInput());
        QCOMPARE(longer.fileLines, exact.fileLines);
        QCOMPARE(longer.table.size(), kTableSize);
        QCOMPARE(longer.table[99], QStringLiteral("<p>line 100</p>"));
        // A short template has no leftovers of a longer one.
        const Output shortOne = generate({QStringLiteral("only ＜タイトル＞")}, basicInput());
        QCOMPARE(shortOne.fileLines, QStringList{QStringLiteral("only ★デジカメ★")});
        QCOMPARE(shortOne.html, QStringLiteral("only ★デジカメ★"));
    }

    void itemLines() {
        Input in = basicInput();
        in.itemNames[1] = QStringLiteral("   ");  // blanks only: the line goes, content or not
        in.itemContents[1] = QStringLiteral("消える");
        in.itemNames[2] = QStringLiteral("付属品");
        in.itemContents[2] = QStringLiteral("a\r\nb");
        in.itemNames[3] = QStringLiteral("X");
        in.itemContents[3] = QStringLiteral("Y と 項目4");  // the name placeholder inside content becomes the name
        in.itemNames[4] = QStringLiteral("空");             // a name with no content keeps its line
        const Output out = generate(layoutTemplate(13), in);
        QCOMPARE(out.table[1], QStringLiteral("<tr><th>状態</th><td>美品</td></tr>"));
        QCOMPARE(out.table[2], QString());
        QCOMPARE(out.table[3], QStringLiteral("<tr><th>付属品</th><td>a<BR>b</td></tr>"));
        QCOMPARE(out.table[4], QStringLiteral("<tr><th>X</th><td>Y と X</td></tr>"));
        QCOMPARE(out.table[5], QStringLiteral("<tr><th>空</th><td></td></tr>"));
        QCOMPARE(out.table[6], QString());
        const int at = static_cast<int>(out.fileLines.indexOf(QStringLiteral("<tr><th>付属品</th><td>a<BR>")));
        QVERIFY(at > 0);
        QCOMPARE(out.fileLines[at + 1], QStringLiteral("b</td></tr>"));
        QVERIFY(out.html.contains(QStringLiteral("a<BR>\r\nb</td></tr><tr><th>X</th>")));
        QVERIFY(!out.html.contains(QStringLiteral("消える")));
    }

    void placeholdersOnlyOnTheirOwnLine() {
        QStringList t = layoutTemplate(13);
        t[1] += QStringLiteral("＜項目2＞項目9＜項目9＞");
        t[12] = QStringLiteral("項目1 ＜タイトル＞ <br> 末尾");
        Input in = basicInput();
        in.itemNames[1] = QStringLiteral("two");
        const Output out = generate(t, in);
        QVERIFY(out.table[1].endsWith(QStringLiteral("＜項目2＞項目9＜項目9＞")));
        QCOMPARE(out.table[12], QStringLiteral("項目1 ＜タイトル＞ <br> 末尾"));
    }

    void myAuctionLines() {
        Input in = basicInput();
        in.sellerId = QStringLiteral("sorabako_demo");
        Output out = generate(layoutTemplate(13), in);
        QVERIFY(out.table[10].isEmpty() && out.table[11].isEmpty());
        in.myAuction = true;
        in.myAuctionForm = 0;
        out = generate(layoutTemplate(13), in);
        QCOMPARE(out.table[10], QStringLiteral("<a href=\"/seller/sorabako_demo\">sorabako_demoさんの出品</a>"));
        QVERIFY(out.table[11].isEmpty());
        for (int form : {1, -1}) {
            in.myAuctionForm = form;
            out = generate(layoutTemplate(13), in);
            QVERIFY(out.table[10].isEmpty());
            QCOMPARE(out.table[11], QStringLiteral("<div class=banner>sorabako_demo</div>"));
        }
    }

    void textCp932CannotHoldBecomesAReference() {
        Input in = basicInput();
        in.productName = QStringLiteral("カメラ😀");
        in.itemContents[0] = QStringLiteral("𠮷野家の袋");
        const Output out = generate(layoutTemplate(13), in);
        QCOMPARE(out.table[0], QStringLiteral("<h1>★カメラ&#128512;★</h1>"));
        QVERIFY(out.table[1].contains(QStringLiteral("&#134071;野家の袋")));
        for (const QString& line : out.fileLines) QVERIFY(cp932::canEncode(line));
    }

    void fragments() {
        QCOMPARE(decorationFragment(QStringLiteral("abc"), false, false, false, 0xFF0000, QStringLiteral("3")),
                 QStringLiteral("<FONT color=#FF0000 size=3>abc</FONT>"));
        QCOMPARE(decorationFragment(QStringLiteral("abc"), true, false, true, 0x00a0ff, QStringLiteral("5")),
                 QStringLiteral("<FONT color=#00A0FF size=5><U><B>abc</B></U></FONT>"));
        QCOMPARE(decorationFragment(QStringLiteral("a\r\nb"), true, true, true, 0, QStringLiteral("1")),
                 QStringLiteral("<FONT color=#000000 size=1><U><I><B>a<BR>b</B></I></U></FONT>"));
        QCOMPARE(linkFragment(QStringLiteral("http://x/namename"), QStringLiteral("see uuuurl")),
                 QStringLiteral("<A href=http://x/see uuuurl target=_blank>see uuuurl</A>"));
        QCOMPARE(linkFragment(QString(), QStringLiteral("名前")), QStringLiteral("<A href= target=_blank>名前</A>"));
        QCOMPARE(phraseClip(QStringLiteral(" ★"), QStringLiteral("美品です。")), QStringLiteral("★美品です。\r\n"));
        QCOMPARE(itemClip(QStringLiteral("★ "), QStringLiteral("付属品")), QStringLiteral("★付属品"));
        QCOMPARE(itemClip(QString(), QStringLiteral("付属品")), QStringLiteral("付属品"));
    }

    void templateLists() {
        TempProgramFolder folder;
        for (const char* name : {"b.html", "a.html", "c.htm", "notes.txt"})
            folder.writeCp932(QStringLiteral("Template/HTML/") + QLatin1String(name), QStringLiteral("x"));
        for (const char* name : {"落札お礼.txt", "入金確認.txt", "readme.md"})
            folder.writeCp932(QStringLiteral("Template/MAIL/") + QString::fromUtf8(name), QStringLiteral("x"));
        QCOMPARE(listDesigns(folder.file(QStringLiteral("Template/HTML"))),
                 (QStringList{QStringLiteral("a.html"), QStringLiteral("b.html")}));
        const QStringList mails = listMailTemplates(folder.file(QStringLiteral("Template/MAIL")));
        QCOMPARE(mails.size(), 2);
        QVERIFY(mails.contains(QStringLiteral("落札お礼")) && mails.contains(QStringLiteral("入金確認")));
        QVERIFY(listDesigns(folder.file(QStringLiteral("nope"))).isEmpty());
    }

    void previewFileAndItsFailures() {
        TempProgramFolder folder;
        const QString preview = folder.file(QStringLiteral("DATA/CREATE.html"));
        const QString tpl = folder.file(QStringLiteral("Template/HTML/t.html"));
        folder.writeCp932(QStringLiteral("Template/HTML/t.html"), QStringLiteral("<h1>＜タイトル＞</h1>\r\n<p>項目1:＜項目1＞</p>\r\n"));
        Input in = basicInput();
        in.itemContents[0] = QStringLiteral("～①\r\n二行目");
        auto ok = buildPreview(tpl, in, preview);
        QVERIFY(ok.ok);
        QCOMPARE(folder.readBytes(QStringLiteral("DATA/CREATE.html")),
                 cp932::encode(QStringLiteral("<h1>★デジカメ★</h1>\r\n<p>状態:～①<BR>\r\n二行目</p>\r\n")));

        const QByteArray before = folder.readBytes(QStringLiteral("DATA/CREATE.html"));
        auto missing = buildPreview(folder.file(QStringLiteral("Template/HTML/none.html")), in, preview);
        QVERIFY(!missing.ok);
        QVERIFY(missing.message.startsWith(QStringLiteral("デザインファイルが見つかりません。")));
        QStringList many(101, QStringLiteral("x"));
        folder.writeCp932(QStringLiteral("Template/HTML/long.html"), many.join(QStringLiteral("\r\n")));
        auto tooLong = buildPreview(folder.file(QStringLiteral("Template/HTML/long.html")), in, preview);
        QVERIFY(!tooLong.ok);
        QVERIFY(tooLong.message.contains(QStringLiteral("100行")));
        QCOMPARE(folder.readBytes(QStringLiteral("DATA/CREATE.html")), before);
        many.removeLast();
        folder.writeCp932(QStringLiteral("Template/HTML/long.html"), many.join(QStringLiteral("\r\n")));
        QVERIFY(buildPreview(folder.file(QStringLiteral("Template/HTML/long.html")), in, preview).ok);

        QVERIFY(QDir(folder.file(QStringLiteral("DATA"))).removeRecursively());
        auto noData = buildPreview(tpl, in, preview);
        QVERIFY(!noData.ok);
        QVERIFY(noData.message.startsWith(QStringLiteral("プレビューファイルを書き込めませんでした。")));
        QVERIFY(!writeShippingPreview(QStringLiteral("<table></table>"), preview));
    }

    void shippingPreviewIsOneLine() {
        TempProgramFolder folder;
        QVERIFY(writeShippingPreview(QStringLiteral("<table><tr><td>ゆうパック</td></tr></table>"),
                                     folder.file(QStringLiteral("DATA/CREATE.html"))));
        QCOMPARE(folder.readBytes(QStringLiteral("DATA/CREATE.html")),
                 cp932::encode(QStringLiteral("<table><tr><td>ゆうパック</td></tr></table>\r\n")));
    }
};

QTEST_GUILESS_MAIN(TestGeneration)
#include "tst_generation.moc"
