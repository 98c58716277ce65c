// Points a program folder's site addresses at a local simulator:
//   demo_settings <program folder> <base address>
// Used by the demo script; the rest of the settings file is left as it is.
#include <QCoreApplication>
#include <QTextStream>

#include "core/ProgramFolder.h"
#include "settings/SiteAddresses.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        QTextStream(stderr) << "usage: demo_settings <program folder> <base address>\n";
        return 2;
    }
    ProgramFolder::setRoot(args.at(1));
    SiteAddresses::writeAll(args.at(2));
    return SiteAddresses::host(SiteAddresses::kAuction) == args.at(2) ? 0 : 1;
}
