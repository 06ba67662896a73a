#pragma once

#include "FakeBackendStateTracker.h"
#include "RecordingOsAbstraction.h"
#include "RecordingVpnBackend.h"

#include "catalogue/ServerSiteModel.h"
#include "gui/OrvalVPNMainWindow.h"
#include "prefs/UserStatistics.h"
#include "websvc/LifeCycleClient.h"
#include "websvc/ReplyHandler.h"

#include <QNetworkAccessManager>
#include <QScopedPointer>

// Everything a main window needs, recording what the window asks of the
// backend and the system; the window is made by the test (create()), after
// the preferences it reads at construction are set, and shows the installed
// catalogue as the run mode's model read it then (sites.reload() reads again).
struct MainWindowServices
{
    RecordingVpnBackend backend;
    RecordingOsAbstraction os;
    FakeBackendStateTracker tracker;
    UserStatistics statistics;
    QNetworkAccessManager network;
    // Asks a closed loopback port: the check fails and nothing leaves the machine.
    LifeCycleClient lifeCycle {
        &network, QStringLiteral("OrvalVpnDesktop"), SemVer(QStringLiteral("1.0.0")), "http://127.0.0.1:9", QString(),
        QString()};
    ServerSiteModel sites;
    QScopedPointer<OrvalVPNMainWindow> window;

    OrvalVPNMainWindow &create()
    {
        window.reset(new OrvalVPNMainWindow(os, tracker, &network, statistics, backend, lifeCycle));
        sites.reload();
        window->followServerSites(sites);
        return *window;
    }
};
