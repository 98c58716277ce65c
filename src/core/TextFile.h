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

// The lines of a text, whatever ends them: CR LF, LF, or CR alone (as editors of old
// Macs save). A text ending in a line end has an empty last line, as split() gives.
QStringList splitLines(const QString& text);

// Each line followed by CR LF, through a temporary file, so a failed write
// leaves the old file. False when the folder is missing or the write fails.
// Characters CP932 cannot hold (or holds only as another character) become
// "?"; each is added to `unmappable` so that the caller can say which.
bool writeCp932Lines(const QString& path, const QStringList& lines, QString* unmappable = nullptr);

// The one way the program replaces a file: the bytes go into a temporary
// file in the same folder, which is synced to the disk and only then renamed
// over the old one. A failure at any step (the disk full, a sync or a rename
// refused) removes the temporary file and leaves the old file byte for byte.
// `ownerOnly` gives the new file owner-only permissions; otherwise it keeps
// the old file's.
bool writeBytes(const QString& path, const QByteArray& bytes, bool ownerOnly = false);

// The temporary file's name for `path` (".NAME.sorabako-XXXXXX", hidden, in
// the same folder), and whether a file name is one of them: a program killed
// between writing and renaming leaves one behind.
bool isLeftover(const QString& fileName);
// Removes the leftovers below `folder` (and its subfolders); the number removed.
int removeLeftovers(const QString& folder);

// For tests: a disk that refuses a write (a read-only folder, as an
// administrator's account would still be allowed to write there) or fills
// up half-way. The hook gets the path and the size and answers how many
// bytes the disk takes before it fails as a full disk does: -1 for all of
// them, 0 to refuse the file outright.
using WriteLimit = std::function<qint64(const QString& path, qint64 size)>;
void setWriteLimitForTests(WriteLimit limit);

// For tests: the step of the write that fails for a path (None: none does).
enum class Step { None, Sync, Close, Rename };
using StepFault = std::function<Step(const QString& path)>;
void setStepFaultForTests(StepFault fault);

}  // namespace TextFile
