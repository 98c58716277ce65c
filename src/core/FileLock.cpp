#include "core/FileLock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FileLock::FileLock(const QString& lockPath, Wait wait, int waitMs) {
    const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return;
    const QDeadlineTimer deadline(wait == Wait::Briefly ? waitMs : 0);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            m_fd = fd;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) break;
        if (deadline.hasExpired()) {
            m_heldElsewhere = true;
            break;
        }
        // Another program holds it for the few milliseconds of its write.
        QThread::msleep(2);
    }
    ::close(fd);
}

FileLock::~FileLock() {
    if (m_fd >= 0) ::close(m_fd);  // closing lets go of the lock
}
