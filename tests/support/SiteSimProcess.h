#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Starts the site simulator on a free port for one test and stops it after.
class SiteSimProcess {
public:
    explicit SiteSimProcess(const QStringList& extraArgs = {});
    ~SiteSimProcess();

    bool isRunning() const { return m_port > 0; }
    // The site goes away: the process is killed, its connections with it.
    void stop();
    int port() const { return m_port; }
    QString base() const;  // "http://127.0.0.1:PORT"

    // Points every site address in the settings file at the simulator.
    void writeSiteAddresses() const;

    // A control request ("clear", "fault?path=…&kind=…", "attempts"): its body, or a null text when it failed.
    QString control(const QString& request) const;
    // The same, the body's bytes as sent (a picture).
    QByteArray controlBytes(const QString& request) const;

private:
    QProcess m_process;
    int m_port = 0;
};
