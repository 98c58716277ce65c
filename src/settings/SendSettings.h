#pragma once

#include <QList>
#include <QPair>
#include <QString>

class IniFile;

// How the seller's mails leave, section メール送信: handed to the mail program (the default), or
// sent from the program through the seller's own mail server. The server's password is not
// here: the desktop's keyring keeps it.
namespace sendsettings {

inline const QString kSection = QStringLiteral("メール送信");

struct Settings {
    bool smtp = false;  // 送信方法: "SMTP", else "メーラー"
    QString host;
    int port = 587;
    bool tls = false;  // 暗号化: "SSL/TLS" (the whole connection), else "STARTTLS"
    QString user;
    QString from;            // the sender's address
    QString fromName;        // shown beside it
    QString selfSignedHost;  // the one server whose own certificate the seller accepted
    bool copyToSender = false;
    bool ready() const { return smtp && !host.isEmpty() && !from.isEmpty(); }
    bool acceptsSelfSigned() const { return !selfSignedHost.isEmpty() && selfSignedHost == host; }
};

Settings read(const IniFile& file);
QList<QPair<QString, QString>> entries(const Settings& s);
// The keyring's name for this server's password.
QString secretKey(const Settings& s);

}  // namespace sendsettings
