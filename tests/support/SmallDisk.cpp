#include "support/SmallDisk.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

SmallDisk::SmallDisk(int kibibytes) {
    if (!m_dir.isValid() || ::geteuid() != 0) return;
    const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k,mode=0755";
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) == 0;
}

SmallDisk::~SmallDisk() {
    if (m_mounted) ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

bool SmallDisk::fill(qint64 leaveBytes) {
    struct statvfs fs {};
    if (::statvfs(QFile::encodeName(m_dir.path()).constData(), &fs) != 0) return false;
    const qint64 block = static_cast<qint64>(fs.f_bsize);
    qint64 toWrite = static_cast<qint64>(fs.f_bavail) * block - (leaveBytes / block) * block;
    const int fd = ::open(QFile::encodeName(file(QStringLiteral(".filler"))).constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (fd < 0) return false;
    const QByteArray chunk(static_cast<int>(block), 'x');
    while (toWrite > 0) {
        const ssize_t n = ::write(fd, chunk.constData(), static_cast<size_t>(qMin<qint64>(block, toWrite)));
        if (n <= 0) break;
        toWrite -= n;
    }
    ::close(fd);
    return true;
}

void SmallDisk::makeRoom() { QFile::remove(file(QStringLiteral(".filler"))); }
