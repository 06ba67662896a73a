#pragma once

#include "core/VpnStartup.h"

// The start-up of no connection: starts nothing and reports nothing.
class NullVpnStartup : public VpnStartup
{
    Q_OBJECT

public:
    explicit NullVpnStartup(QSharedPointer<ConnectionParameters> parameters);

    QSharedPointer<VpnProcess> startVPN(Credentials credentials, BlackHoleRouteManager &blackHoleRouteManager,
                                        VpnConnectionState &connectionState, LifeCycleClient &lifeCycleClient,
                                        WebConfigSource &webConfigSource, WhatIsMyIp &whatIsMyIp,
                                        VpnBackend &backend) override;
};
