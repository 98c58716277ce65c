#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Whole-file reading and writing of the program's CP932 text files.
namespace TextFile {

// False when the file is missing or cannot be read.
bool readCp932(const QString& path, QString* text);

// The same, telling a file that is no CP932 text (binary junk: a NUL byte or
// bytes CP932 has no character for) from a missing one. `text` is set only
// for Ok.
enum class Read { Ok, Missing, NotText };
Read readCp932Text(const QString& path, QString* text);

// Each line followed by CR LF, through a temporary file, so a failed write
// leaves the old file. False when the folder is missing or the write fails.
bool writeCp932Lines(const QString& path, const QStringList& lines);

// The one way the program replaces a file: through a temporary file in the
// same folder, renamed over the old one only when every byte was written,
// so a failed or interrupted write leaves the old file byte for byte.
// `ownerOnly` gives the new file owner-only permissions.
bool writeBytes(const QString& path, const QByteArray& bytes, bool ownerOnly = false);

// For tests: a disk that refuses a write (a read-only folder, as an
// administrator's account would still be allowed to write there) or fills
// up half-way. The hook gets the path and the size and answers how many
// bytes the disk takes before it fails: -1 for all of them, 0 to refuse the
// file outright.
using WriteLimit = std::function<qint64(const QString& path, qint64 size)>;
void setWriteLimitForTests(WriteLimit limit);

}  // namespace TextFile
