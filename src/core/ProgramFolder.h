#pragma once

#include <QString>

// Every file the program uses lives below the folder that holds the
// executable; the per-user records (first start, browser profile) live in the
// platform's per-user folders instead, so one program folder can be shared.
namespace ProgramFolder {

// Defaults to the executable's folder; tests point it at a temporary copy.
QString root();
void setRoot(const QString& path);

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
