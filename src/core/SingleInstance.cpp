#include "core/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

#include "core/FileLock.h"

namespace {
const QByteArray kForward("forward\n");
}

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent) : QObject(parent), m_folder(programFolder) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockFile(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("INI/.sorabako.lock"));
}

QString SingleInstance::serverName(const QString& programFolder) {
    // A socket name is short, so the folder goes in as a digest; the user's number keeps
    // two accounts on one machine apart.
    const QString canonical = QFileInfo(programFolder).canonicalFilePath();
    const QByteArray digest =
        QCryptographicHash::hash((canonical.isEmpty() ? programFolder : canonical).toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("sorabako-%1-%2").arg(QString::number(::getuid()), QString::fromLatin1(digest));
}

bool SingleInstance::acquire() {
    QDir().mkpath(QDir(m_folder).filePath(QStringLiteral("INI")));
    const QString path = lockFile(m_folder);
    m_lock = std::make_unique<FileLock>(path, FileLock::Wait::No);
    if (!m_lock->isLocked()) {
        // Held by another program; a folder where no lock can be made at all lets the program start.
        const bool held = m_lock->heldElsewhere();
        m_lock.reset();
        return !held;
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = serverName(m_folder);
    // The lock is ours, so a socket of that name is a crashed program's.
    if (!m_server->listen(name)) {
        QLocalServer::removeServer(name);
        m_server->listen(name);
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains(kForward.trimmed())) Q_EMIT comeForward();
                socket->write("ok\n");
                socket->flush();
                socket->disconnectFromServer();
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    return true;
}

bool SingleInstance::askFirstToComeForward(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName(m_folder));
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(kForward);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    return socket.waitForReadyRead(timeoutMs) && socket.readAll().startsWith("ok");
}
