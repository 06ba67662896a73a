#pragma once

#include "app/AbstractFactoryProtocolMessageHandler.h"

class ClientSimpleProtocolMessageHandler;
class ServerSimpleProtocolMessageHandler;

class SimpleProtocolMessageHandlerFactory : public AbstractFactoryProtocolMessageHandler
{
public:
    QSharedPointer<AbstractProtocolMessageHandler>
    createServerProtocolMessageHandler(VpnBackendAbstractServer &server, ServerAbstractSocket &connection) override;
    QSharedPointer<AbstractProtocolMessageHandler>
    createClientProtocolMessageHandler(VpnBackendAbstractClient &client) override;

    static QSharedPointer<ClientSimpleProtocolMessageHandler>
    castToClientSimpleProtocolMessageHandler(const QSharedPointer<AbstractProtocolMessageHandler> &handler);
    static QSharedPointer<ServerSimpleProtocolMessageHandler>
    castToServerSimpleProtocolMessageHandler(const QSharedPointer<AbstractProtocolMessageHandler> &handler);
};
