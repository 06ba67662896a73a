// Drives the macOS system layer the way the client does, so that a test can
// place it as a bundle's main program (the helper accepts only its bundle's
// Contents/MacOS/OrvalVPN as caller) and look at the network namespace
// between steps. It shares the client's settings store, so the DNS stack
// continues from the record a previous step left.
//   sysdns_probe dns-push STAGE [SERVER...]
//   sysdns_probe dns-popto STAGE | dns-popall
//   sysdns_probe killswitch-disable | killswitch-enable
//   sysdns_probe protect-dns | release-dns | default-route
//   sysdns_probe blackhole-global [ipv6] | blackhole-connection
//       the routes stay until a line arrives on standard input
//   sysdns_probe crash-scene SERVER...
//       pushes the three DNS stages, adds global and per-connection black
//       holes, disables the kill-switch services, then waits to be killed
// Prints "ready" once the changes are made, then the errors the system layer
// reported, one "error: TITLE | TEXT" line each.
#include "core/NullVpnFrontend.h"
#include "prefs/Settings.h"
#include "system/BlackHoleRouteManager.h"
#include "system/DnsStack.h"
#include "system/InternetKillSwitchManager.h"
#include "system/MacOSXAbstractionImpl.h"

#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

void say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

void waitForLine()
{
    std::string line;
    std::getline(std::cin, line);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN"));
    QCoreApplication::setApplicationName(QStringLiteral("OrvalVPN"));
    const QStringList arguments = app.arguments().mid(1);
    const QString command = arguments.value(0);

    MacOSXAbstractionImpl os;
    QObject::connect(&os, &OsAbstraction::errorMessage,
                     [](const QString &title, const QString &text) { say("error: " + title + " | " + text); });
    NullVpnFrontend frontend;
    DnsStack dnsStack(os);
    dnsStack.setStack(Settings().getDnsStackNames());
    BlackHoleRouteManager blackHoles(os, frontend);
    Settings settings;

    if (command == QLatin1String("dns-push")) {
        dnsStack.push(arguments.value(1), arguments.mid(2));
    } else if (command == QLatin1String("dns-popto")) {
        say("popped " + dnsStack.popTo(arguments.value(1)));
    } else if (command == QLatin1String("dns-popall")) {
        say("popped " + dnsStack.popAll());
    } else if (command == QLatin1String("killswitch-disable")) {
        os.disableKillSwitchInterfaces();
    } else if (command == QLatin1String("killswitch-enable")) {
        InternetKillSwitchManager::enableInterfaces(os, settings);
    } else if (command == QLatin1String("protect-dns")) {
        os.protectRoutesToDns();
    } else if (command == QLatin1String("release-dns")) {
        os.removeRoutesToDns();
    } else if (command == QLatin1String("default-route")) {
        say(os.hasDefaultRoute() ? "default route" : "no default route");
    } else if (command == QLatin1String("blackhole-global")) {
        blackHoles.enableGlobalBlackHoleRoutes(arguments.value(1) == QLatin1String("ipv6"));
        say("ready");
        waitForLine();
        return 0;
    } else if (command == QLatin1String("blackhole-connection")) {
        QSharedPointer<BlackHoleRoute> route = blackHoles.getBlackHoleRoutes(settings, {});
        say("ready");
        waitForLine();
        route.reset();
        return 0;
    } else if (command == QLatin1String("crash-scene")) {
        dnsStack.push(DnsStack::start, {});
        dnsStack.push(DnsStack::beforeConnect, arguments.mid(1));
        dnsStack.push(DnsStack::afterConnect, arguments.mid(1).mid(0, 1));
        blackHoles.enableGlobalBlackHoleRoutes(true);
        const QSharedPointer<BlackHoleRoute> route = blackHoles.getBlackHoleRoutes(settings, {});
        os.disableKillSwitchInterfaces();
        say("ready");
        for (;;)
            pause();
    } else {
        say("unknown command");
        return 2;
    }
    say("ready");
    return 0;
}
