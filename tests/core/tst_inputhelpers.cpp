#include <QtTest>

#include "core/mduInterFace.h"
#include "support/RecordingUiServices.h"

using namespace mduInterFace;

class TestInputHelpers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void encodeShiftsAsciiDown() {
        QCOMPARE(Enc_Str(QStringLiteral("abc")), QStringLiteral("WXY"));
        QCOMPARE(Dec_Str(QStringLiteral("WXY")), QStringLiteral("abc"));
        QCOMPARE(Dec_Str(QStringLiteral(" WXY ")), QStringLiteral("abc"));
        // "*" becomes a blank, which the settings file drops on reading.
        QCOMPARE(Enc_Str(QStringLiteral("*")), QStringLiteral(" "));
        QCOMPARE(Dec_Str(QString()), QString());
    }

    void roundTripOfTypicalLoginData() {
        for (const QString& s :
             {QStringLiteral("sorabako_demo"), QStringLiteral("Pass-123!"), QStringLiteral("ｿﾗﾊﾞｺ"), QStringLiteral("user@example.jp")})
            QCOMPARE(Dec_Str(Enc_Str(s)), s);
    }

    void fullWidthTextShiftsAsOneNumber() {
        // "か" (0x82A9) minus 10 is 0x829F, "ぁ": the two-byte code moves as one signed number.
        QCOMPARE(Enc_Str(QStringLiteral("か")), QStringLiteral("ぁ"));
        QCOMPARE(Dec_Str(QStringLiteral("ぁ")), QStringLiteral("か"));
        QCOMPARE(Dec_Str(Enc_Str(QStringLiteral("かきくけこ"))), QStringLiteral("かきくけこ"));
    }

    void codesThatLandOnNothingKeepTheirCharacter() {
        // "ぇ" (0x82A5) minus 10 is 0x829B, a gap in the table: it stays, and its neighbours still shift.
        QCOMPARE(Enc_Str(QStringLiteral("aぇb")), QStringLiteral("WぇX"));
        // Below code 10 the shift leaves the byte range; an emoji is not CP932 at all.
        QCOMPARE(Enc_Str(QStringLiteral("\t😀c")), QStringLiteral("\t😀Y"));
        QCOMPARE(Dec_Str(QStringLiteral("😀")), QStringLiteral("😀"));
    }

    void byteLengthCountsCp932Bytes() {
        QCOMPARE(Byte_Len(QStringLiteral("★ABC★")), 7);
        QCOMPARE(Byte_Len(QString()), 0);
        QCOMPARE(Byte_Len(QStringLiteral("ｿﾗﾊﾞｺ")), 5);
        QCOMPARE(Byte_Len(QStringLiteral("～①")), 4);
    }

    void keyFilterLetsOnlyAllowedCharacters() {
        int key = 'a';
        Key_Filter(key, kDigits);
        QCOMPARE(key, 0);
        key = '5';
        Key_Filter(key, kDigits);
        QCOMPARE(key, int('5'));
        key = kBackspace;
        Key_Filter(key, kDigits);
        QCOMPARE(key, kBackspace);
        key = 'A';
        Key_Filter(key, QStringLiteral("a"));  // case-sensitive
        QCOMPARE(key, 0);
    }

    void waitCursorModes() {
        RecordingUiServices ui;
        Wait_Cursor(ui, 0);
        Wait_Cursor(ui, 1);
        Wait_Cursor(ui, 2);
        QCOMPARE(ui.busyCalls, (QList<bool>{true, false}));
    }
};

QTEST_GUILESS_MAIN(TestInputHelpers)
#include "tst_inputhelpers.moc"
