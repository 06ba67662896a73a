#pragma once

#include "backend/VpnBackendMain.h"
#include "backend/VpnFrontendDispatcher.h"
#include "catalogue/WebConfigSource.h"
#include "core/SemVer.h"
#include "system/BlackHoleRouteManager.h"
#include "system/DnsStack.h"
#include "websvc/LifeCycleClient.h"
#include "websvc/ReplyHandler.h" // complete type for the configuration source's QPointer
#include "websvc/WhatIsMyIp.h"
#include "websvc/WhatIsMyLocation.h"

#include <QNetworkAccessManager>
#include <QString>

class OsAbstraction;

// The backend's long-lived object graph, built in one place: the GUI run mode,
// the backend driver and the test worlds hold it rather than wiring it again.
// The members are built in the order they are declared, the order of the run
// mode's services; the operating-system layer comes from the holder (the
// product's, or a recording one in tests), which builds it first.
//
// Teardown: the members go in reverse order, the backend first, while
// everything it reports to and runs on is still there. The backend still
// reports while it is destroyed (the DNS configuration it restores, the end of
// an engine that still runs), and those reports reach every frontend still
// attached to the dispatcher. So a holder keeps its attached frontends, and
// whatever they call, alive until these services are gone; where a frontend
// calls back into the holder's own members, the holder detaches it or
// disconnects from it in its destructor.
//
// The holder initialises the backend (VpnBackendMain::init) once its frontends
// are attached, so that they hear everything from the first report on.
class BackendServices
{
public:
    // How the web clients reach the update host and name this client to it.
    struct WebSetup
    {
        QString clientIdentifier;
        SemVer version;
        // Scheme and authority of the update host; every service is a path on it.
        QString origin;
        QString lifeCycleToken;

        // The product's: the update host and token fixed when it is built.
        static WebSetup product();
    };

    BackendServices(OsAbstraction &os, const WebSetup &web);

    VpnFrontendDispatcher dispatcher;
    OsAbstraction &os;
    DnsStack dnsStack;
    BlackHoleRouteManager blackHoleRoutes;
    QNetworkAccessManager networkAccessManager;
    LifeCycleClient lifeCycleClient;
    WebConfigSource webConfigSource;
    WhatIsMyLocation whatIsMyLocation;
    WhatIsMyIp whatIsMyIp;
    VpnBackendMain backend;
};
