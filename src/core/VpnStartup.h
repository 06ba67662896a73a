#pragma once

#include "core/Credentials.h"

#include <QObject>
#include <QSharedPointer>

class BlackHoleRouteManager;
class ConnectionParameters;
class LifeCycleClient;
class VpnBackend;
class VpnConnectionState;
class VpnProcess;
class WebConfigSource;
class WhatIsMyIp;

// Runs one connection attempt from the request to the started engine and
// returns the process the backend keeps. The two slots are reached through
// the event processing of the start-up's waits, while startVPN() runs.
class VpnStartup : public QObject
{
    Q_OBJECT

public:
    explicit VpnStartup(QSharedPointer<ConnectionParameters> parameters);
    ~VpnStartup() override;

    virtual QSharedPointer<VpnProcess> startVPN(Credentials credentials, BlackHoleRouteManager &blackHoleRouteManager,
                                                VpnConnectionState &connectionState, LifeCycleClient &lifeCycleClient,
                                                WebConfigSource &webConfigSource, WhatIsMyIp &whatIsMyIp,
                                                VpnBackend &backend) = 0;

    bool isAbortRequested() const { return m_abortRequested; }
    bool isSkipRequested() const { return m_skipRequested; }
    QSharedPointer<ConnectionParameters> getParameters() const { return m_parameters; }

public slots:
    // Both only set a flag; the running stage sees it at its next check.
    void onStartVPNAborted();
    void onCurrentOperationSkipped();

protected:
    bool m_abortRequested = false;
    bool m_skipRequested = false;
    QSharedPointer<ConnectionParameters> m_parameters;
};
