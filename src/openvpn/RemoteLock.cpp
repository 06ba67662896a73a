#include "openvpn/RemoteLock.h"

#include "openvpn/Remote.h"

RemoteLock::RemoteLock(Remote *remote)
    : Lock(remote)
{
}

Remote *RemoteLock::getRemote() const
{
    return static_cast<Remote *>(parent());
}
