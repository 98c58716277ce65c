#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class QHttpServerResponder;

// One complete HTTP answer, built when the request arrives and written out
// later (after the configured latency).
struct Reply {
    int status = 200;
    QByteArray contentType;
    QList<QPair<QByteArray, QByteArray>> headers;  // beyond Content-Type and Content-Length
    QByteArray body;

    // An HTML page, sent EUC-JP encoded as the site does.
    static Reply page(const QString& html, int status = 200);
    static Reply redirect(const QString& location);
    static Reply text(const QByteArray& text, int status = 200);
};

enum class Delivery {
    Complete,
    // Announces the full Content-Length, sends half the body and closes the connection.
    Truncated,
};

void send(const Reply& reply, QHttpServerResponder& responder, Delivery delivery = Delivery::Complete);
