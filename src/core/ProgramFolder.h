#pragma once

#include <QString>
#include <functional>

// Every file the program uses lives below one program folder: the folder
// that holds the executable when the program runs from a folder of its own
// (the build's, a copied one), or, when it is installed (the executable's
// folder holds no program folder it may write), a per-user folder seeded from
// the shipped tree. The per-user records (first start, browser profile) live
// in the platform's per-user folders.
namespace ProgramFolder {

// Defaults to the executable's folder; settle() or a test points it elsewhere.
QString root();
void setRoot(const QString& path);

// Where the program folder is for an executable in `exeDir`.
struct Placement {
    QString root;     // the program folder
    QString shipped;  // the tree to seed it from, empty when it is the executable's own folder
};
// `writable` says whether a folder may be written (a parameter, so that the
// rule can be tested as any account).
Placement place(const QString& exeDir, const QString& perUserDir, const std::function<bool(const QString&)>& writable);
// Copies every file of `shipped` to the same place below `target` where there
// is none yet (a file the user has is never replaced) and makes the six
// folders. False, with the path that failed, when a copy or a folder failed.
bool seed(const QString& shipped, const QString& target, QString* failed);
// At start: places the program folder for this executable and this user and
// seeds it. False, with the path that failed, when seeding did not complete.
bool settle(QString* failed);
QString perUserProgramDir();  // the per-user program folder of an installed program

// Each ends in "/".
QString templateHtml();
QString templateMail();
QString mast();
QString user();
QString data();
QString ini();

QString settingsFile();  // INI/SRB.INI
QString previewFile();   // DATA/CREATE.html

QString userConfigDir();  // per user: the first-start record
QString userDataDir();    // per user: the browser profile (cookies)

}  // namespace ProgramFolder
