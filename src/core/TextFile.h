#pragma once

#include <QString>
#include <QStringList>

// Whole-file reading and writing of the program's CP932 text files.
namespace TextFile {

// False when the file is missing or cannot be read.
bool readCp932(const QString& path, QString* text);

// Each line followed by CR LF, through a temporary file, so a failed write
// leaves the old file. False when the folder is missing or the write fails.
bool writeCp932Lines(const QString& path, const QStringList& lines);

}  // namespace TextFile
