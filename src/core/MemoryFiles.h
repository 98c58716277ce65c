#pragma once

#include <QString>

// Reads and writes the main window's working state as a memory file. The
// main window and start-up call it; the memory-file subsystem provides it.
class MemoryFiles {
public:
    virtual ~MemoryFiles() = default;
    virtual void SaveFile(const QString& path) = 0;
    virtual void ReadFile(const QString& path) = 0;
};
