#pragma once

#include "OpenConnectTestDoubles.h"

#include "backend/VpnBackendMain.h"
#include "catalogue/WebConfigSource.h"
#include "system/BlackHoleRouteManager.h"
#include "system/DnsStack.h"
#include "websvc/LifeCycleClient.h"
#include "websvc/ReplyHandler.h"
#include "websvc/SemVer.h"
#include "websvc/WhatIsMyIp.h"

#include <QNetworkAccessManager>

// The backend main object as the GUI run mode builds it, on the system layer
// `Os`, reporting to a recording frontend. The web services ask a closed
// loopback port, so nothing leaves the machine.
template <typename Os>
struct OpenConnectBackendWorld {
    Os os;
    DnsStack dnsStack {os};
    RecordingFrontend frontend;
    QNetworkAccessManager network;
    BlackHoleRouteManager routes {os, frontend};
    LifeCycleClient lifeCycle {&network, "id", SemVer("1.0.0"), closed(), QString(), QString()};
    WebConfigSource webConfig {&network, "id", SemVer("1.0.0"), closed(), QString()};
    WhatIsMyIp whatIsMyIp {&network, "OrvalVPN", SemVer("1.0.0"), closed()};
    // Hears the engine events after the connection's own handlers.
    QSharedPointer<RecordingHandler> engine {new RecordingHandler};
    VpnBackendMain backend {os, dnsStack, frontend, &network, routes, lifeCycle, webConfig, whatIsMyIp};

    OpenConnectBackendWorld() { backend.init(engine, false); }

    static QString closed() { return QStringLiteral("http://127.0.0.1:9/"); }
};
