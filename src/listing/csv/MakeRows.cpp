#include "listing/csv/ListingCsv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include "settings/IniFile.h"

// Making the good rows of a reviewed spreadsheet into memory files.
namespace listingcsv {

QString fileNameFor(const QString& title) {
    QString name = title;
    // Characters no file name on any of the seller's systems may hold.
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1F]")), QStringLiteral("_"));
    name = name.trimmed();
    while (name.startsWith(QLatin1Char('.'))) name.remove(0, 1);
    if (name.isEmpty()) name = QStringLiteral("出品");
    return name.left(60);
}

Made make(const QList<Row>& rows, const QString& folder, const Maker& maker) {
    Made made;
    QSet<QString> taken;
    for (const Row& row : rows) {
        if (!row.good()) continue;
        QByteArray bytes = maker.windowFile;
        if (!row.base.isEmpty()) {
            QFile f(row.base);
            // A memory file is a few kilobytes; anything this large is no memory file.
            if (!QFileInfo(row.base).isFile() || QFileInfo(row.base).size() > 16 * 1024 * 1024 || !f.open(QIODevice::ReadOnly)) {
                made.failures << QStringLiteral("%1行目: 記憶ファイル「%2」が読めません。").arg(row.line).arg(row.base);
                continue;
            }
            bytes = f.readAll();
        }
        const QString stem =
            fileNameFor(row.controls.value(QStringLiteral("txtTitle"), row.baseControls.value(QStringLiteral("txtTitle"))));
        QString path = QDir(folder).filePath(stem + QStringLiteral(".srb"));
        for (int n = 2; QFileInfo::exists(path) || taken.contains(path); ++n)
            path = QDir(folder).filePath(QStringLiteral("%1 (%2).srb").arg(stem).arg(n));
        IniFile file = IniFile::fromBytes(path, bytes);
        QMap<QString, QString> controls = row.controls;
        if (row.design >= 0 && maker.describe) {
            QString problem;
            const std::optional<QMap<QString, QString>> described = maker.describe(row.design, controls, &problem);
            if (!described) {
                made.failures << QStringLiteral("%1行目: %2").arg(row.line).arg(problem);
                continue;
            }
            for (auto it = described->begin(); it != described->end(); ++it) controls.insert(it.key(), it.value());
        }
        if (!maker.writeSome) {
            made.failures << QStringLiteral("%1行目: 記憶ファイルを作れませんでした。").arg(row.line);
            continue;
        }
        maker.writeSome(file, controls);
        if (!file.save()) {
            made.failures << QStringLiteral("%1行目: 記憶ファイルを保存できませんでした。\r\n%2").arg(row.line).arg(path);
            continue;
        }
        taken.insert(path);
        made.files << path;
    }
    return made;
}

}  // namespace listingcsv
