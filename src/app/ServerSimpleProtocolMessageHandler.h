#pragma once

#include "app/AbstractProtocolMessageHandler.h"

class ServerAbstractSocket;
class VpnBackendAbstractServer;

// The server's side of one connection: welcomes the first instance and turns
// every later one away.
class ServerSimpleProtocolMessageHandler : public AbstractProtocolMessageHandler
{
public:
    ServerSimpleProtocolMessageHandler(VpnBackendAbstractServer &server, ServerAbstractSocket &connection);

    void makeHandShake() override;
    void connectionRefused() override;
    void messageHandler(const QString &message) override;

private:
    // No message of the present protocol needs the server yet.
    [[maybe_unused]] VpnBackendAbstractServer &m_server;
    ServerAbstractSocket &m_connection;
};
