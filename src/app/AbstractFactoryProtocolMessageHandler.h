#pragma once

#include <QSharedPointer>

class AbstractProtocolMessageHandler;
class ServerAbstractSocket;
class VpnBackendAbstractClient;
class VpnBackendAbstractServer;

// Ties a protocol to the transport: makes the handler of a server-side
// connection or of a client and hands it to that connection or client.
class AbstractFactoryProtocolMessageHandler
{
public:
    virtual ~AbstractFactoryProtocolMessageHandler() = default;

    virtual QSharedPointer<AbstractProtocolMessageHandler>
    createServerProtocolMessageHandler(VpnBackendAbstractServer &server, ServerAbstractSocket &connection) = 0;
    virtual QSharedPointer<AbstractProtocolMessageHandler>
    createClientProtocolMessageHandler(VpnBackendAbstractClient &client) = 0;
};
