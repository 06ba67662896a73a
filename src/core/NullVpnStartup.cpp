#include "core/NullVpnStartup.h"

#include "core/NullVpnProcess.h"

NullVpnStartup::NullVpnStartup(QSharedPointer<ConnectionParameters> parameters)
    : VpnStartup(std::move(parameters))
{
}

QSharedPointer<VpnProcess> NullVpnStartup::startVPN(Credentials, BlackHoleRouteManager &, VpnConnectionState &,
                                                    LifeCycleClient &, WebConfigSource &, WhatIsMyIp &, VpnBackend &)
{
    return QSharedPointer<VpnProcess>(new NullVpnProcess);
}
