#include "system/LoopbackPeer.h"

#include "peerowner/TcpPeerProcess.h"
#include "system/SystemLogging.h"

#include <QDebug>
#include <QTcpSocket>

bool LoopbackPeer::isEngine(const QTcpSocket &socket, qint64 enginePid)
{
    const qintptr descriptor = socket.socketDescriptor();
    if (descriptor < 0 || enginePid <= 0)
        return false;
    const orvalplatform::TcpPeer peer = orvalplatform::tcpPeer(static_cast<int>(descriptor), enginePid);
    switch (peer.match) {
    case orvalplatform::PeerMatch::Process: return true;
    case orvalplatform::PeerMatch::Other: return false;
    case orvalplatform::PeerMatch::Hidden: break;
    }
    qCWarning(lcSystem) << "LoopbackPeer: the descriptors of engine process" << enginePid
                        << "are hidden from this user; judging its connection by the owner of its socket";
    return peer.uid == 0;
}
