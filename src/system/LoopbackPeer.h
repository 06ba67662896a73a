#pragma once

#include <functional>

class QTcpSocket;

// Who is at the other end of a connection to one of the client's loopback
// listeners. The engines run as root (the helper starts them so): a
// connection whose other end is not root's comes from some other local
// program, which must not be served as the engine.
class LoopbackPeer
{
public:
    using EngineCheck = std::function<bool(const QTcpSocket &)>;

    // Whether the socket at the other end of `socket` belongs to root.
    static bool isRootOwned(const QTcpSocket &socket);
};
