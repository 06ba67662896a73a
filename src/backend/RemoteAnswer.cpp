#include "backend/RemoteAnswer.h"

#include "backend/BackendLogging.h"
#include "core/IpPoolInterface.h"
#include "openvpn/Remote.h"

#include <QDebug>

void RemoteAnswer::answerFromPools(const IpPoolInterface &pools, Remote &remote)
{
    const QHostAddress address = pools.getIp();
    if (!IpPoolInterface::isValidIpAddress(address)) {
        // "remote MOD" with an empty host would only make the engine fail.
        qCDebug(lcBackend) << "RemoteAnswer: no valid server address in the pools; remote left as queried";
        return;
    }
    remote.setHost(address.toString());
}
