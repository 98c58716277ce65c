#include <QtTest>

#include <QFile>

#include "core/ProgramFolder.h"
#include "core/Cp932.h"
#include "settings/IniFile.h"
#include "settings/SiteAddresses.h"
#include "settings/mINI.h"
#include "support/RecordingUiServices.h"
#include "support/TempProgramFolder.h"

namespace {
QByteArray crlf(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return cp932::encode(t);
}
void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class TestIniFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesReplaceInPlaceAndAppendWhereTheyBelong() {
        TempProgramFolder folder;
        const QString path = folder.file(QStringLiteral("USER/a.srb"));
        writeBytes(path, crlf(QStringLiteral("[銀行振込]\n銀行名1=みずほ\n\n[差出人]\n氏名=山田\n")));
        IniFile file = IniFile::load(path);
        file.setValue(QStringLiteral("銀行振込"), QStringLiteral("銀行名1"), QStringLiteral("三井住友"));
        file.setValue(QStringLiteral("銀行振込"), QStringLiteral("支店名1"), QStringLiteral("新宿"));
        file.setValue(QStringLiteral("各種設定"), QStringLiteral("自動ログイン"), QStringLiteral("1"));
        QVERIFY(file.save());
        QCOMPARE(readBytes(path), crlf(QStringLiteral("[銀行振込]\n銀行名1=三井住友\n支店名1=新宿\n\n[差出人]\n氏名=山田\n"
                                                      "[各種設定]\n自動ログイン=1\n")));
    }

    void aByteOrderMarkIsSkippedAndNotWrittenBack() {
        // An editor saved the file with a UTF-8 mark before the first section.
        TempProgramFolder folder;
        const QString path = folder.file(QStringLiteral("INI/SRB.INI"));
        writeBytes(path, QByteArray("\xEF\xBB\xBF") + crlf(QStringLiteral("[差出人]\n氏名=山田\n[各種設定]\n自動ログイン=1\n")));
        QCOMPARE(IniFile::read(path, QStringLiteral("差出人"), QStringLiteral("氏名")), QStringLiteral("山田"));
        QVERIFY(IniFile::write(path, QStringLiteral("差出人"), QStringLiteral("氏名"), QStringLiteral("鈴木")));
        QCOMPARE(readBytes(path), crlf(QStringLiteral("[差出人]\n氏名=鈴木\n[各種設定]\n自動ログイン=1\n")));
    }

    void siteAddressesWithoutASchemeAreWebAddresses() {
        TempProgramFolder folder;
        const QString ini = ProgramFolder::settingsFile();
        QVERIFY(IniFile::write(ini, SiteAddresses::kSection, SiteAddresses::kAuction, QStringLiteral("auctions.example.jp/")));
        QVERIFY(IniFile::write(ini, SiteAddresses::kSection, SiteAddresses::kItemPage, QStringLiteral("https://page.example.jp")));
        QCOMPARE(SiteAddresses::submitStartUrl(), QStringLiteral("http://auctions.example.jp/jp/0-submit.html"));
        QCOMPARE(SiteAddresses::itemUrl(QStringLiteral("x1")), QStringLiteral("https://page.example.jp/jp/auction/x1"));
        QCOMPARE(SiteAddresses::closedListingsUrl(),
                 QStringLiteral("https://closeduser.auctions.yahoo.co.jp/jp/show/mystatus?select=closed&hasWinner=1"));
    }

    void namesIgnoreLetterCaseAndValuesAreTrimmed() {
        TempProgramFolder folder;
        const QString path = folder.file(QStringLiteral("INI/x.ini"));
        writeBytes(path, crlf(QStringLiteral("[Sec]\n  YahooID  =   sora  \nEmpty=\n")));
        bool found = false;
        QCOMPARE(IniFile::read(path, QStringLiteral("sec"), QStringLiteral("yahooid"), &found), QStringLiteral("sora"));
        QVERIFY(found);
        QCOMPARE(IniFile::read(path, QStringLiteral("SEC"), QStringLiteral("empty"), &found), QString());
        QVERIFY(!found);
        QCOMPARE(IniFile::read(path, QStringLiteral("SEC"), QStringLiteral("none"), &found), QString());
        QVERIFY(!found);
        QVERIFY(IniFile::write(path, QStringLiteral("SEC"), QStringLiteral("YAHOOID"), QStringLiteral("new")));
        QCOMPARE(IniFile::load(path).toBytes(), crlf(QStringLiteral("[Sec]\nYAHOOID=new\nEmpty=\n")));
    }

    void malformedContentReadsWhatItCan() {
        TempProgramFolder folder;
        const QString path = folder.file(QStringLiteral("INI/bad.ini"));
        QByteArray bytes =
            crlf(QStringLiteral("orphan=before any section\nno equals here\n[A]\nk=first\nk=second\n"
                                "junk line\n[A]\nk=third\nz=1\n"));
        bytes += QByteArray("\x00\xff\xfe\x82\r\n[B]\r\nu=\xe3\x81\x82\r\n", 18);  // binary, a lone lead byte, UTF-8
        writeBytes(path, bytes);
        IniFile file = IniFile::load(path);
        QCOMPARE(file.value(QStringLiteral("A"), QStringLiteral("k")), QStringLiteral("first"));
        QCOMPARE(file.value(QStringLiteral("A"), QStringLiteral("z")), QString());  // only the first [A] counts
        QCOMPARE(file.value(QString(), QStringLiteral("orphan")), QString());
        QVERIFY(!file.value(QStringLiteral("B"), QStringLiteral("u")).isEmpty());
        // Writing one key leaves every other byte alone.
        file.setValue(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("new"));
        QVERIFY(file.save());
        QByteArray expected = bytes;
        expected.replace(QByteArray("k=first"), QByteArray("k=new"));
        QCOMPARE(readBytes(path), expected);
    }

    void lastLineWithoutLineEndIsTerminatedBeforeAppending() {
        TempProgramFolder folder;
        const QString path = folder.file(QStringLiteral("INI/t.ini"));
        writeBytes(path, QByteArray("[A]\r\nk=1"));
        QVERIFY(IniFile::write(path, QStringLiteral("A"), QStringLiteral("m"), QStringLiteral("2")));
        QCOMPARE(readBytes(path), QByteArray("[A]\r\nk=1\r\nm=2\r\n"));
    }

    void linesEndedByCrAloneOrLfAloneRead() {
        // An old Mac editor's CR, a Unix editor's LF: each line keeps its own end when written back.
        IniFile file = IniFile::fromBytes(QStringLiteral("x.ini"), QByteArray("[A]\rk=1\r[B]\nm=2\n\r[C]\r\nn=3"));
        QCOMPARE(file.value(QStringLiteral("A"), QStringLiteral("k")), QStringLiteral("1"));
        QCOMPARE(file.value(QStringLiteral("B"), QStringLiteral("m")), QStringLiteral("2"));
        QCOMPARE(file.value(QStringLiteral("C"), QStringLiteral("n")), QStringLiteral("3"));
        file.setValue(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("9"));
        QCOMPARE(file.toBytes(), QByteArray("[A]\rk=9\r[B]\nm=2\n\r[C]\r\nn=3"));
    }

    void valuesAreReadBackWhole() {
        TempProgramFolder folder;
        const QString path = folder.file(QStringLiteral("USER/long.srb"));
        const QString longValue = QString(200, QChar(0x3042)) + QStringLiteral("end");  // 403 bytes
        QVERIFY(IniFile::write(path, QStringLiteral("S"), QStringLiteral("k"), longValue));
        QCOMPARE(IniFile::read(path, QStringLiteral("S"), QStringLiteral("k")), longValue);
    }

    void aValueCannotSplitItsLine() {
        TempProgramFolder folder;
        const QString path = folder.file(QStringLiteral("USER/inj.srb"));
        QVERIFY(IniFile::write(path, QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("a\n[T]\r\nx=1")));
        QCOMPARE(IniFile::read(path, QStringLiteral("T"), QStringLiteral("x")), QString());
        QCOMPARE(IniFile::read(path, QStringLiteral("S"), QStringLiteral("k")), QStringLiteral("a [T]  x=1"));
    }

    void failedWritesLeaveTheFileAsItWas() {
        TempProgramFolder folder;
        // Missing folder: nothing is created.
        const QString missing = folder.file(QStringLiteral("NOPE/x.ini"));
        QVERIFY(!IniFile::write(missing, QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v")));
        QVERIFY(!QFile::exists(missing));
        // Read-only file: untouched, byte for byte.
        const QString ro = folder.file(QStringLiteral("INI/ro.ini"));
        const QByteArray before = crlf(QStringLiteral("[S]\nk=old\n"));
        writeBytes(ro, before);
        QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::ReadUser);
        QVERIFY(!IniFile::write(ro, QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("new")));
        QCOMPARE(readBytes(ro), before);
        // A file that cannot be read is never replaced by what little we know of it.
        const QString dir = folder.file(QStringLiteral("INI/adir.ini"));
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(!IniFile::write(dir, QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v")));
    }

    void largeFileIsReadAndWritten() {
        TempProgramFolder folder;
        const QString path = folder.file(QStringLiteral("USER/big.srb"));
        QByteArray big("[S]\r\n");
        const QByteArray line("filler=0123456789abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz\r\n");
        while (big.size() < 10 * 1024 * 1024) big += line;
        big += "last=yes\r\n";
        writeBytes(path, big);
        QCOMPARE(IniFile::read(path, QStringLiteral("S"), QStringLiteral("last")), QStringLiteral("yes"));
        QVERIFY(IniFile::write(path, QStringLiteral("S"), QStringLiteral("new"), QStringLiteral("1")));
        QCOMPARE(readBytes(path).size(), big.size() + 7);
    }

    void settingsFileIsOwnerOnlyAndFailuresAreReportedOnce() {
        TempProgramFolder folder;
        RecordingUiServices ui;
        QVERIFY(mINI::Ini_Put(QStringLiteral("確認画面"), QStringLiteral("同意"), QStringLiteral("1"), ui));
        const auto perms = QFile::permissions(ProgramFolder::settingsFile());
        QVERIFY(perms.testFlag(QFileDevice::ReadOwner) && perms.testFlag(QFileDevice::WriteOwner));
        QVERIFY(!(perms & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther)));
        bool found = false;
        QCOMPARE(mINI::Ini_Get(QStringLiteral("確認画面"), QStringLiteral("同意"), &found), QStringLiteral("1"));
        QVERIFY(found);
        QVERIFY(ui.messages.isEmpty());

        QVERIFY(QDir(folder.file(QStringLiteral("INI"))).removeRecursively());
        QVERIFY(!mINI::Ini_Put(QStringLiteral("確認画面"), QStringLiteral("同意"), QStringLiteral("0"), ui));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("INIファイル書き込みに失敗しました。"));
        QCOMPARE(ui.messages[0].title, QStringLiteral("ソラバコ"));
        QCOMPARE(ui.messages[0].icon, UiServices::Icon::None);
        QCOMPARE(ui.messages[0].buttons, UiServices::Buttons::Ok);

        QList<mINI::Entry> many;
        for (int i = 0; i < 48; ++i) many.append({QStringLiteral("S"), QString::number(i), QStringLiteral("v")});
        QVERIFY(!mINI::Ini_PutAll(many, ui));
        QCOMPARE(ui.messages.size(), 2);
    }

    void namedFileAccess() {
        TempProgramFolder folder;
        const QString path = folder.file(QStringLiteral("USER/m.srb"));
        mINI::Hzn_Write(QStringLiteral("出品手続"), QStringLiteral("数量"), QStringLiteral("1"), path);
        QCOMPARE(mINI::SETEI_Read(QStringLiteral("出品手続"), QStringLiteral("数量"), path), QStringLiteral("1"));
        QCOMPARE(mINI::SETEI_Read(QStringLiteral("出品手続"), QStringLiteral("無い"), path), QString());
        QCOMPARE(mINI::SETEI_Read(QStringLiteral("x"), QStringLiteral("y"), folder.file(QStringLiteral("USER/none"))), QString());
        mINI::Hzn_Write(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"), folder.file(QStringLiteral("NO/m")));
    }

    void namesTheFormatCannotHoldWriteNothing() {
        // A name with a line end, a "]" in a section or an "=" in a key would write other
        // sections and keys into the file: such a call leaves the file as it was.
        IniFile file = IniFile::fromBytes(QStringLiteral("x.ini"), QByteArray("[a]\r\nb=c\r\n"));
        file.setValue(QStringLiteral("a"), QStringLiteral("x\r\n[z]\r\ny"), QStringLiteral("1"));
        file.setValue(QStringLiteral("a]"), QStringLiteral("k"), QStringLiteral("1"));
        file.setValue(QStringLiteral("a"), QStringLiteral("k=v"), QStringLiteral("1"));
        file.setValue(QStringLiteral(" "), QStringLiteral("k"), QStringLiteral("1"));
        QCOMPARE(file.toBytes(), QByteArray("[a]\r\nb=c\r\n"));
        // Byte-order marks an editor added one after another all go, so the first section is one.
        const IniFile marked = IniFile::fromBytes(QStringLiteral("x.ini"), QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF[a]\r\nb=c\r\n"));
        QCOMPARE(marked.value(QStringLiteral("A"), QStringLiteral("b")), QStringLiteral("c"));
        QCOMPARE(marked.toBytes(), QByteArray("[a]\r\nb=c\r\n"));
    }

    void everyCharacterPutInTheSettingsFileComesBackOrIsReported() {
        TempProgramFolder folder;
        QList<char32_t> typed;
        for (char32_t c = 1; c <= 0xFFFF; ++c)
            if ((c < 0xD800 || c > 0xDFFF) && c != '\r' && c != '\n') typed << c;
        for (qsizetype from = 0; from < typed.size(); from += 8000) {
            const QList<char32_t> chunk = typed.mid(from, 8000);
            QString text = QStringLiteral("<");
            for (char32_t c : chunk) text += QString::fromUcs4(&c, 1);
            text += QLatin1Char('>');
            RecordingUiServices ui;
            QVERIFY(mINI::Ini_Put(QStringLiteral("差出人"), QStringLiteral("住所"), text, ui));
            const QString back = mINI::Ini_Get(QStringLiteral("差出人"), QStringLiteral("住所"));
            QCOMPARE(back.size(), text.size());
            QString lost;
            for (qsizetype i = 0; i < text.size(); ++i)
                if (back.at(i) != text.at(i)) {
                    QCOMPARE(back.at(i), QLatin1Char('?'));
                    lost += text.at(i);
                }
            // Whatever did not come back was named to the seller, in order, and nothing else was.
            QCOMPARE(ui.messageTexts(), lost.isEmpty() ? QStringList() : QStringList{mINI::kLostCharacters + lost});
        }
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
