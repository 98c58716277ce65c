// Writes the program's icon as PNG files of the hicolor theme's sizes:
//   make_icons <folder>   ->  <folder>/<size>x<size>/apps/jp.sorabako.Sorabako.png
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

#include "app/Artwork.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");  // painting needs no screen
    QGuiApplication app(argc, argv);
    const QString folder = app.arguments().value(1);
    if (folder.isEmpty()) {
        QTextStream(stderr) << "usage: make_icons <folder>\n";
        return 2;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        if (!QDir().mkpath(dir) || !Artwork::iconImage(size).save(dir + QStringLiteral("/jp.sorabako.Sorabako.png"))) {
            QTextStream(stderr) << "make_icons: cannot write " << dir << "\n";
            return 1;
        }
    }
    return 0;
}
