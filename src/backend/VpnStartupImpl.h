#pragma once

#include "backend/StartupWaits.h"
#include "catalogue/ConnectionParameters.h"
#include "core/VpnStartup.h"

class AbstractManagementSocket;
class DnsStack;
class HandlerList;
class IpPoolList;
class OpenVpnLifeCycleHandler;
class OsAbstraction;
class QNetworkAccessManager;
class Settings;
class VpnFrontend;
class VpnStateTracker;

// The start-up of an engine connection: preliminary checks, the waiting
// stages, the handlers and pools of the attempt, then the engine start.
// Everything is borrowed from the backend; the object lives for one call.
class VpnStartupImpl : public VpnStartup
{
    Q_OBJECT

public:
    VpnStartupImpl(Settings &settings, QSharedPointer<ConnectionParameters> parameters,
                   QNetworkAccessManager *networkAccessManager, VpnFrontend &frontend, VpnStateTracker &stateTracker,
                   OsAbstraction &os, DnsStack &dnsStack, HandlerList &handlers, IpPoolList &ipPools,
                   AbstractManagementSocket &managementSocket,
                   QSharedPointer<OpenVpnLifeCycleHandler> additionalHandler,
                   unsigned long pauseMs = StartupWaits::PAUSE_MS);

    QSharedPointer<VpnProcess> startVPN(Credentials credentials, BlackHoleRouteManager &blackHoleRouteManager,
                                        VpnConnectionState &connectionState, LifeCycleClient &lifeCycleClient,
                                        WebConfigSource &webConfigSource, WhatIsMyIp &whatIsMyIp,
                                        VpnBackend &backend) override;

    // True when in-house route management is off or the route program runs.
    bool checkRoutingTableManageProgrammExecution() const;

private:
    void reportProgress(const QString &key, VpnStartupProgress::ProgressState state) const;
    unsigned char preliminaryCheckFlags() const;
    // Re-disables the services the start-up brought up, empties the pools.
    QSharedPointer<VpnProcess> abortConnection();
    void addHandlers(Credentials &credentials, VpnConnectionState &connectionState, LifeCycleClient &lifeCycleClient,
                     WebConfigSource &webConfigSource, WhatIsMyIp &whatIsMyIp);
    void addTunnelHandler(ConnectionParameters::STunnelMode mode);

    Settings &m_settings;
    QNetworkAccessManager *m_networkAccessManager;
    VpnFrontend &m_frontend;
    VpnStateTracker &m_stateTracker;
    OsAbstraction &m_os;
    DnsStack &m_dnsStack;
    HandlerList &m_handlers;
    IpPoolList &m_ipPools;
    AbstractManagementSocket &m_managementSocket;
    QSharedPointer<OpenVpnLifeCycleHandler> m_additionalHandler;
    StartupWaits m_waits;
};
