#include <QtTest>

#include "core/Charset.h"
#include "core/Cp932.h"

class TestCp932 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windowsOnlyCharactersRoundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        // The characters where CP932 and plain Shift_JIS part ways.
        QTest::newRow("wave dash") << QStringLiteral("～") << QByteArray("\x81\x60");
        QTest::newRow("circled one") << QStringLiteral("①") << QByteArray("\x87\x40");
        QTest::newRow("kabushiki") << QStringLiteral("㈱") << QByteArray("\x87\x8a");
        QTest::newRow("fullwidth minus") << QStringLiteral("－") << QByteArray("\x81\x7c");
        QTest::newRow("parallel") << QStringLiteral("∥") << QByteArray("\x81\x61");
        QTest::newRow("halfwidth kana") << QStringLiteral("ｿﾗﾊﾞｺ") << QByteArray("\xbf\xd7\xca\xde\xba");
        QTest::newRow("backslash trail byte") << QStringLiteral("表示") << QByteArray("\x95\x5c\x8e\xa6");
    }
    void windowsOnlyCharactersRoundTrip() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(cp932::encode(text), bytes);
        QCOMPARE(cp932::decode(bytes), text);
    }

    void unmappableCharactersAreReportedAndReplaced() {
        QString bad;
        const QByteArray out = cp932::encode(QStringLiteral("a😀b𠮷c"), &bad);
        QCOMPARE(out, QByteArray("a?b?c"));
        QCOMPARE(bad, QStringLiteral("😀𠮷"));
        QVERIFY(!cp932::canEncode(QStringLiteral("😀")));
        // An invisible byte-order mark pasted into a name is no exception.
        QVERIFY(!cp932::canEncode(QStringLiteral("A\uFEFF")));
        QVERIFY(!cp932::canEncode(QStringLiteral("\uFEFFA")));
        QCOMPARE(cp932::encode(QStringLiteral("A\uFEFFB"), &bad), QByteArray("A?B"));
        QVERIFY(cp932::canEncode(QStringLiteral("ソラバコ①")));
    }

    void invalidBytesDecodeWithoutLosingNeighbours() {
        // A lone lead byte at the end and an undefined single byte.
        QCOMPARE(cp932::decode(QByteArray("ab\x82")), QStringLiteral("ab\uFFFD"));
        const QString mixed = cp932::decode(QByteArray("x\xff\x82\xa0y"));
        QVERIFY(mixed.startsWith(QLatin1Char('x')));
        QVERIFY(mixed.endsWith(QStringLiteral("あy")));
        // A lead byte before a line feed must not swallow the line feed.
        QVERIFY(cp932::decode(QByteArray("a\x82\nb")).contains(QLatin1Char('\n')));
    }

    void serversShiftJisInAnySpellingIsCp932() {
        const QByteArray bytes("\x81\x60\x87\x40\x87\x8a\x81\x61\xfa\x5c");  // ～①㈱∥纊
        for (const char* name : {"Shift_JIS", "shift-jis", "SJIS", "x-sjis", "windows-31j", "MS_Kanji", "\"Shift_JIS\""}) {
            QString text;
            QVERIFY2(charset::decode(bytes, QByteArray(name).replace('"', ""), &text), name);
            QCOMPARE(text, QStringLiteral("～①㈱∥纊"));
        }
        // EUC-JP: the same characters as a browser sends them (纊 from the NEC-selected IBM row 89).
        QString text;
        QVERIFY(charset::decode(QByteArray("\xa1\xc1\xad\xa1\xad\xea\xa1\xc2\xf9\xa1"), "EUC-JP", &text));
        QCOMPARE(text, QStringLiteral("～①㈱∥纊"));
        QVERIFY(charset::decode(QByteArray("\x8e\xbf\x8e\xd7"), "x-euc-jp", &text));
        QCOMPARE(text, QStringLiteral("ｿﾗ"));
        QVERIFY(!charset::decode(QByteArray("a"), "no-such-charset", &text));
    }

    void ansiCodes() {
        int code = 0;
        QVERIFY(cp932::ansiCode(QStringLiteral("a"), &code));
        QCOMPARE(code, 97);
        QVERIFY(cp932::ansiCode(QStringLiteral("ｱ"), &code));
        QCOMPARE(code, 0xB1);
        QVERIFY(cp932::ansiCode(QStringLiteral("あ"), &code));
        QCOMPARE(code, static_cast<int>(static_cast<qint16>(0x82A0)));
        QVERIFY(code < 0);
        QString ch;
        QVERIFY(cp932::fromAnsiCode(code, &ch));
        QCOMPARE(ch, QStringLiteral("あ"));
        QVERIFY(!cp932::fromAnsiCode(0x81, &ch));    // a lead byte alone
        QVERIFY(!cp932::fromAnsiCode(40000, &ch));   // beyond 16 bits
        QVERIFY(!cp932::fromAnsiCode(0x1234, &ch));  // two bytes that are no character
    }

    void charactersThatWouldComeBackAsOthersAreReported() {
        // Typed on a Japanese keyboard or pasted from a web page; the table writes each as a
        // neighbour's code, so each would read back changed.
        const QString typed = QStringLiteral("¥500 ‾ 〜 ‖ − ¢ £ ¬ —");
        QString lost;
        const QByteArray bytes = cp932::encode(typed, &lost);
        QCOMPARE(lost, QStringLiteral("¥‾〜‖−¢£¬—"));
        QCOMPARE(cp932::decode(bytes), QStringLiteral("?500 ? ? ? ? ? ? ? ?"));
        // Their full-width and Windows forms are CP932's own and come back as typed.
        const QString own = QStringLiteral("￥500 ～ ∥ － ￠ ￡ ￢ ― \\ ~");
        lost.clear();
        QCOMPARE(cp932::decode(cp932::encode(own, &lost)), own);
        QCOMPARE(lost, QString());
        QVERIFY(!cp932::canEncode(QStringLiteral("¥")));
        int code = 0;
        QVERIFY(!cp932::ansiCode(QStringLiteral("¥"), &code));
        // Bytes already in a file read as they always have.
        QCOMPARE(cp932::decode("\x5C\x7E\x81\x60"), QStringLiteral("\\~～"));
    }

    void everyCharacterOfTheBasicPlaneComesBackOrIsReported() {
        int held = 0;
        for (char32_t c = 1; c <= 0xFFFF; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF) continue;
            const QString one = QString::fromUcs4(&c, 1);
            QString lost;
            const QString back = cp932::decode(cp932::encode(one, &lost));
            if (lost.isEmpty()) {
                QVERIFY2(back == one, qPrintable(QStringLiteral("U+%1 came back as U+%2")
                                                     .arg(uint(c), 4, 16, QLatin1Char('0'))
                                                     .arg(back.isEmpty() ? 0u : uint(back.at(0).unicode()), 4, 16, QLatin1Char('0'))));
                ++held;
            } else {
                QCOMPARE(lost, one);
                QCOMPARE(back, QStringLiteral("?"));
            }
        }
        // ASCII but NUL, the half-width katakana, JIS X 0208 with the NEC and IBM rows, and the
        // 1,880 user-defined characters (U+E000 to U+E757).
        QVERIFY2(held > 9000 && held < 10000, qPrintable(QString::number(held)));
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
