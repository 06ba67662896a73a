#pragma once

#include "core/NullHandler.h"
#include "core/OpenVpnStateNullHandler.h"

#include <QObject>

class HalvorixAPIClient;

// Triggers the account API request once a tunnel is up and makes sure the
// credentials kept for it do not outlive the connection attempt.
class HalvorixAPIClientHandler : public QObject, public NullHandler, protected OpenVpnStateNullHandler
{
    Q_OBJECT

public:
    explicit HalvorixAPIClientHandler(HalvorixAPIClient *client);
    ~HalvorixAPIClientHandler() override;

    void onOpenVpnFailedToStart() override;
    void onOpenVpnTerminated() override;
    void onState(const OpenVpnGenericState &state) override;

protected:
    void on(const OpenVpnStateConnected &state) override;
    using OpenVpnStateNullHandler::on;

private:
    HalvorixAPIClient *m_client;
};
