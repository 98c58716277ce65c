#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "outbox/Smtp.h"

// A real mail server on loopback (Debian's python3-aiosmtpd, tests/outbox/smtp_server.py) with a
// certificate made for this run: STARTTLS and a sign-in required; each mail it takes kept as it
// arrived. `mode` plays a server that misbehaves: reject-rcpt, reject-data, stall, drop-after-data.
class MailServer {
public:
    static inline const QString kPython = QStringLiteral("/usr/bin/python3");  // Debian's, with python3-aiosmtpd
    static inline const QString kUser = QStringLiteral("sora_shop");
    static inline const QString kPassword = QStringLiteral("aozora-2026");
    static QString script(const char* name) {
        return qEnvironmentVariable("SORABAKO_SOURCE_DIR") + QStringLiteral("/tests/outbox/") + QLatin1String(name);
    }
    // Debian's python with the server's library: said plainly when missing.
    static bool available() {
        return QFileInfo(kPython).isExecutable() &&
               QProcess::execute(kPython, {QStringLiteral("-c"), QStringLiteral("import aiosmtpd")}) == 0;
    }

    explicit MailServer(const QString& mode) {
        m_ok = QProcess::execute(QStringLiteral("openssl"),
                                 {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                                  QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                                  QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"),
                                  QStringLiteral("-keyout"), m_dir.filePath(QStringLiteral("key.pem")), QStringLiteral("-out"),
                                  m_dir.filePath(QStringLiteral("cert.pem"))}) == 0;
        QDir().mkpath(out());
        m_process.setStandardErrorFile(m_dir.filePath(QStringLiteral("server.log")));
        m_process.start(kPython, {script("smtp_server.py"), out(), m_dir.filePath(QStringLiteral("cert.pem")),
                                  m_dir.filePath(QStringLiteral("key.pem")), kUser, kPassword, mode});
        // Until it says where it listens (a slow first start compiles the library).
        QDeadlineTimer deadline(30000);
        while (m_ok && m_port == 0 && !deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
            if (!m_process.canReadLine()) {
                m_process.waitForReadyRead(200);
                continue;
            }
            const QByteArray line = m_process.readLine().trimmed();
            if (line.startsWith("PORT ")) m_port = line.mid(5).toInt();
        }
    }
    ~MailServer() {
        m_process.kill();
        m_process.waitForFinished();
    }
    int port() const { return m_port; }
    QString out() const { return m_dir.filePath(QStringLiteral("mails")); }
    outbox::Server server() const {
        outbox::Server s;
        s.host = QStringLiteral("127.0.0.1");
        s.port = m_port;
        s.user = kUser;
        s.password = kPassword;
        s.allowSelfSigned = true;
        s.timeoutSeconds = 3;
        s.answerTimeoutSeconds = 3;
        return s;
    }
    // The n-th mail the server took, read by Python's email module.
    QJsonObject mail(int n) const {
        QProcess read;
        read.start(kPython, {script("read_mail.py"), QDir(out()).filePath(QStringLiteral("%1.eml").arg(n))});
        read.waitForFinished(20000);
        return QJsonDocument::fromJson(read.readAllStandardOutput()).object();
    }
    QStringList envelope(int n) const {
        QFile f(QDir(out()).filePath(QStringLiteral("%1.rcpt").arg(n)));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split(QLatin1Char('\n')) : QStringList();
    }
    int taken() const { return QDir(out()).entryList({QStringLiteral("*.eml")}).size(); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    bool m_ok = false;
    int m_port = 0;
};
