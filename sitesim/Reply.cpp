#include "Reply.h"

#include "EucJp.h"

#include <QHttpServerResponder>
#include <QTcpSocket>

Reply Reply::page(const QString& html, int status) { return {status, "text/html; charset=EUC-JP", {}, eucjp::encode(html)}; }

Reply Reply::redirect(const QString& location) {
    // A body of its own keeps a truncated redirect distinguishable from a complete one.
    Reply reply = page(QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                                      "charset=EUC-JP\"></head><body><a href=\"%1\">%1</a></body></html>")
                           .arg(location.toHtmlEscaped()),
                       302);
    reply.headers.append({"Location", location.toUtf8()});
    return reply;
}

Reply Reply::text(const QByteArray& text, int status) { return {status, "text/plain; charset=US-ASCII", {}, text}; }

void send(const Reply& reply, QHttpServerResponder& responder, Delivery delivery) {
    // Written header by header: the convenience write() overloads cannot take
    // a header list assembled at run time (e.g. an optional Set-Cookie).
    responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(reply.status));
    responder.writeHeader("Content-Type", reply.contentType);
    for (const auto& [name, value] : reply.headers) responder.writeHeader(name, value);
    responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
    if (delivery == Delivery::Complete) {
        responder.writeBody(reply.body);
        return;
    }
    responder.writeBody(reply.body.left(reply.body.size() / 2));
    responder.socket()->disconnectFromHost();
}
