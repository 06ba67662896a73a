#include "backend/CipherHandler.h"

#include "backend/VpnStateTracker.h"
#include "openvpn/AbstractVpnCommand.h"
#include "openvpn/Remote.h"

#include <QDebug>

CipherHandler::CipherHandler(const BackendOpenVPNConfigCipher& cipher, VpnStateTracker& stateTracker,
                             qint32 vpnProtocol)
    : cipher(cipher)
    , stateTracker(stateTracker)
    , vpnProtocol(vpnProtocol)
{
}

void CipherHandler::onOpenVpnPrepareArguments(AbstractVpnCommand& command)
{
    command.enableManagementQueryRemote();
    command.setCipher(cipher);
}

void CipherHandler::onState(const OpenVpnGenericState& state)
{
    dispatch(state);
}

void CipherHandler::onRemote(Remote& remote)
{
    if (cipher.isValid())
        remote.setPort(cipher.getPort());
}

void CipherHandler::onControlChannel(const QString& tlsVersion, const QString& cipherText)
{
    const OpenVpnConfigTls tls(tlsVersion);
    bool pfs = false;
    QString cipherInfo;
    if (vpnProtocol == OPENCONNECT) {
        for (const QLatin1String prefix : {QLatin1String("DHE-"), QLatin1String("ECDHE-")}) {
            if (cipherText.startsWith(prefix)) {
                pfs = true;
                cipherInfo = cipherText.mid(prefix.size());
            }
        }
    } else if (vpnProtocol == OPENVPN) {
        pfs = cipherText.contains(QLatin1String("DHE-"));
    } else {
        qDebug() << "Warning, unexpected VPNProtocol";
        return;
    }
    // TLS 1.3 suites name no key exchange, yet every one of them is ephemeral.
    pfs = pfs || tls.isForwardSecretByProtocol();
    controlChannelTls = tls;
    stateTracker.tlsCipherChanged(pfs, controlChannelTls.getTlsVersion(), cipherInfo);
}

void CipherHandler::on(const OpenVpnStateConnecting&)
{
    reset();
}

void CipherHandler::on(const OpenVpnStateReconnecting&)
{
    reset();
}

void CipherHandler::reset()
{
    controlChannelTls = OpenVpnConfigTls();
    stateTracker.tlsCipherChanged(false, controlChannelTls.getTlsVersion(), QString());
}
