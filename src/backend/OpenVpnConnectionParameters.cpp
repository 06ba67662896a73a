#include "backend/OpenVpnConnectionParameters.h"

#include "backend/CipherHandler.h"
#include "backend/TunManagerHandler.h"
#include "backend/VpnStartupImpl.h"
#include "core/VpnStartupProgress.h"
#include "openvpn/ConnectVia.h"
#include "openvpn/ManagementSocket.h"

OpenVpnConnectionParameters::OpenVpnConnectionParameters(const HalvorixServerSite &site, const ConnectVia &via,
                                                         const BackendOpenVPNConfigCipher &cipher,
                                                         STunnelMode stunnelMode, Settings::IksSettings iksSettings,
                                                         bool tunTapDriverCheck, bool manageRouteProgramCheck)
    : m_site(site)
    , m_via(&via)
    , m_cipher(cipher)
    , m_stunnelMode(stunnelMode)
    , m_iksSettings(iksSettings)
    , m_manageRouteProgramCheck(manageRouteProgramCheck)
    , m_tunTapDriverCheck(tunTapDriverCheck)
{
}

Settings::IksSettings OpenVpnConnectionParameters::getIksSettings() const
{
    return m_iksSettings;
}

bool OpenVpnConnectionParameters::getManageRouteProgramCheck() const
{
    return m_manageRouteProgramCheck;
}

bool OpenVpnConnectionParameters::getTunTapDriverCheck() const
{
    return m_tunTapDriverCheck;
}

QSharedPointer<ConnectionParameters> OpenVpnConnectionParameters::withIksSettings(Settings::IksSettings iksSettings)
{
    return QSharedPointer<ConnectionParameters>(new OpenVpnConnectionParameters(
        m_site, *m_via, m_cipher, m_stunnelMode, iksSettings, m_tunTapDriverCheck, m_manageRouteProgramCheck));
}

QSharedPointer<ConnectionParameters> OpenVpnConnectionParameters::withManageRouteProgramCheck(bool check)
{
    return QSharedPointer<ConnectionParameters>(new OpenVpnConnectionParameters(
        m_site, *m_via, m_cipher, m_stunnelMode, m_iksSettings, m_tunTapDriverCheck, check));
}

QSharedPointer<ConnectionParameters> OpenVpnConnectionParameters::withTunTapDriverCheck(bool check)
{
    return QSharedPointer<ConnectionParameters>(new OpenVpnConnectionParameters(
        m_site, *m_via, m_cipher, m_stunnelMode, m_iksSettings, check, m_manageRouteProgramCheck));
}

QFileInfo OpenVpnConnectionParameters::getConfigFile() const
{
    return m_site.getOpenVpnConfigFile(getProtocol());
}

HalvorixServerSite OpenVpnConnectionParameters::getServerSite() const
{
    return m_site;
}

// The transport decides the protocol, whatever the cipher offer was chosen for.
HalvorixServerSite::Protocol OpenVpnConnectionParameters::getProtocol() const
{
    return m_via->getProtocol();
}

void OpenVpnConnectionParameters::setUpHandler(OsAbstraction &os, HandlerList &handlers,
                                               QSharedPointer<ConnectionParameters> self, VpnFrontend &frontend) const
{
    m_via->setUpHandler(os, handlers, std::move(self), frontend);
}

void OpenVpnConnectionParameters::refreshServerSite(Settings &settings)
{
    m_site.refresh(settings);
}

QString OpenVpnConnectionParameters::getConnectionInfo() const
{
    const QString stunnelActive = getSTunnelMode() == WITH_STUNNEL ? QStringLiteral("true") : QStringLiteral("false");
    return QStringLiteral("ServerSite: ") + getServerSite().getId() + QStringLiteral("\nTunnelType: ")
           + getTunnelType().toString() + QStringLiteral("\nProtocol: ") + HalvorixServerSite::toString(getProtocol())
           + QStringLiteral("\nSTunnel active: ") + stunnelActive + QStringLiteral("\n") + getCipher().toInfoString();
}

QString OpenVpnConnectionParameters::getVpnPreparingString() const
{
    return VpnStartupProgress::PREPARE_OPENVPN_ENVIRONMENT;
}

QString OpenVpnConnectionParameters::getVpnStartingString() const
{
    return VpnStartupProgress::OPENVPN_STARTING;
}

QSharedPointer<VpnStartup> OpenVpnConnectionParameters::createVpnStartup(
    Settings &settings, QSharedPointer<ConnectionParameters> self, QNetworkAccessManager *networkAccessManager,
    VpnFrontend &frontend, VpnStateTracker &stateTracker, OsAbstraction &os, DnsStack &dnsStack, HandlerList &handlers,
    IpPoolList &ipPools, ManagementSocket &managementSocket, OpenConnectManagementSocket &,
    QSharedPointer<OpenVpnLifeCycleHandler> additionalHandler) const
{
    return QSharedPointer<VpnStartup>(new VpnStartupImpl(settings, std::move(self), networkAccessManager, frontend,
                                                         stateTracker, os, dnsStack, handlers, ipPools,
                                                         managementSocket, std::move(additionalHandler)));
}

bool OpenVpnConnectionParameters::isCipherStealth() const
{
    return m_cipher.isStealth();
}

QString OpenVpnConnectionParameters::getCipherName() const
{
    return m_cipher.getCipher();
}

bool OpenVpnConnectionParameters::hasCipherAuthName() const
{
    return true;
}

QString OpenVpnConnectionParameters::getCipherAuthName() const
{
    return m_cipher.getAuthName();
}

QSharedPointer<OpenVpnLifeCycleHandler>
OpenVpnConnectionParameters::createCipherHandler(VpnStateTracker &stateTracker) const
{
    return QSharedPointer<OpenVpnLifeCycleHandler>(
        new CipherHandler(getCipher(), stateTracker, CipherHandler::OPENVPN));
}

QSharedPointer<OpenVpnLifeCycleHandler>
OpenVpnConnectionParameters::createTunManagerHandler(OsAbstraction &os, QSharedPointer<ConnectionParameters> self,
                                                     IpPoolList &ipPools, VpnFrontend &frontend) const
{
    return QSharedPointer<OpenVpnLifeCycleHandler>(
        new TunManagerHandler(os, std::move(self), ipPools, TunManagerHandler::USE_SPLIT_ROUTES, frontend));
}

ConnectionParameters::STunnelMode OpenVpnConnectionParameters::getSTunnelMode() const
{
    return m_stunnelMode;
}

BackendOpenVPNConfigCipher OpenVpnConnectionParameters::getCipher() const
{
    return m_cipher;
}

QStringList OpenVpnConnectionParameters::getHostNamesList() const
{
    const HalvorixServerSite site = getServerSite();
    return site.getRemoteServers(site.getOpenVpnConfigFile(getProtocol()));
}

const TunnelType &OpenVpnConnectionParameters::getTunnelType() const
{
    return TunnelType::OPENVPN243();
}

const ConnectVia &OpenVpnConnectionParameters::getConnectVia() const
{
    return *m_via;
}
