#pragma once

#include <QString>

#include "listing/fees/Fees.h"

// The paid options' fee file in MAST/, as the seller keeps it: read again when its time or
// size changes, and each fault in it said to the seller once, not at every look.
class FeeFile {
public:
    // Without a path, the one in the program folder as it is at each read.
    explicit FeeFile(const QString& path = QString()) : m_path(path) {}
    static QString defaultPath();

    // Reads the file again if it changed since it was last read.
    void refresh();
    bool ok() const { return m_state == State::Ok; }
    const listing::FeeTable& table() const { return m_table; }
    // What is wrong with the file, in the seller's words, the first time this fault is asked
    // for; empty when the file is good or this fault was told already.
    QString faultToTell();

private:
    QString path() const { return m_path.isEmpty() ? defaultPath() : m_path; }
    enum class State { NotRead, Ok, Missing, NotText, Malformed };
    QString m_path;
    State m_state = State::NotRead;
    listing::FeeTable m_table;
    QString m_stamp;     // the file's time and size when it was read
    QString m_reported;  // the fault last told (stamp and kind)
};
