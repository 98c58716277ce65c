// Saving a full memory file: the whole table in one read and one atomic write,
// against a rewrite of the file for every key (the way the file used to be
// written, one profile-string write per key). Both in the same run:
//   bench_memory <runs>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include "Median.h"

#include "memory/MemoryTable.h"
#include "settings/IniFile.h"
#include "settings/mINI.h"

namespace {

// A listing prepared in every pane: some long texts, the rest short values.
QMap<QString, QString> aFullListing() {
    QMap<QString, QString> values;
    for (const memory::Key& k : memory::keys()) values.insert(k.control, QStringLiteral("1"));
    QString description;
    for (int i = 0; i < 400; ++i) description += QStringLiteral("<p>%1行目の説明です。</p>\r\n").arg(i);
    values.insert(QStringLiteral("txtDescription"), description);
    for (int k = 0; k < 8; ++k) values.insert(QStringLiteral("txtSETUMEI_%1").arg(k), QString(300, QChar(0x3042 + k)));
    return values;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = qMax(1, app.arguments().value(1).toInt());
    QTemporaryDir dir;
    const QMap<QString, QString> values = aFullListing();
    QList<double> once, perKey;
    for (int i = 0; i < runs; ++i) {
        const QString a = dir.filePath(QStringLiteral("once%1.srb").arg(i));
        const QString b = dir.filePath(QStringLiteral("perkey%1.srb").arg(i));
        QElapsedTimer clock;
        clock.start();
        IniFile file = IniFile::load(a);
        memory::write(file, values);
        if (!file.save()) return 1;
        once << clock.nsecsElapsed() / 1e6;
        clock.restart();
        for (const memory::Key& k : memory::keys()) mINI::Hzn_Write(k.section, k.key, memory::written(k.kind, values.value(k.control)), b);
        perKey << clock.nsecsElapsed() / 1e6;
        if (IniFile::load(a).toBytes() != IniFile::load(b).toBytes()) {
            QTextStream(stderr) << "bench_memory: the two ways wrote different files\n";
            return 1;
        }
    }
    const double o = median(once), p = median(perKey);
    QTextStream(stdout) << QStringLiteral(
                               "saving a full memory file (%1 keys): one write %2 ms, baseline (a write per key) %3 ms (medians of %4)\n")
                               .arg(memory::keys().size())
                               .arg(o, 0, 'f', 2)
                               .arg(p, 0, 'f', 2)
                               .arg(runs)
                        << QStringLiteral("ratio per-key/one: %1 (goal: at least 10)\n").arg(p / o, 0, 'f', 1);
    return 0;
}
