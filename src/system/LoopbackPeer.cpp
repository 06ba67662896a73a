#include "system/LoopbackPeer.h"

#include "peerowner/TcpPeerOwner.h"

#include <QTcpSocket>

bool LoopbackPeer::isRootOwned(const QTcpSocket &socket)
{
    const qintptr descriptor = socket.socketDescriptor();
    return descriptor >= 0 && orvalplatform::tcpPeerOwner(static_cast<int>(descriptor)) == 0;
}
