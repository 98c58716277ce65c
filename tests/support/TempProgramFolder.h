#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A throw-away program folder with the shipped subfolders (empty unless
// asked to copy the repository's folder/ tree); ProgramFolder points at it
// for the lifetime of the object.
class TempProgramFolder {
public:
    enum class Content { Empty, Shipped };
    explicit TempProgramFolder(Content content = Content::Empty);
    ~TempProgramFolder();

    QString path() const { return m_dir.path(); }
    QString file(const QString& relative) const { return m_dir.filePath(relative); }

    void writeCp932(const QString& relative, const QString& text) const;
    QByteArray readBytes(const QString& relative) const;

private:
    QTemporaryDir m_dir;
};
