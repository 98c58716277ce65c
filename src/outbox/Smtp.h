#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// One mail handed to the seller's own mail server, through libcurl's SMTP (its
// protocol and TLS; nothing of SMTP is written here). Blocking: a window calls
// it from a thread of its own.
namespace outbox {

enum class Security { StartTls, Tls };

struct Server {
    QString host;
    int port = 587;
    Security security = Security::StartTls;
    QString user;                    // empty: no sign-in
    QString password;                // from the keyring or the seller, never from a file
    bool allowSelfSigned = false;    // this server's own certificate, when the seller said so
    int timeoutSeconds = 30;         // no connection, or no byte for this long: given up
    int answerTimeoutSeconds = 300;  // an answer may take this long (a server that scans the mail)
};

struct Sent {
    enum class Outcome {
        Sent,       // the server took it (its answer in `reply`)
        Refused,    // it did not: nothing left, the mail may be sent again
        Uncertain,  // the connection ended after the whole mail was handed over: the server may have it
    };
    Outcome outcome = Outcome::Refused;
    QString reply;               // the server's last answer, as it gave it
    QString message;             // Japanese, for the seller
    bool signInRefused = false;  // the user name or password was refused
};

Sent send(const Server& server, const QString& from, const QStringList& recipients, const QByteArray& data);

}  // namespace outbox
