#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

// The profile format ("[section]" lines and "key=value" lines, CP932, CR LF)
// shared by the settings file, the memory files and the login list.
//
// One IniFile is one read of a file; any number of reads and writes happen in
// memory and save() writes the whole file once, atomically. Lines the program
// does not touch are written back byte for byte, whatever they hold.
class IniFile {
public:
    explicit IniFile(const QString& path);

    // Reads the file; a missing or unreadable file reads as empty.
    static IniFile load(const QString& path);
    // The file's bytes as read, for a file that is to be saved at `path`.
    static IniFile fromBytes(const QString& path, const QByteArray& bytes);

    const QString& path() const { return m_path; }

    // The first section and the first key of that name win, so a hand-edited file with a
    // repeated key reads the same every time.
    // Names compare without regard to letter case; the value is trimmed.
    // `found` is false for a missing key and for an empty value.
    QString value(const QString& section, const QString& key, bool* found = nullptr) const;
    bool hasSection(const QString& section) const { return findSection(section) >= 0; }
    bool hasKey(const QString& section, const QString& key) const;

    // Replaces the key in place (a key that already holds the value keeps its line byte
    // for byte), or appends it at the end of its section, or
    // appends the section at the end of the file. A value is one line: a CR or
    // LF left in it would split the line and corrupt the file, so each becomes
    // a blank. A section or key name the format cannot hold (empty, a line
    // end, "]" in a section, "=" in a key) writes nothing.
    void setValue(const QString& section, const QString& key, const QString& value);
    // The characters setValue could not write as they are (each became "?"), in order.
    const QString& lostCharacters() const { return m_lost; }

    // Created files get owner-only permissions when asked (the settings file
    // holds login data); an existing file is tightened to the same.
    void setOwnerOnly(bool ownerOnly) { m_ownerOnly = ownerOnly; }

    // Writes the whole file through a temporary file and a rename, so a
    // failure or a crash leaves the old file as it was. Fails without
    // touching anything when the folder is missing or the file is read-only.
    bool save() const;

    QByteArray toBytes() const;

    // The change made to the file as it is on disk now, under a lock that every writer
    // of the program takes, so that two programs (or an editor meanwhile) lose nothing of
    // each other's: read, change, write, with no other writer in between. Only what
    // `change` sets is written; a change that alters nothing writes nothing.
    static bool update(const QString& path, const std::function<void(IniFile&)>& change, bool ownerOnly = false);
    // The lock file that update() takes for `path` (hidden, in the same folder).
    static QString lockPathFor(const QString& path);

    // One-key conveniences: one read, and for write one read plus one save (unlocked:
    // for files only this program writes).
    static QString read(const QString& path, const QString& section, const QString& key, bool* found = nullptr);
    static bool write(const QString& path, const QString& section, const QString& key, const QString& value, bool ownerOnly = false);

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        QByteArray raw;  // without its line end
        QByteArray eol;  // "\r\n", "\n", "\r" or empty for a last line without one
        Kind kind = Kind::Other;
        QString name;   // section or key name, trimmed
        QString value;  // key value, trimmed
    };

    void parse(const QByteArray& data);
    static void classify(Line& line, const QString& text);
    int findSection(const QString& section) const;  // index of the header line or -1
    int sectionEnd(int header) const;               // index of the next header or size()
    Line makeLine(const QString& text);

    QString m_path;
    QList<Line> m_lines;
    bool m_ownerOnly = false;
    bool m_unreadable = false;
    QString m_lost;  // exists but could not be read: never overwrite it
};
