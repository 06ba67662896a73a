#include "openconnect/OpenConnectConnectionParameters.h"

#include "backend/CipherHandler.h"
#include "backend/TunManagerHandler.h"
#include "backend/VpnStartupImpl.h"
#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "core/VpnStartupProgress.h"
#include "openconnect/OpenConnectConnectVia.h"
#include "openconnect/OpenConnectManagementSocket.h"

OpenConnectConnectionParameters::OpenConnectConnectionParameters(const HalvorixServerSite &site,
                                                                 const OpenConnectConnectVia &via,
                                                                 Settings::IksSettings iksSettings,
                                                                 bool tunTapDriverCheck, bool manageRouteProgramCheck)
    : m_site(site)
    , m_via(&via)
    , m_iksSettings(iksSettings)
    , m_manageRouteProgramCheck(manageRouteProgramCheck)
    , m_tunTapDriverCheck(tunTapDriverCheck)
{
}

Settings::IksSettings OpenConnectConnectionParameters::getIksSettings() const
{
    return m_iksSettings;
}

bool OpenConnectConnectionParameters::getManageRouteProgramCheck() const
{
    return m_manageRouteProgramCheck;
}

bool OpenConnectConnectionParameters::getTunTapDriverCheck() const
{
    return m_tunTapDriverCheck;
}

QSharedPointer<ConnectionParameters> OpenConnectConnectionParameters::withIksSettings(Settings::IksSettings iksSettings)
{
    return QSharedPointer<ConnectionParameters>(new OpenConnectConnectionParameters(
        m_site, *m_via, iksSettings, m_tunTapDriverCheck, m_manageRouteProgramCheck));
}

QSharedPointer<ConnectionParameters> OpenConnectConnectionParameters::withManageRouteProgramCheck(bool check)
{
    return QSharedPointer<ConnectionParameters>(
        new OpenConnectConnectionParameters(m_site, *m_via, m_iksSettings, m_tunTapDriverCheck, check));
}

QSharedPointer<ConnectionParameters> OpenConnectConnectionParameters::withTunTapDriverCheck(bool check)
{
    return QSharedPointer<ConnectionParameters>(
        new OpenConnectConnectionParameters(m_site, *m_via, m_iksSettings, check, m_manageRouteProgramCheck));
}

QFileInfo OpenConnectConnectionParameters::getConfigFile() const
{
    return m_site.getOpenVpnConfigFile(HalvorixServerSite::UDP);
}

HalvorixServerSite OpenConnectConnectionParameters::getServerSite() const
{
    return m_site;
}

HalvorixServerSite::Protocol OpenConnectConnectionParameters::getProtocol() const
{
    return m_via->getProtocol();
}

void OpenConnectConnectionParameters::setUpHandler(OsAbstraction &, HandlerList &, QSharedPointer<ConnectionParameters>,
                                                   VpnFrontend &) const
{
    // UDP and TCP need no extra handler; the proxy transports are refused by
    // the command channel before the engine starts (see usesProxy()).
}

void OpenConnectConnectionParameters::refreshServerSite(Settings &settings)
{
    m_site.refresh(settings);
}

QString OpenConnectConnectionParameters::getConnectionInfo() const
{
    return QStringLiteral("ServerSite: ") + m_site.getId() + QStringLiteral("\nTunnelType: ")
           + getTunnelType().toString() + QStringLiteral("\nProtocol: ") + HalvorixServerSite::toString(getProtocol());
}

QString OpenConnectConnectionParameters::getVpnPreparingString() const
{
    return VpnStartupProgress::PREPARE_OPENCONNECT_ENVIRONMENT;
}

QString OpenConnectConnectionParameters::getVpnStartingString() const
{
    return VpnStartupProgress::OPENCONNECT_STARTING;
}

QSharedPointer<VpnStartup> OpenConnectConnectionParameters::createVpnStartup(
    Settings &settings, QSharedPointer<ConnectionParameters> self, QNetworkAccessManager *networkAccessManager,
    VpnFrontend &frontend, VpnStateTracker &stateTracker, OsAbstraction &os, DnsStack &dnsStack, HandlerList &handlers,
    IpPoolList &ipPools, ManagementSocket &, OpenConnectManagementSocket &openConnectSocket,
    QSharedPointer<OpenVpnLifeCycleHandler> additionalHandler) const
{
    // The OpenConnect channel, not the OpenVPN socket, controls this engine.
    return QSharedPointer<VpnStartup>(new VpnStartupImpl(settings, std::move(self), networkAccessManager, frontend,
                                                         stateTracker, os, dnsStack, handlers, ipPools,
                                                         openConnectSocket, std::move(additionalHandler)));
}

bool OpenConnectConnectionParameters::isCipherStealth() const
{
    return false;
}

QString OpenConnectConnectionParameters::getCipherName() const
{
    return QStringLiteral("n/a");
}

bool OpenConnectConnectionParameters::hasCipherAuthName() const
{
    return false;
}

QString OpenConnectConnectionParameters::getCipherAuthName() const
{
    return QString();
}

QSharedPointer<OpenVpnLifeCycleHandler>
OpenConnectConnectionParameters::createCipherHandler(VpnStateTracker &stateTracker) const
{
    return QSharedPointer<OpenVpnLifeCycleHandler>(
        new CipherHandler(getCipher(), stateTracker, CipherHandler::OPENCONNECT));
}

QSharedPointer<OpenVpnLifeCycleHandler>
OpenConnectConnectionParameters::createTunManagerHandler(OsAbstraction &os, QSharedPointer<ConnectionParameters> self,
                                                         IpPoolList &ipPools, VpnFrontend &frontend) const
{
    // The split default routes belong to the vpnc-script handling here.
    return QSharedPointer<OpenVpnLifeCycleHandler>(
        new TunManagerHandler(os, self, ipPools, TunManagerHandler::NO_SPLIT_ROUTES, frontend));
}

ConnectionParameters::STunnelMode OpenConnectConnectionParameters::getSTunnelMode() const
{
    return NO_STUNNEL;
}

BackendOpenVPNConfigCipher OpenConnectConnectionParameters::getCipher() const
{
    return BackendOpenVPNConfigCipher();
}

QStringList OpenConnectConnectionParameters::getHostNamesList() const
{
    return m_site.getRemoteServers(getConfigFile());
}

const TunnelType &OpenConnectConnectionParameters::getTunnelType() const
{
    return TunnelType::OPENCONNECT();
}

const OpenConnectConnectVia &OpenConnectConnectionParameters::getConnectVia() const
{
    return *m_via;
}

bool OpenConnectConnectionParameters::usesProxy() const
{
    return *m_via == OpenConnectConnectVia::TCP_WITH_STEALTH_PROXY()
           || *m_via == OpenConnectConnectVia::TCP_WITH_CUSTOM_PROXY();
}
