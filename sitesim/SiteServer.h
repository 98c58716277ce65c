#pragma once

#include "AuctionSite.h"
#include "Faults.h"

#include <QHttpServer>
#include <QObject>

class QHttpServerRequest;
class QHttpServerResponder;

// The HTTP side of the simulator: listens, applies latency and faults, and
// answers the /__sim/ control requests the tests use.
class SiteServer : public QObject {
    Q_OBJECT

public:
    SiteServer(int latencyMs, const FaultTable& faults, QObject* parent = nullptr);

    void setFrozen(bool frozen) { m_site.setFrozen(frozen); }

    // Listens on 127.0.0.1; returns the port, or 0 on failure.
    quint16 listen(quint16 port);

private:
    void handle(const QHttpServerRequest& request, QHttpServerResponder&& responder);
    Reply control(const QHttpServerRequest& request);

    QHttpServer m_http;
    AuctionSite m_site;
    FaultTable m_faults;
    int m_latencyMs;
};
