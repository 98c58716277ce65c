#include "core/TextFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/Cp932.h"

namespace TextFile {

bool readCp932(const QString& path, QString* text) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    *text = cp932::decode(f.readAll());
    return true;
}

Read readCp932Text(const QString& path, QString* text) {
    QFile f(path);
    // Only a regular file: a pipe would keep the reader waiting for bytes that never come.
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly)) return Read::Missing;
    const QByteArray bytes = f.readAll();
    if (bytes.contains('\0')) return Read::NotText;
    const QString decoded = cp932::decode(bytes);
    if (decoded.contains(QChar(0xFFFD))) return Read::NotText;
    *text = decoded;
    return Read::Ok;
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('\r') && text.at(i) != QLatin1Char('\n')) continue;
        lines << text.mid(start, i - start);
        if (text.at(i) == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) ++i;
        start = i + 1;
    }
    lines << text.mid(start);
    return lines;
}

bool writeCp932Lines(const QString& path, const QStringList& lines, QString* unmappable) {
    QByteArray bytes;
    for (const QString& line : lines) bytes += cp932::encode(line, unmappable) + "\r\n";
    return writeBytes(path, bytes);
}

namespace {
WriteLimit& writeLimit() {
    static WriteLimit limit;
    return limit;
}
StepFault& stepFault() {
    static StepFault fault;
    return fault;
}

const QLatin1String kLeftoverMark(".sorabako-");

QString temporaryName(const QString& path) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < 6; ++i) suffix += QLatin1Char(alphabet[QRandomGenerator::global()->bounded(62)]);
    const QFileInfo info(path);
    return info.absolutePath() + QLatin1String("/.") + info.fileName() + kLeftoverMark + suffix;
}

// Every byte, or false with errno set; a full disk answers ENOSPC part-way.
bool writeAll(int fd, const char* data, qint64 size, qint64 room) {
    qint64 done = 0;
    while (done < size) {
        qint64 chunk = size - done;
        if (room >= 0 && done + chunk > room) chunk = room - done;
        if (chunk <= 0) {
            errno = ENOSPC;
            return false;
        }
        const ssize_t n = ::write(fd, data + done, static_cast<size_t>(chunk));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += n;
    }
    return true;
}
}  // namespace

void setWriteLimitForTests(WriteLimit limit) { writeLimit() = std::move(limit); }
void setStepFaultForTests(StepFault fault) { stepFault() = std::move(fault); }

bool writeBytes(const QString& path, const QByteArray& bytes, bool ownerOnly) {
    const qint64 room = writeLimit() ? writeLimit()(path, bytes.size()) : -1;
    if (room == 0) return false;
    const Step failing = stepFault() ? stepFault()(path) : Step::None;

    const QByteArray target = QFile::encodeName(path);
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) return false;

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = QFile::encodeName(temporaryName(path));
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, ownerOnly ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    const auto fail = [&](bool open) {
        if (open) ::close(fd);
        ::unlink(temporary.constData());
        return false;
    };
    // The replacement keeps the old file's permissions (a seller's read-only
    // choice is refused earlier, by the callers that check it).
    if (ownerOnly)
        ::fchmod(fd, 0600);
    else if (exists)
        ::fchmod(fd, old.st_mode & 07777);

    if (!writeAll(fd, bytes.constData(), bytes.size(), room)) return fail(true);
    // The bytes must be on the disk before the name points at them: after a
    // power cut the old file or the new one, never an empty one.
    if (failing == Step::Sync || ::fsync(fd) != 0) return fail(true);
    if (failing == Step::Close) {
        ::close(fd);
        return fail(false);
    }
    if (::close(fd) != 0) return fail(false);
    if (failing == Step::Rename || ::rename(temporary.constData(), target.constData()) != 0) return fail(false);
    // The rename itself is made lasting by syncing the folder; the new file is
    // in place by now, so a folder that cannot be synced changes nothing.
    const int dir = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool isLeftover(const QString& fileName) {
    static const QRegularExpression re(QStringLiteral("^\\..+\\.sorabako-[A-Za-z0-9]{6}$"));
    return re.match(fileName).hasMatch();
}

int removeLeftovers(const QString& folder) {
    int removed = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (isLeftover(it.fileName()) && QFile::remove(it.filePath())) ++removed;
    }
    return removed;
}

}  // namespace TextFile
