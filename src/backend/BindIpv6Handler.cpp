#include "backend/BindIpv6Handler.h"

#include "openvpn/AbstractVpnCommand.h"
#include "system/OsAbstraction.h"

BindIpv6Handler::BindIpv6Handler(OsAbstraction &os)
    : m_os(os)
{
}

void BindIpv6Handler::onOpenVpnPrepareArguments(AbstractVpnCommand &command)
{
    if (command.shouldPreventIpv6Leak())
        m_os.bindIpv6();
}

void BindIpv6Handler::onOpenVpnFailedToStart()
{
    // No termination follows a failed start: IPv6 must not stay bound.
    m_os.unbindIpv6();
}

void BindIpv6Handler::onOpenVpnTerminated()
{
    // Also when nothing was bound: a crashed earlier run may have left it.
    m_os.unbindIpv6();
}
