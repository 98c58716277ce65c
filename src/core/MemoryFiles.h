#pragma once

#include <QString>

// Reads and writes the main window's working state as a memory file. The
// main window and start-up call it; the memory-file subsystem provides it.
// Both tell the user themselves when they fail, and say so: a path that was
// not written or read is not made the current memory file.
class MemoryFiles {
public:
    virtual ~MemoryFiles() = default;
    virtual bool SaveFile(const QString& path) = 0;
    virtual bool ReadFile(const QString& path) = 0;
};
