#include "backend/NullVpnStartup.h"

#include "backend/NullVpnProcess.h"
#include "catalogue/ConnectionParameters.h"

NullVpnStartup::NullVpnStartup(QSharedPointer<ConnectionParameters> parameters)
    : VpnStartup(std::move(parameters))
{
}

QSharedPointer<VpnProcess> NullVpnStartup::startVPN(Credentials, BlackHoleRouteManager &, VpnConnectionState &,
                                                    LifeCycleClient &, WebConfigSource &, WhatIsMyIp &, VpnBackend &)
{
    return QSharedPointer<VpnProcess>(new NullVpnProcess);
}
