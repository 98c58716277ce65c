// The site lives in src/site/: a site fact written elsewhere in the program
// (an element id of the listing form, an item page's label, a login field's
// name, a list page's link text) would not follow the site definition, and
// breaks silently when the site changes.
//   check_site_facts <src folder>
// Prints every such string literal by file and line; fails when there is one.
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>

#include "site/SiteFacts.h"

namespace {
// The facts that name something on the site's pages (not numbers, paths or the program's own choices).
QStringList siteNames() {
    QSet<QString> names;
    for (const site::Fact& f : site::allFacts()) {
        if (f.section == site::kPaths || f.key.endsWith(QStringLiteral(".位置")) || f.key.contains(QStringLiteral("Tab")) ||
            f.key == QStringLiteral("位置") || f.key.endsWith(QStringLiteral(".選択肢")) || f.key.endsWith(QStringLiteral(".未選択")))
            continue;
        // A button's text that reads like the program's own captions (ログイン, 続ける) is the
        // program's word too; the names and labels are the site's alone.
        // So does the list's heading (the grid's own column is 残り時間) and 管理.
        if (f.key.endsWith(QStringLiteral("の表示")) || f.key == QStringLiteral("一覧の始まり") || f.key == QStringLiteral("管理"))
            continue;
        const QString value = site::Facts::builtIn().text(f.section, f.key);
        for (const QString& v : f.items > 0 ? value.split(QLatin1Char(',')) : QStringList{value})
            if (v.trimmed().size() >= 2 && v.toInt() == 0 && v != QLatin1String("0")) names.insert(v);
    }
    return QStringList(names.begin(), names.end());
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        QTextStream(stderr) << "usage: check_site_facts <src folder>\n";
        return 2;
    }
    const QDir src(QFileInfo(app.arguments().at(1)).absoluteFilePath());
    const QStringList names = siteNames();
    int found = 0;
    QDirIterator it(src.path(), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files, QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext()) files << it.next();
    files.sort();
    QTextStream out(stdout);
    for (const QString& path : files) {
        const QString rel = src.relativeFilePath(path);
        if (rel.startsWith(QLatin1String("site/"))) continue;
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i)
            for (const QString& name : names)
                if (lines[i].contains(QLatin1Char('"') + name + QLatin1Char('"'))) {
                    out << QDir(src.path()).dirName() << '/' << rel << ':' << (i + 1) << ": \"" << name
                        << "\" is a fact of the site: it belongs in src/site/ and the site definition\n";
                    ++found;
                }
    }
    if (found > 0) return 1;
    out << "Site facts: none outside src/site/\n";
    return 0;
}
