#pragma once

#include "app/AbstractRunnable.h"
#include "app/SimpleProtocolMessageHandlerFactory.h"
#include "app/VpnBackendLocalSocketServer.h"

// Holds only the single-instance server, until its last connection closes.
class ServerModeRunnable : public AbstractRunnable
{
public:
    ServerModeRunnable();

    // Throws a std::runtime_error for the user when there is no private
    // folder for the single-instance socket.
    int run() override;

private:
    SimpleProtocolMessageHandlerFactory m_factory;
    VpnBackendLocalSocketServer m_server;
};
