#include "support/TempProgramFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include "core/ProgramFolder.h"
#include "core/Cp932.h"

TempProgramFolder::TempProgramFolder(Content content) {
    QDir root(m_dir.path());
    for (const char* sub : {"Template/HTML", "Template/MAIL", "MAST", "USER", "DATA", "INI"}) root.mkpath(QLatin1String(sub));
    if (content == Content::Shipped) {
        const QString shipped = qEnvironmentVariable("SORABAKO_SOURCE_DIR") + QStringLiteral("/folder");
        QDirIterator it(shipped, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString to = root.filePath(QDir(shipped).relativeFilePath(from));
            QFile::copy(from, to);
        }
    }
    ProgramFolder::setRoot(m_dir.path());
}

TempProgramFolder::~TempProgramFolder() { ProgramFolder::setRoot(QString()); }

void TempProgramFolder::writeCp932(const QString& relative, const QString& text) const {
    QFile f(file(relative));
    if (f.open(QIODevice::WriteOnly)) f.write(cp932::encode(text));
}

QByteArray TempProgramFolder::readBytes(const QString& relative) const {
    QFile f(file(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
