#include "Faults.h"
#include "Listing.h"
#include "Redesign.h"
#include "SiteServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace {

int g_signalPipe[2];

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

// Only write() is safe inside a signal handler, so the signal is passed to
// the event loop through a pipe and the loop quits normally.
void quitOnTerminationSignals(QCoreApplication& app) {
    if (::pipe(g_signalPipe) != 0) qFatal("cannot create the signal pipe");
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

[[noreturn]] void fail(const QString& message) {
    std::fprintf(stderr, "sitesim: %s\n", qPrintable(message));
    std::exit(2);
}

}  // namespace

int main(int argc, char* argv[]) {
#ifdef __linux__
    // A test that crashes must not leave its simulator running behind it.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("sitesim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulates the auction site on 127.0.0.1 for tests."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Port to listen on; 0 picks a free one."),
                                        QStringLiteral("N"));
    const QCommandLineOption latencyOption(QStringLiteral("latency"), QStringLiteral("Answer every request after MS milliseconds."),
                                           QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption faultOption(QStringLiteral("fault"),
                                         QStringLiteral("PATH=KIND with KIND status:NNN, stall, truncate or garbage; repeatable."),
                                         QStringLiteral("PATH=KIND"));
    const QCommandLineOption frozenOption(QStringLiteral("frozen"),
                                          QStringLiteral("The open listings' figures stay as they are between looks."));
    const QCommandLineOption renameOption(QStringLiteral("rename-fields"),
                                          QStringLiteral("The listing form gives these fields (ids, comma-separated) a new id and name."),
                                          QStringLiteral("IDS"));
    const QCommandLineOption redesignOption(
        QStringLiteral("redesign"),
        QStringLiteral("The site redesigned: item-labels, listing-links, login-fields, reorder:ID or drop:ID:TEXT; repeatable."),
        QStringLiteral("KIND"));
    parser.addOptions({portOption, latencyOption, faultOption, frozenOption, renameOption, redesignOption});
    parser.process(app);

    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    if (!parser.isSet(portOption) || !ok || port > 65535) fail(QStringLiteral("--port N is required (0 to 65535)"));
    const int latencyMs = parser.value(latencyOption).toInt(&ok);
    if (!ok || latencyMs < 0) fail(QStringLiteral("--latency takes a number of milliseconds"));
    FaultTable faults;
    for (const QString& rule : parser.values(faultOption))
        if (!faults.add(rule)) fail(QStringLiteral("bad --fault %1").arg(rule));

    for (const QString& kind : parser.values(redesignOption))
        if (!redesign::apply(kind)) fail(QStringLiteral("bad --redesign %1").arg(kind));
    quitOnTerminationSignals(app);
    SiteServer server(latencyMs, faults);
    server.setFrozen(parser.isSet(frozenOption));
    listing::setRenamedFields(parser.value(renameOption).split(QLatin1Char(','), Qt::SkipEmptyParts));
    const quint16 actualPort = server.listen(static_cast<quint16>(port));
    if (actualPort == 0) fail(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(port));
    std::printf("PORT %u\n", unsigned(actualPort));
    std::fflush(stdout);
    return app.exec();
}
