#pragma once

#include "app/AbstractProtocolMessageHandler.h"

class VpnBackendAbstractClient;

// The client's side: greets the server and waits for its verdict.
class ClientSimpleProtocolMessageHandler : public AbstractProtocolMessageHandler
{
public:
    explicit ClientSimpleProtocolMessageHandler(VpnBackendAbstractClient &client);

    void makeHandShake() override;
    void connectionRefused() override;
    void messageHandler(const QString &message) override;

    void setFirstInstance(bool first);
    // Waits up to verdictTimeoutMs for the server's answer, processing events;
    // without an answer the process counts as the first instance.
    bool isFirstInstance();

    static const int verdictTimeoutMs = 5000;

private:
    VpnBackendAbstractClient &m_client;
    bool m_firstInstance = true;
    bool m_answered = false;
};
