#include <QtTest>

#include <QDirIterator>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <archive.h>
#include <archive_entry.h>
#include <csignal>

#include "backup/Backup.h"
#include "core/ProgramFolder.h"
#include "store/HistoryStore.h"
#include "store/SalesTable.h"
#include "support/SmallDisk.h"
#include "support/TempProgramFolder.h"

namespace {
constexpr int kRowsPerScan = 150;

// The rival: a program whose scans store their rows, one after another, until it is killed.
int storeScansForever(const QStringList& args) {
    HistoryStore store(args.value(0));
    if (store.open() != HistoryStore::Opened::Ok) return 1;
    const QDateTime start = QDateTime::currentDateTime();
    for (int scan = 0;; ++scan) {
        QList<HistoryStore::Row> rows;
        for (int i = 0; i < kRowsPerScan; ++i)
            rows << HistoryStore::Row{QStringLiteral("https://page.example/jp/auction/r%1").arg(i),
                                      QStringLiteral("空箱文庫 第%1巻").arg(i),
                                      QString::number(scan),
                                      QStringLiteral("1"),
                                      QString(),
                                      QStringLiteral("1日"),
                                      QStringLiteral("500")};
        if (!store.store(start.addSecs(scan), rows)) return 2;
        QTextStream(stdout) << "stored" << Qt::endl;
    }
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList filesBelow(const QString& root, const QString& folder) {
    QStringList out;
    QDirIterator it(QDir(root).filePath(folder), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) out << QDir(root).relativeFilePath(it.next());
    out.sort();
    return out;
}

// A zip written by hand, entry by entry, as another program (or an attacker) would.
void zipOf(const QString& path, const QList<QPair<QByteArray, QByteArray>>& entries) {
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    QCOMPARE(archive_write_open_filename(a, QFile::encodeName(path).constData()), ARCHIVE_OK);
    for (const auto& [name, data] : entries) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, name.constData());
        archive_entry_set_size(e, data.size());
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_write_header(a, e);
        archive_write_data(a, data.constData(), size_t(data.size()));
        archive_entry_free(e);
    }
    archive_write_close(a);
    archive_write_free(a);
}

const QByteArray kManifest = QStringLiteral("ソラバコのバックアップ.txt").toUtf8();
}  // namespace

class TestBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A backup taken while another program stores scans, restored into an empty folder: the
    // same files, and a database that is whole, with only whole scans in it.
    void aBackupTakenWhileAScanStoresRestoresWhole() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        folder.writeCp932(QStringLiteral("INI/SRB.INI"), QStringLiteral("[メール]\r\n署名=空箱堂\r\n"));
        folder.writeCp932(QStringLiteral("USER/出品記録/x100/記憶ファイル.srb"), QStringLiteral("[出品手続]\r\nタイトル=空箱文庫\r\n"));
        {
            HistoryStore store(HistoryStore::programFile());
            QCOMPARE(store.open(), HistoryStore::Opened::Ok);
            salestable::Row sale;
            sale.auctionId = QStringLiteral("x100");
            sale.winnerId = QStringLiteral("sora_buyer");
            sale.title = QStringLiteral("空箱文庫");
            sale.price = 800;
            sale.ended = QDateTime::currentDateTime();
            QVERIFY(salestable::storeSeen(store, {sale}));
        }
        QProcess rival;
        rival.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--helper"), HistoryStore::programFile()});
        QVERIFY(rival.waitForStarted());
        auto waitStored = [&rival](int n) {
            int stored = 0;
            while (stored < n && rival.waitForReadyRead(20000))
                while (rival.canReadLine()) stored += rival.readLine().startsWith("stored") ? 1 : 0;
            return stored >= n;
        };
        QVERIFY(waitStored(2));
        QTemporaryDir out;
        const QString zip = out.filePath(backup::suggestedName(QDateTime::currentDateTime()));
        QString problem;
        QVERIFY2(backup::make(folder.path(), zip, &problem), qPrintable(problem));
        QVERIFY(waitStored(1));  // it went on storing throughout
        ::kill(static_cast<pid_t>(rival.processId()), SIGKILL);
        QVERIFY(rival.waitForFinished());

        const backup::Contents contents = backup::inspect(zip);
        QVERIFY2(contents.problem.isEmpty(), qPrintable(contents.problem));
        QVERIFY(contents.files.contains(QStringLiteral("DATA/rireki.sqlite")));

        QTemporaryDir empty;
        QVERIFY(backup::replaced(contents, empty.path()).isEmpty());
        QVERIFY2(backup::stage(zip, empty.path(), &problem), qPrintable(problem));
        QString aside;
        QVERIFY2(backup::applyStaged(empty.path(), &aside, &problem), qPrintable(problem));
        QVERIFY(!backup::hasStaged(empty.path()));
        for (const QString& f :
             QStringList{QStringLiteral("INI"), QStringLiteral("USER"), QStringLiteral("MAST"), QStringLiteral("Template")}) {
            const QStringList files = filesBelow(folder.path(), f);
            QCOMPARE(filesBelow(empty.path(), f), files);
            for (const QString& file : files) QCOMPARE(bytesOf(empty.filePath(file)), bytesOf(folder.file(file)));
        }
        HistoryStore restored(QDir(empty.path()).filePath(QStringLiteral("DATA/rireki.sqlite")));
        QCOMPARE(restored.open(), HistoryStore::Opened::Ok);
        QSqlQuery check(*restored.database());
        QVERIFY(check.exec(QStringLiteral("PRAGMA integrity_check")) && check.next());
        QCOMPARE(check.value(0).toString(), QStringLiteral("ok"));
        const QList<QDateTime> scans = restored.scanTimes();
        QVERIFY(scans.size() >= 2);
        for (const QDateTime& t : scans) QCOMPARE(restored.scanAt(t).size(), kRowsPerScan);
        const std::optional<QList<salestable::Row>> sales = salestable::all(restored);
        QVERIFY(sales && sales->size() == 1 && sales->first().title == QStringLiteral("空箱文庫"));
    }

    // Restoring over a folder in use: each file replaced is kept aside first, byte for byte, the
    // database with its write-ahead log (which holds what the seller committed last).
    void restoringKeepsTheCurrentFilesAside() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        HistoryStore live(HistoryStore::programFile());
        QCOMPARE(live.open(), HistoryStore::Opened::Ok);
        QVERIFY(
            live.store(QDateTime::currentDateTime(), {HistoryStore::Row{QStringLiteral("https://p/jp/auction/a1"), QStringLiteral("前"),
                                                                        QStringLiteral("1"), QString(), QString(), QString(), QString()}}));
        const QString memory = QStringLiteral("USER/デモ_文庫本まとめて.srb");
        const QByteArray before = folder.readBytes(memory);
        QTemporaryDir out;
        const QString zip = out.filePath(QStringLiteral("b.zip"));
        QString problem;
        QVERIFY(backup::make(folder.path(), zip, &problem));
        folder.writeCp932(memory, QStringLiteral("[出品手続]\r\nタイトル=後で書き換えた\r\n"));
        const QByteArray changed = folder.readBytes(memory);
        QVERIFY(backup::replaced(backup::inspect(zip), folder.path()).contains(memory));
        QVERIFY(backup::stage(zip, folder.path(), &problem));
        QCOMPARE(folder.readBytes(memory), changed);  // staged only: nothing in place yet
        QString aside;
        QVERIFY(backup::applyStaged(folder.path(), &aside, &problem));
        QCOMPARE(folder.readBytes(memory), before);
        QCOMPARE(bytesOf(QDir(aside).filePath(memory)), changed);
        // The seller's log went aside with the database; none of the check's files came in.
        QVERIFY(QFileInfo::exists(QDir(aside).filePath(QStringLiteral("DATA/rireki.sqlite-wal"))));
        QVERIFY(!QFileInfo::exists(folder.file(QStringLiteral("DATA/rireki.sqlite-wal"))));
        QVERIFY(!QFileInfo::exists(folder.file(QStringLiteral("DATA/rireki.sqlite-shm"))));
    }

    // A truncated archive, one that climbs out of the folder, one of another program, a full
    // disk: a message, nothing written anywhere, the folder as it was.
    void aDamagedOrForeignArchiveChangesNothing() {
        TempProgramFolder folder(TempProgramFolder::Content::Shipped);
        QTemporaryDir out;
        const QString good = out.filePath(QStringLiteral("good.zip"));
        QString problem;
        QVERIFY(backup::make(folder.path(), good, &problem));
        const QByteArray whole = bytesOf(good);
        QFile cut(out.filePath(QStringLiteral("cut.zip")));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(whole.left(whole.size() * 2 / 3));
        cut.close();
        QDir(out.path()).mkpath(QStringLiteral("inner/deeper"));
        const QString climbing = out.filePath(QStringLiteral("inner/deeper/climb.zip"));
        zipOf(climbing, {{kManifest, "SORABAKO-BACKUP 1\n"}, {"USER/ok.srb", "x"}, {"../../evil.txt", "evil"}});
        const QString hidden = out.filePath(QStringLiteral("inner/deeper/hidden.zip"));
        zipOf(hidden, {{kManifest, "SORABAKO-BACKUP 1\n"}, {"USER/../../../evil2.txt", "evil"}});
        const QString absolute = out.filePath(QStringLiteral("inner/deeper/absolute.zip"));
        zipOf(absolute, {{kManifest, "SORABAKO-BACKUP 1\n"}, {QFile::encodeName(out.filePath(QStringLiteral("evil3.txt"))), "evil"}});
        const QString foreign = out.filePath(QStringLiteral("foreign.zip"));
        zipOf(foreign, {{"USER/readme.txt", "another program's"}});

        const QStringList before = filesBelow(folder.path(), QStringLiteral("USER"));
        for (const QString& zip : {cut.fileName(), climbing, hidden, absolute, foreign}) {
            const backup::Contents c = backup::inspect(zip);
            QVERIFY2(!c.problem.isEmpty() && c.files.isEmpty(), qPrintable(zip));
            problem.clear();
            QVERIFY(!backup::stage(zip, folder.path(), &problem));
            QVERIFY(!problem.isEmpty());
            QVERIFY(!backup::hasStaged(folder.path()));
        }
        QVERIFY(backup::inspect(foreign).problem.contains(QStringLiteral("ソラバコのバックアップではありません")));
        for (const char* name : {"evil.txt", "inner/evil.txt", "evil2.txt", "inner/evil2.txt", "evil3.txt"})
            QVERIFY2(!QFileInfo::exists(out.filePath(QLatin1String(name))), name);
        QCOMPARE(filesBelow(folder.path(), QStringLiteral("USER")), before);
        QVERIFY(QDir(folder.path()).entryList({QStringLiteral(".sorabako-restore*")}, QDir::AllEntries | QDir::Hidden).isEmpty());

        SmallDisk disk(256);
        if (!disk.isMounted()) QSKIP("a small disk needs root");
        QVERIFY(disk.fill(16 * 1024));
        problem.clear();
        QVERIFY(!backup::make(folder.path(), disk.file(QStringLiteral("b.zip")), &problem));
        QVERIFY(!problem.isEmpty());
        disk.makeRoom();
        QVERIFY(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());  // no half-written archive left
    }
};

int main(int argc, char** argv) {
    if (argc >= 2 && qstrcmp(argv[1], "--helper") == 0) {
        QCoreApplication app(argc, argv);
        return storeScansForever(app.arguments().mid(2));
    }
    QCoreApplication app(argc, argv);
    TestBackup test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_backup.moc"
