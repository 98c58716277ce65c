#pragma once

#include <QString>
#include <QTemporaryDir>

// A real, small file system (tmpfs) mounted on a temporary folder, for the
// disk that fills up: the kernel answers a write with ENOSPC exactly as a
// full disk does. Mounting needs root (CI runs as root); elsewhere
// isMounted() is false and the test skips.
class SmallDisk {
public:
    explicit SmallDisk(int kibibytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    QString file(const QString& relative) const { return m_dir.filePath(relative); }

    // Fills what is left with a filler file, so that the next byte written fails;
    // `leaveBytes` are left free (rounded down to the disk's blocks).
    bool fill(qint64 leaveBytes = 0);
    // Removes the filler again.
    void makeRoom();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
