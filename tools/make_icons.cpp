// Writes the program's icon as PNG files of the hicolor theme's sizes:
//   make_icons <folder>   ->  <folder>/<size>x<size>/apps/jp.sorabako.Sorabako.png
// and the pictures the program carries for its start-up:
//   make_icons --drawn <folder>   ->  <folder>/splash, <folder>/icon<size> (pixels only)
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

#include "app/Artwork.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");  // painting needs no screen
    QGuiApplication app(argc, argv);
    const bool drawn = app.arguments().value(1) == QLatin1String("--drawn");
    const QString folder = app.arguments().value(drawn ? 2 : 1);
    if (folder.isEmpty()) {
        QTextStream(stderr) << "usage: make_icons [--drawn] <folder>\n";
        return 2;
    }
    if (drawn) {
        const auto write = [&](const QString& name, const QImage& image) {
            QFile file(folder + QLatin1Char('/') + name);
            return file.open(QIODevice::WriteOnly) && file.write(Artwork::carriedBytes(image)) == image.sizeInBytes();
        };
        bool ok = QDir().mkpath(folder) && write(QStringLiteral("splash"), Artwork::drawSplash());
        for (int size : Artwork::kIconSizes) ok = ok && write(QStringLiteral("icon%1").arg(size), Artwork::iconImage(size));
        if (!ok) {
            QTextStream(stderr) << "make_icons: cannot write " << folder << "\n";
            return 1;
        }
        return 0;
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
