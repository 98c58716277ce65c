#include <QtTest>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include "core/Cp932.h"
#include "core/Csv.h"
#include "listing/csv/ListingCsv.h"
#include "listing/pictures/Picture.h"
#include "memory/MemoryTable.h"
#include "settings/IniFile.h"

namespace {
QByteArray sjis(const QString& text) { return cp932::encode(text, nullptr); }

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

listingcsv::Context contextIn(const QString& folder) {
    listingcsv::Context c;
    c.csvFolder = folder;
    c.designs = {QStringLiteral("シンプル_青.html")};
    c.categories.insert(QStringLiteral("本、雑誌 > 文学、小説"), QStringLiteral("/jp/submit/category?c=21601"));
    c.pictureProblem = [](const QString& path) { return picture::problemWith(path); };
    c.readMemory = [](const QString& path) -> std::optional<QMap<QString, QString>> {
        if (!QFileInfo(path).isFile()) return std::nullopt;
        return memory::read(IniFile::load(path));
    };
    return c;
}

listingcsv::Maker plainMaker(const QByteArray& windowFile = {}) {
    listingcsv::Maker m;
    m.windowFile = windowFile;
    m.writeSome = [](IniFile& file, const QMap<QString, QString>& controls) { memory::writeSome(file, controls); };
    return m;
}

QStringList problemsOf(const listingcsv::Row& row) {
    QStringList out;
    for (const listingcsv::Problem& p : row.problems) out << p.column;
    return out;
}
}  // namespace

class TestListingCsv : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What Excel writes (CP932, CR LF, doubled quotes, LF inside a quoted cell), a UTF-8 file
    // with its BOM and a tab-separated one read as the same table.
    void aSpreadsheetsFileReadsAsTyped() {
        const QString text = QStringLiteral("タイトル,説明\r\n\"空箱文庫 \"\"上\"\"\",\"一行目\n二行目, まだ二行目\"\r\n箱,\r\n\r\n");
        const csv::Table excel = csv::read(sjis(text));
        QVERIFY(excel.problem.isEmpty());
        QCOMPARE(excel.records.size(), 3);
        QCOMPARE(excel.records[1], (QStringList{QStringLiteral("空箱文庫 \"上\""), QStringLiteral("一行目\n二行目, まだ二行目")}));
        QCOMPARE(excel.records[2], (QStringList{QStringLiteral("箱"), QString()}));
        QCOMPARE(excel.lines, (QList<int>{1, 2, 4}));
        QCOMPARE(csv::read(QByteArray("\xEF\xBB\xBF") + text.toUtf8()).records, excel.records);
        QString tabbed = text;
        tabbed.replace(QStringLiteral("説明\r\n"), QStringLiteral("説明\r\n")).replace(QStringLiteral("ル,説"), QStringLiteral("ル\t説"));
        tabbed.replace(QStringLiteral("\",\"一"), QStringLiteral("\"\t\"一"))
            .replace(QStringLiteral("箱,\r\n"), QStringLiteral("箱\t\r\n"));
        QCOMPARE(csv::read(sjis(tabbed)).records, excel.records);
        const csv::Table open = csv::read(sjis(QStringLiteral("タイトル\r\n\"閉じない\r\n")));
        QVERIFY(open.problem.contains(QStringLiteral("2行目")));
        QVERIFY(open.records.isEmpty());
        QVERIFY(!csv::read(QByteArray("PK\x03\x04\0\0", 6)).problem.isEmpty());
    }

    // Every kind of problem, by row and column; only the good row is made, and an unknown column is named.
    void everyProblemIsNamedByRowAndColumn() {
        QTemporaryDir dir;
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(dir.filePath(QStringLiteral("赤.png"))));
        write(dir.filePath(QStringLiteral("偽物.jpg")), "no picture at all");
        const QString head = QStringLiteral("タイトル,説明,開始価格,開催期間,カテゴリ,カテゴリID,画像1,メモ,支払い方法\r\n");
        const QString rows = QStringLiteral(
            "空箱文庫 上巻,良品です,\"1,200円\",３日,本、雑誌 > 文学、小説,,赤.png,自分用,銀行振込、Yahoo!かんたん決済\r\n"
            "値段なし,説明,千円,3日,本、雑誌 > 文学、小説,,,,\r\n"
            "長すぎ,説明,500,10日,謎のカテゴリ,,無い.png,,\r\n"
            "空箱文庫 とても長い題名の上巻と下巻のセット,説明,500,3,,abc,偽物.jpg,,現金払い\r\n"
            ",,,,,,,,\r\n"
            "番号違い,説明,500,3日,本、雑誌 > 文学、小説,23634,,,\r\n");
        QString withEmoji = QStringLiteral("絵文字,説明 \U0001F600,500,3日,,21601,,,\r\n");
        const listingcsv::Plan plan = listingcsv::plan(csv::read(sjis(head + rows) + withEmoji.toUtf8()), contextIn(dir.path()));
        // Mixed bytes are no UTF-8: read as CP932, the emoji row comes out garbled, so check it alone below.
        QCOMPARE(plan.unknownColumns, QStringList{QStringLiteral("メモ")});
        QVERIFY(plan.rows.size() >= 5);
        const listingcsv::Row& good = plan.rows[0];
        QVERIFY2(good.good(), qPrintable(problemsOf(good).join(QLatin1Char(','))));
        QCOMPARE(good.controls.value(QStringLiteral("imNumLite2")), QStringLiteral("1200"));
        QCOMPARE(good.controls.value(QStringLiteral("txtCategoryAddress")), QStringLiteral("/jp/submit/category?c=21601"));
        QCOMPARE(good.controls.value(QStringLiteral("txtPicture_0")), dir.filePath(QStringLiteral("赤.png")));
        QCOMPARE(good.controls.value(QStringLiteral("Check16")), QStringLiteral("1"));
        QCOMPARE(good.controls.value(QStringLiteral("Check18")), QStringLiteral("0"));
        QCOMPARE(problemsOf(plan.rows[1]), QStringList{QStringLiteral("開始価格")});
        QCOMPARE(problemsOf(plan.rows[2]), (QStringList{QStringLiteral("開催期間"), QStringLiteral("画像1"), QStringLiteral("カテゴリ")}));
        QCOMPARE(plan.rows[2].line, 4);
        QCOMPARE(problemsOf(plan.rows[3]), (QStringList{QStringLiteral("カテゴリID"), QStringLiteral("画像1"), QStringLiteral("支払い方法"),
                                                        QStringLiteral("タイトル")}));
        QVERIFY(plan.rows[3].problems[1].text.contains(QStringLiteral("偽物.jpg")));
        // A row of separators is no row; a category whose number is not the one it was used with is said.
        QCOMPARE(plan.rows[4].line, 7);
        QCOMPARE(problemsOf(plan.rows[4]), QStringList{QStringLiteral("カテゴリID")});

        const listingcsv::Plan emoji = listingcsv::plan(csv::read((head + withEmoji).toUtf8()), contextIn(dir.path()));
        QCOMPARE(problemsOf(emoji.rows.value(0)), QStringList{QStringLiteral("説明")});

        const listingcsv::Made made = listingcsv::make(plan.rows, dir.path(), plainMaker());
        QCOMPARE(made.files.size(), 1);
        QCOMPARE(IniFile::load(made.files[0]).value(QStringLiteral("出品手続"), QStringLiteral("開始価格")), QStringLiteral("1200"));
        // A second import of the same row never writes over the first one's file.
        QCOMPARE(listingcsv::make(plan.rows, dir.path(), plainMaker()).files.value(0),
                 dir.filePath(QStringLiteral("空箱文庫 上巻 (2).srb")));
    }

    // The shipped sample names every column, and both of its rows can be made as they stand.
    void theShippedSampleIsComplete() {
        const QString root = qEnvironmentVariable("SORABAKO_SOURCE_DIR") + QStringLiteral("/folder/");
        const csv::Table table = csv::read(fileBytes(root + QStringLiteral("MAST/出品CSVの見本.csv")));
        QCOMPARE(table.records.value(0), listingcsv::header());
        listingcsv::Context c = contextIn(root + QStringLiteral("MAST"));
        c.designs = QDir(root + QStringLiteral("Template/HTML")).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
        const listingcsv::Plan plan = listingcsv::plan(table, c);
        QCOMPARE(plan.rows.size(), 2);
        QCOMPARE(plan.goodRows(), 2);
        QVERIFY(plan.rows[1].design >= 0);
    }

    // Memory files exported and imported again are the same files, byte for byte; without the
    // memory-file column the listing's own fields still come back.
    void anExportedFileImportsToTheSameMemoryFiles() {
        QTemporaryDir from, to, again;
        const QString demo = qEnvironmentVariable("SORABAKO_SOURCE_DIR") + QStringLiteral("/folder/USER/");
        QStringList files;
        for (const QString& name : QDir(demo).entryList({QStringLiteral("*.srb")}, QDir::Files, QDir::Name)) {
            QVERIFY(QFile::copy(demo + name, from.filePath(name)));
            files << from.filePath(name);
        }
        // One with a bit of everything: lines, quotes and commas, a character the file keeps as a
        // reference, the seller paying, a reserve.
        IniFile odd = IniFile::fromBytes(from.filePath(QStringLiteral("雑多.srb")), fileBytes(files.first()));
        memory::writeSome(odd, {{QStringLiteral("txtTitle"), QStringLiteral("雲雀時計 \"懐中\", 銀")},
                                {QStringLiteral("txtDescription"), QStringLiteral("一行目\r\n二行目 ～ \u2665")},
                                {QStringLiteral("optHANBAI_0"), QStringLiteral("False")},
                                {QStringLiteral("optHANBAI_1"), QStringLiteral("True")},
                                {QStringLiteral("imNumLite5"), QStringLiteral("4000")},
                                {QStringLiteral("Combo3"), QStringLiteral("0")},
                                {QStringLiteral("Check25"), QStringLiteral("1")}});
        QVERIFY(odd.save());
        files << odd.path();

        QList<QStringList> rows;
        for (const QString& f : files) rows << listingcsv::exportRow(memory::read(IniFile::load(f)), f, {});
        const QByteArray exported = listingcsv::exportBytes(rows);
        QVERIFY(exported.startsWith("\xEF\xBB\xBF"));  // ♥ has no CP932 code: UTF-8, which Excel reads too
        listingcsv::Context c = contextIn(from.path());
        const listingcsv::Plan plan = listingcsv::plan(csv::read(exported), c);
        QCOMPARE(plan.goodRows(), files.size());
        const listingcsv::Made made = listingcsv::make(plan.rows, to.path(), plainMaker());
        QCOMPARE(made.files.size(), files.size());
        for (int i = 0; i < files.size(); ++i) QCOMPARE(fileBytes(made.files[i]), fileBytes(files[i]));

        // Without the column, on a window's state: the listing's own keys as they were; a character
        // no memory file of its own holds is named.
        csv::Table table = csv::read(exported);
        for (QStringList& r : table.records) r.removeLast();
        const listingcsv::Plan bareRows = listingcsv::plan(table, c);
        QCOMPARE(problemsOf(bareRows.rows.last()), QStringList{QStringLiteral("説明")});
        const listingcsv::Made bare = listingcsv::make(bareRows.rows, again.path(), plainMaker());
        QCOMPARE(bare.files.size(), files.size() - 1);
        for (int i = 0; i < bare.files.size(); ++i) {
            const IniFile was = IniFile::load(files[i]), now = IniFile::load(bare.files[i]);
            for (const char* key : {"タイトル", "説明", "開始価格", "期間", "終了時間", "都道府県", "落札者が負担", "出品者が負担",
                                    "銀行振込", "クレジット", "最低落札価格"})
                QCOMPARE(now.value(QStringLiteral("出品手続"), QString::fromUtf8(key)),
                         was.value(QStringLiteral("出品手続"), QString::fromUtf8(key)));
            QCOMPARE(now.value(memory::kListingSection, QStringLiteral("カテゴリのアドレス")),
                     was.value(memory::kListingSection, QStringLiteral("カテゴリのアドレス")));
        }
    }
};

QTEST_GUILESS_MAIN(TestListingCsv)
#include "tst_listingcsv.moc"
