// orval-drive: runs the VPN backend as the GUI run mode builds it, without a
// window, for end-to-end tests, demos and benchmarks. It must run as
// <bundle>/Contents/MacOS/OrvalVPN: the helper accepts no other parent.
#include "Drive.h"
#include "DriveOptions.h"
#include "EventLog.h"

#include "BuildConfig.h"
#include "app/CleanUpRunnable.h"
#include "app/HelperBootstrap.h"
#include "app/MessagePattern.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    MessagePattern::install();
    const EventLog log;
    QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN"));
    QCoreApplication::setOrganizationDomain(QLatin1String(BuildConfig::organisationDomain));
    QCoreApplication::setApplicationName(QStringLiteral("OrvalVPN"));
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);

    // The termination-signal handler re-runs this program with "--cleanup".
    if (arguments == QStringList {QStringLiteral("--cleanup")}) {
        CleanUpRunnable cleanUp;
        return cleanUp.run();
    }
    const DriveOptions options = DriveOptions::parse(arguments);
    if (!options.isValid()) {
        std::fprintf(stderr, "orval-drive: %s\n%s\n", qPrintable(options.error()), qPrintable(DriveOptions::usage()));
        return Drive::BadArguments;
    }

    HelperBootstrap(QCoreApplication::applicationDirPath()).init_permissions();
    Drive drive(log, options);
    drive.start();
    return application.exec();
}
