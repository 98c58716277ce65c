#pragma once

#include <QObject>
#include <memory>

class FileLock;
class QLocalServer;

// One program per program folder: two on one folder would write each other's
// settings, memory files and history. The first takes a lock in the folder
// and listens for later starts; a later start finds the lock taken, asks the
// first to come forward and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True for the first program on this folder (it then listens); false when
    // another one holds the folder. A folder where no lock can be made (read-only)
    // counts as free: the program must still start.
    bool acquire();
    // From a later start: asks the first program to come forward. False when it did not answer.
    bool askFirstToComeForward(int timeoutMs = 3000);

    static QString lockFile(const QString& programFolder);
    static QString serverName(const QString& programFolder);

Q_SIGNALS:
    // A later start on the same folder asked this program to come forward.
    void comeForward();

private:
    QString m_folder;
    std::unique_ptr<FileLock> m_lock;
    QLocalServer* m_server = nullptr;
};
