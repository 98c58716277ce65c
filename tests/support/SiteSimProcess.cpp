#include "support/SiteSimProcess.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <memory>

#include "core/UiServices.h"
#include "settings/SiteAddresses.h"

SiteSimProcess::SiteSimProcess(const QStringList& extraArgs) {
    m_process.setProgram(qEnvironmentVariable("SORABAKO_SITESIM"));
    m_process.setArguments(QStringList{QStringLiteral("--port"), QStringLiteral("0")} + extraArgs);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start();
    if (!m_process.waitForStarted(10000)) return;
    QDeadlineTimer deadline(10000);
    QByteArray out;
    while (!deadline.hasExpired() && !out.contains('\n')) {
        m_process.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
        out += m_process.readAllStandardOutput();
    }
    const QByteArray line = out.left(out.indexOf('\n')).trimmed();
    if (line.startsWith("PORT ")) m_port = line.mid(5).toInt();
}

SiteSimProcess::~SiteSimProcess() { stop(); }

void SiteSimProcess::stop() {
    if (m_process.state() == QProcess::NotRunning) return;
    // Gone at once, open connections and all: the site going away in the middle of a command.
    m_process.kill();
    m_process.waitForFinished(5000);
}

QString SiteSimProcess::base() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }

void SiteSimProcess::writeSiteAddresses() const { SiteAddresses::writeAll(base()); }

QByteArray SiteSimProcess::controlBytes(const QString& request) const {
    QNetworkAccessManager net;
    std::unique_ptr<QNetworkReply> reply(net.get(QNetworkRequest(QUrl(base() + QStringLiteral("/__sim/") + request))));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) loop.exec();
    if (!reply->isFinished() || reply->error() != QNetworkReply::NoError) return QByteArray();
    return reply->readAll();
}

QString SiteSimProcess::control(const QString& request) const {
    const QByteArray body = controlBytes(request);
    if (body.isNull()) return QString();
    return QString::fromUtf8(body).trimmed();
}
