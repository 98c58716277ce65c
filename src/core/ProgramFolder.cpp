#include "core/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
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

Placement place(const QString& exeDir, const QString& perUserDir, const std::function<bool(const QString&)>& writable) {
    const QDir exe(exeDir);
    // A program folder beside the executable that may be written: run from its own folder.
    if (exe.exists(QStringLiteral("INI")) && writable(exe.filePath(QStringLiteral("INI")))) return {exe.absolutePath(), QString()};
    // Installed: the shipped tree is in share/sorabako beside bin/.
    const QString shipped = QDir::cleanPath(exe.filePath(QStringLiteral("../share/sorabako")));
    return {QDir::cleanPath(perUserDir), QDir(shipped).exists() ? shipped : QString()};
}

bool seed(const QString& shipped, const QString& target, QString* failed) {
    QDir out(target);
    for (const char* sub : {"Template/HTML", "Template/MAIL", "MAST", "USER", "DATA", "INI"})
        if (!out.mkpath(QLatin1String(sub))) {
            *failed = out.filePath(QLatin1String(sub));
            return false;
        }
    if (shipped.isEmpty()) return true;
    QDirIterator it(shipped, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString relative = QDir(shipped).relativeFilePath(from);
        const QString to = out.filePath(relative);
        if (QFileInfo::exists(to)) continue;  // the user's own file, or one seeded before
        if (!out.mkpath(QFileInfo(relative).path()) || !QFile::copy(from, to)) {
            *failed = to;
            return false;
        }
        // Shipped files are read-only in the package; the user's copies are theirs to change.
        QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    }
    return true;
}

QString perUserProgramDir() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/program"); }

bool settle(QString* failed) {
    const Placement p = place(QCoreApplication::applicationDirPath(), perUserProgramDir(),
                              [](const QString& path) { return QFileInfo(path).isWritable(); });
    setRoot(p.root);
    if (p.root == QDir(QCoreApplication::applicationDirPath()).absolutePath()) return true;
    return seed(p.shipped, p.root, failed);
}

QString userConfigDir() { return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation); }
QString userDataDir() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

}  // namespace ProgramFolder
