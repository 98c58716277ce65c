#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// A mail as Japanese mail programs expect it: ISO-2022-JP where every
// character of its subject and body has a JIS code, UTF-8 (base64) where one
// has not; the subject as an encoded word; Date, Message-ID and Reply-To.
namespace outbox {

struct Draft {
    QString from;      // the sender's address
    QString fromName;  // shown beside it, may be empty
    QString to;
    QString replyTo;  // empty: the sender's address
    QString subject;
    QString body;               // CR LF or LF line breaks
    bool copyToSender = false;  // Bcc to the sender: not in the headers, only among the recipients
};

// "<random@domain-of-the-sender>"
QString newMessageId(const QString& from);

struct Composed {
    QByteArray data;         // the whole message, CR LF line ends, dot-stuffing left to the protocol
    QString charset;         // "ISO-2022-JP" or "UTF-8"
    QStringList recipients;  // the envelope's: To, and the sender when a copy is asked for
};
Composed compose(const Draft& draft, const QDateTime& at, const QString& messageId);

// A plain address (local@domain, no spaces or angle brackets): what the envelope and headers may hold.
bool plainAddress(const QString& address);

}  // namespace outbox
