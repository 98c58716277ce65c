// Writes the shipped site definition from the built-in facts:
//   make_site_definition <folder>        (the repository's folder/MAST)
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include "core/Cp932.h"
#include "core/TextFile.h"
#include "site/SiteFacts.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        QTextStream(stderr) << "usage: make_site_definition <folder>\n";
        return 2;
    }
    const QString path = QDir(app.arguments().at(1)).filePath(site::kDefinitionFile);
    if (!TextFile::writeBytes(path, cp932::encode(site::Facts::builtInFileText()))) {
        QTextStream(stderr) << "make_site_definition: cannot write " << path << "\n";
        return 1;
    }
    QTextStream(stdout) << path << "\n";
    return 0;
}
