#include "core/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace ProgramFolder {
namespace {
QString& overrideRoot() {
    static QString path;
    return path;
}
QString sub(const char* relative) { return root() + QLatin1String(relative); }
}  // namespace

QString root() {
    QString base = overrideRoot().isEmpty() ? QCoreApplication::applicationDirPath() : overrideRoot();
    if (!base.endsWith(QLatin1Char('/'))) base += QLatin1Char('/');
    return base;
}

void setRoot(const QString& path) { overrideRoot() = QDir::cleanPath(path); }

QString templateHtml() { return sub("Template/HTML/"); }
QString templateMail() { return sub("Template/MAIL/"); }
QString mast() { return sub("MAST/"); }
QString user() { return sub("USER/"); }
QString data() { return sub("DATA/"); }
QString ini() { return sub("INI/"); }
QString settingsFile() { return ini() + QStringLiteral("SRB.INI"); }
QString previewFile() { return data() + QStringLiteral("CREATE.html"); }

QString userConfigDir() { return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation); }
QString userDataDir() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

}  // namespace ProgramFolder
