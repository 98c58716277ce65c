// Writes the parcel rate files from the table in RateTables.cpp:
//   make_rates <folder>        (the repository's folder/MAST)
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include "RateTables.h"
#include "core/TextFile.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        QTextStream(stderr) << "usage: make_rates <folder>\n";
        return 2;
    }
    const QDir folder(app.arguments().at(1));
    for (const RateTables::Service& service : RateTables::services()) {
        const QString path = folder.filePath(service.file);
        if (!TextFile::writeCp932Lines(path, RateTables::fileLines(service))) {
            QTextStream(stderr) << "make_rates: cannot write " << path << "\n";
            return 1;
        }
        QTextStream(stdout) << path << "\n";
    }
    return 0;
}
