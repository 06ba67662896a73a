#pragma once

#include <QtGlobal>

#include <functional>

class QTcpSocket;

// Who is at the other end of a connection to one of the client's loopback
// listeners. The helper replaces itself with the engine, so the engine of a
// run is the very process the client started for it; a connection from any
// other program on this machine (root's included: any user can have the
// helper start a root engine) must not be served as the engine.
class LoopbackPeer
{
public:
    // Whether `socket` is the connection of process `enginePid`.
    using EngineCheck = std::function<bool(const QTcpSocket &socket, qint64 enginePid)>;

    // The default check: the peer's socket is one of `enginePid`'s descriptors.
    // Where this user may not look into the engine (a root engine and an
    // ordinary user), only the owner of the peer's socket is known: it must
    // be root's, as the engines are.
    static bool isEngine(const QTcpSocket &socket, qint64 enginePid);
};
