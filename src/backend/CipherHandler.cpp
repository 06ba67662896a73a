#include "backend/CipherHandler.h"

#include "backend/BackendLogging.h"
#include "core/VpnStateTracker.h"
#include "openvpn/AbstractVpnCommand.h"
#include "openvpn/Remote.h"

#include <QDebug>

CipherHandler::CipherHandler(const BackendOpenVPNConfigCipher &cipher, VpnStateTracker &stateTracker,
                             qint32 vpnProtocol)
    : m_cipher(cipher)
    , m_stateTracker(stateTracker)
    , m_vpnProtocol(vpnProtocol)
{
}

void CipherHandler::onOpenVpnPrepareArguments(AbstractVpnCommand &command)
{
    command.enableManagementQueryRemote();
    command.setCipher(m_cipher);
}

void CipherHandler::onState(const OpenVpnGenericState &state)
{
    dispatch(state);
}

void CipherHandler::onRemote(Remote &remote)
{
    if (m_cipher.isValid())
        remote.setPort(m_cipher.getPort());
}

void CipherHandler::onControlChannel(const QString &tlsVersion, const QString &cipherText)
{
    const OpenVpnConfigTls tls(tlsVersion);
    bool pfs = false;
    QString cipherInfo;
    if (m_vpnProtocol == OPENCONNECT) {
        for (const QLatin1String prefix : {QLatin1String("DHE-"), QLatin1String("ECDHE-")}) {
            if (cipherText.startsWith(prefix)) {
                pfs = true;
                cipherInfo = cipherText.mid(prefix.size());
            }
        }
    } else if (m_vpnProtocol == OPENVPN) {
        pfs = cipherText.contains(QLatin1String("DHE-"));
    } else {
        qCDebug(lcBackend) << "Warning, unexpected VPNProtocol";
        return;
    }
    // TLS 1.3 suites name no key exchange, yet every one of them is ephemeral.
    pfs = pfs || tls.isForwardSecretByProtocol();
    m_controlChannelTls = tls;
    m_stateTracker.tlsCipherChanged(pfs, m_controlChannelTls.getTlsVersion(), cipherInfo);
}

void CipherHandler::on(const OpenVpnStateConnecting &)
{
    reset();
}

void CipherHandler::on(const OpenVpnStateReconnecting &)
{
    reset();
}

void CipherHandler::reset()
{
    m_controlChannelTls = OpenVpnConfigTls();
    m_stateTracker.tlsCipherChanged(false, m_controlChannelTls.getTlsVersion(), QString());
}
