#include "app/BackendServices.h"

#include "BuildConfig.h"

BackendServices::WebSetup BackendServices::WebSetup::product()
{
    return {QString::fromLatin1(BuildConfig::clientIdentifier),
            SemVer(QString::fromLatin1(BuildConfig::applicationVersion)),
            QStringLiteral("https://") + QString::fromUtf8(BuildConfig::updateHost),
            QString::fromLatin1(BuildConfig::lifecycleToken)};
}

BackendServices::BackendServices(OsAbstraction &os, const WebSetup &web)
    : os(os)
    , dnsStack(os)
    , blackHoleRoutes(os, dispatcher)
    , lifeCycleClient(&networkAccessManager, web.clientIdentifier, web.version,
                      web.origin + QStringLiteral("/lifecycle/"), web.lifeCycleToken, QString())
    , webConfigSource(&networkAccessManager, web.clientIdentifier, web.version,
                      web.origin + QStringLiteral("/Config/default.txt"), QString())
    , whatIsMyLocation(&networkAccessManager, web.clientIdentifier, web.version,
                       web.origin + QStringLiteral("/cgi-bin/whatismylocation.pl"))
    , whatIsMyIp(&networkAccessManager, web.clientIdentifier, web.version,
                 web.origin + QStringLiteral("/cgi-bin/whatismyip.pl"))
    , backend(os, dnsStack, dispatcher, &networkAccessManager, blackHoleRoutes, lifeCycleClient, webConfigSource,
              whatIsMyIp)
{
}
