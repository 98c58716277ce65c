#include <QtTest>

#include <QSet>

#include "core/Cp932.h"
#include "memory/MemoryTable.h"
#include "settings/IniFile.h"
#include "support/TempProgramFolder.h"

using memory::Kind;

class TestMemoryTable : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theTable() {
        const QList<memory::Key>& keys = memory::keys();
        QCOMPARE(keys.size(), 115);
        QStringList sections;
        QSet<QString> seen;
        for (const memory::Key& k : keys) {
            if (sections.isEmpty() || sections.last() != k.section) sections << k.section;
            QVERIFY2(!seen.contains(k.section + QLatin1Char('/') + k.key), qPrintable(k.key));
            seen.insert(k.section + QLatin1Char('/') + k.key);
        }
        // Each section in one run, in the order a new file gets them.
        QCOMPARE(sections, (QStringList{QStringLiteral("メール作成"), QStringLiteral("送料計算"), QStringLiteral("出品ﾌｫｰﾑ作成"),
                                        QStringLiteral("出品手続"), QStringLiteral("出品カテゴリと画像")}));
        QCOMPARE(keys[1].key, QStringLiteral("ミニレター"));
        QCOMPARE(keys[1].control, QStringLiteral("ckHASSOU_0"));
        QCOMPARE(keys[109].key, QStringLiteral("市町村"));
        QCOMPARE(keys.last().key, QStringLiteral("画像3"));
    }

    void valuesAreWrittenAndAppliedByKind() {
        using memory::applied;
        using memory::written;
        // Check boxes: the state's number, grayed included; a state no box has leaves it.
        QCOMPARE(written(Kind::Check, QStringLiteral("2")), QStringLiteral("2"));
        QCOMPARE(*applied(Kind::Check, QStringLiteral("2"), 0), QStringLiteral("2"));
        QCOMPARE(*applied(Kind::Check, QString(), 0), QStringLiteral("0"));
        QCOMPARE(*applied(Kind::Check, QStringLiteral("1x"), 0), QStringLiteral("1"));
        QVERIFY(!applied(Kind::Check, QStringLiteral("7"), 0));
        // Options: a Boolean, or nothing changes.
        QCOMPARE(*applied(Kind::Option, QStringLiteral("True"), 0), QStringLiteral("True"));
        QCOMPARE(*applied(Kind::Option, QStringLiteral("false"), 0), QStringLiteral("False"));
        QVERIFY(!applied(Kind::Option, QString(), 0));
        QVERIFY(!applied(Kind::Option, QStringLiteral("はい"), 0));
        // Lists: empty is the first entry; an index the list does not have leaves it; -1 is nothing chosen.
        QCOMPARE(*applied(Kind::List, QString(), 5), QStringLiteral("0"));
        QCOMPARE(*applied(Kind::List, QStringLiteral("4"), 5), QStringLiteral("4"));
        QCOMPARE(*applied(Kind::List, QStringLiteral("-1"), 5), QStringLiteral("-1"));
        QVERIFY(!applied(Kind::List, QStringLiteral("5"), 5));
        // 目立ちアイコン: a whole number or nothing.
        QVERIFY(!applied(Kind::EyeCatch, QString(), 9));
        QVERIFY(!applied(Kind::EyeCatch, QStringLiteral("3x"), 9));
        QCOMPARE(*applied(Kind::EyeCatch, QStringLiteral("3"), 9), QStringLiteral("3"));
        // Multi-line text: CR LF as backslash-n; a backslash-n typed in the text comes back as a line break.
        QCOMPARE(written(Kind::MultiLine, QStringLiteral("a\r\nb")), QStringLiteral("a\\nb"));
        QCOMPARE(written(Kind::MultiLine, QStringLiteral("a\nb")), QStringLiteral("a\nb"));
        QCOMPARE(*applied(Kind::MultiLine, QStringLiteral("a\\nb"), 0), QStringLiteral("a\r\nb"));
        // Numbers: the number at the start, empty is 0; an optional number stays empty.
        QCOMPARE(*applied(Kind::Number, QString(), 0), QStringLiteral("0"));
        QCOMPARE(*applied(Kind::Number, QStringLiteral("25000円"), 0), QStringLiteral("25000"));
        // A long number comes back digit for digit, not rounded into an exponent.
        QCOMPARE(*applied(Kind::Number, QStringLiteral("12345678901234567890"), 0), QStringLiteral("12345678901234567890"));
        QCOMPARE(*applied(Kind::OptionalNumber, QString(), 0), QString());
        QCOMPARE(*applied(Kind::Text, QStringLiteral(" 東京 "), 0), QStringLiteral(" 東京 "));
    }

    void aSaveKeepsWhatTheTableDoesNotName() {
        TempProgramFolder folder;
        const QString path = folder.file(QStringLiteral("USER/a.srb"));
        folder.writeCp932(QStringLiteral("USER/a.srb"),
                          QStringLiteral("[出品手続]\r\nタイトル=古い\r\n独自の項目=残る\r\n[別の表]\r\nx=1\r\n"));
        IniFile file = IniFile::load(path);
        QMap<QString, QString> values;
        values.insert(QStringLiteral("txtTitle"), QStringLiteral("新しい"));
        values.insert(QStringLiteral("imText2"), QStringLiteral("一\r\n二"));
        memory::write(file, values);
        QVERIFY(file.save());
        const QString text = cp932::decode(folder.readBytes(QStringLiteral("USER/a.srb")));
        QVERIFY(text.startsWith(QStringLiteral("[出品手続]\r\nタイトル=新しい\r\n独自の項目=残る\r\n説明=\r\n")));
        QVERIFY(text.contains(QStringLiteral("[別の表]\r\nx=1\r\n[メール作成]\r\nその他=一\\n二\r\nミニレター=\r\n")));
        // New sections follow in the table's order.
        QVERIFY(text.indexOf(QStringLiteral("[メール作成]")) < text.indexOf(QStringLiteral("[送料計算]")));
        QVERIFY(text.indexOf(QStringLiteral("[送料計算]")) < text.indexOf(QStringLiteral("[出品ﾌｫｰﾑ作成]")));
    }

    void textTheFileCannotHoldIsKeptAsReferencesAndReadBack() {
        IniFile file(QStringLiteral("b.srb"));
        QMap<QString, QString> values;
        values.insert(QStringLiteral("txtSYOUHIN"), QStringLiteral("カメラ😀"));
        values.insert(QStringLiteral("txtPicture_0"), QStringLiteral("/home/seller/写真/café.jpg"));
        QString lost;
        memory::write(file, values, &lost);
        QCOMPARE(lost, QStringLiteral("😀é"));
        const QString held = file.value(QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("商品名"));
        QCOMPARE(held, QStringLiteral("カメラ&#128512;"));
        QCOMPARE(*memory::applied(Kind::Text, held, 0), QStringLiteral("カメラ😀"));
        QCOMPARE(*memory::applied(Kind::Text, file.value(memory::kListingSection, QStringLiteral("画像1")), 0),
                 QStringLiteral("/home/seller/写真/café.jpg"));
    }

    void referencesTypedAsTextComeBackAsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("a reference") << QStringLiteral("caf&#233;");
        QTest::newRow("beside its character") << QStringLiteral("é&#233;😀&#128512;");
        QTest::newRow("the file's own ampersand") << QStringLiteral("&#38;#233; &#38;#38;#128512; &&#233;;");
        QTest::newRow("no reference of the file") << QStringLiteral("&#38; &#65; &#xE9; &#0233; &#233 &# &#0; &#55357; &#1114112;");
    }
    void referencesTypedAsTextComeBackAsTyped() {
        QFETCH(QString, typed);
        IniFile file(QStringLiteral("c.srb"));
        QMap<QString, QString> values;
        values.insert(QStringLiteral("txtTitle"), typed);
        const QString lines = typed + QStringLiteral("\r\n") + typed;
        values.insert(QStringLiteral("txtDescription"), lines);
        memory::write(file, values);
        const IniFile read = IniFile::fromBytes(file.path(), file.toBytes());
        QCOMPARE(*memory::applied(Kind::Text, read.value(QStringLiteral("出品手続"), QStringLiteral("タイトル")), 0), typed);
        QCOMPARE(*memory::applied(Kind::MultiLine, read.value(QStringLiteral("出品手続"), QStringLiteral("説明")), 0), lines);
    }

    void aFileIsReadAsItsWriterMeantIt() {
        // Only a reference the writer makes is a character: the rest is text as the seller wrote it.
        QCOMPARE(*memory::applied(Kind::Text, QStringLiteral("空箱&#128512;カメラ caf&#233;"), 0), QStringLiteral("空箱😀カメラ café"));
        QCOMPARE(*memory::applied(Kind::Text, QStringLiteral("&#38; &#65; &#xE9; &#0233; &#233 &#;&#0; &#55357;"), 0),
                 QStringLiteral("&#38; &#65; &#xE9; &#0233; &#233 &#;&#0; &#55357;"));
        QCOMPARE(*memory::applied(Kind::Text, QStringLiteral("&#38;#233;"), 0), QStringLiteral("&#233;"));
        // HTML reads the same either way: a character written as a reference is that character.
        QCOMPARE(*memory::applied(Kind::MultiLine, QStringLiteral("<p>caf&#233;</p>\\n<p>&lt;&#38;&gt;</p>"), 0),
                 QStringLiteral("<p>café</p>\r\n<p>&lt;&#38;&gt;</p>"));
    }

    void everyCharacterTypedComesBackFromTheFile() {
        // The whole Basic Multilingual Plane typed into the product name, a few thousand
        // characters at a time, saved to a real file and read back.
        TempProgramFolder folder;
        const QString path = folder.file(QStringLiteral("USER/bmp.srb"));
        QList<char32_t> typed;
        for (char32_t c = 1; c <= 0xFFFF; ++c)
            if ((c < 0xD800 || c > 0xDFFF) && c != '\r' && c != '\n') typed << c;
        int reported = 0;
        for (qsizetype from = 0; from < typed.size(); from += 4000) {
            const QList<char32_t> chunk = typed.mid(from, 4000);
            QString text = QStringLiteral("<");
            QString expectedLost;
            for (char32_t c : chunk) {
                const QString one = QString::fromUcs4(&c, 1);
                text += one;
                if (!cp932::canEncode(one)) expectedLost += one;
            }
            text += QLatin1Char('>');
            QMap<QString, QString> values;
            values.insert(QStringLiteral("txtSYOUHIN"), text);
            IniFile file = IniFile::load(path);
            QString lost;
            memory::write(file, values, &lost);
            QVERIFY(file.save());
            const QString back =
                *memory::applied(Kind::Text, IniFile::load(path).value(QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("商品名")), 0);
            QCOMPARE(back, text);
            // Those kept as references are the ones the notice names.
            QCOMPARE(lost, expectedLost);
            reported += static_cast<int>(expectedLost.size());
        }
        QVERIFY(reported > 50000);
    }

    void extensions() {
        QCOMPARE(memory::withExtension(QStringLiteral("/u/USER/カメラ")), QStringLiteral("/u/USER/カメラ.srb"));
        QCOMPARE(memory::withExtension(QStringLiteral("/u/USER/カメラ.SRB")), QStringLiteral("/u/USER/カメラ.SRB"));
        QCOMPARE(memory::withExtension(QStringLiteral("/u/USER.d/カメラ")), QStringLiteral("/u/USER.d/カメラ.srb"));
    }
};

QTEST_GUILESS_MAIN(TestMemoryTable)
#include "tst_memorytable.moc"
