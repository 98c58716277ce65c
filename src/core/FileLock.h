#pragma once

#include <QString>

// An advisory lock on a lock file, held for the object's lifetime. The
// kernel lets go of it when the process ends in any way (a crash, a kill),
// so a lock is never left behind; the lock file itself stays and is reused.
class FileLock {
public:
    enum class Wait { No, Briefly };
    // Briefly: waits up to `waitMs` for another holder to finish.
    explicit FileLock(const QString& lockPath, Wait wait = Wait::Briefly, int waitMs = 5000);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool isLocked() const { return m_fd >= 0; }
    // Not locked because another process holds it (not because no lock file can be made).
    bool heldElsewhere() const { return m_heldElsewhere; }

private:
    int m_fd = -1;
    bool m_heldElsewhere = false;
};
