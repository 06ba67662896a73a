#pragma once
#include "backend/OpenVpnConfigTls.h"
#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "core/NullHandler.h"
#include "core/OpenVpnStateNullHandler.h"

class VpnStateTracker;

// Carries the attempt's cipher offer into the engine, forces its port on
// every remote query and reports the negotiated control channel.
class CipherHandler : public NullHandler, public OpenVpnStateNullHandler
{
public:
    enum VpnProtocol : qint32 { OPENVPN = 0, OPENCONNECT = 1 };

    CipherHandler(const BackendOpenVPNConfigCipher &cipher, VpnStateTracker &stateTracker, qint32 vpnProtocol);

    void onOpenVpnPrepareArguments(AbstractVpnCommand &command) override;
    void onState(const OpenVpnGenericState &state) override;
    void onRemote(Remote &remote) override;
    void onControlChannel(const QString &tlsVersion, const QString &cipherText) override;

protected:
    using OpenVpnStateNullHandler::on;
    void on(const OpenVpnStateConnecting &state) override;
    void on(const OpenVpnStateReconnecting &state) override;

private:
    void reset();

    BackendOpenVPNConfigCipher m_cipher;
    OpenVpnConfigTls m_controlChannelTls;
    VpnStateTracker &m_stateTracker;
    qint32 m_vpnProtocol;
};
