#include "catalogue/NullConnectionParameters.h"

#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "core/NullHandler.h"
#include "core/NullVpnStartup.h"
#include "core/VpnStartupProgress.h"

Settings::IksSettings NullConnectionParameters::getIksSettings() const
{
    return m_iksSettings;
}

bool NullConnectionParameters::getManageRouteProgramCheck() const
{
    return m_manageRouteProgramCheck;
}

bool NullConnectionParameters::getTunTapDriverCheck() const
{
    return m_tunTapDriverCheck;
}

// No connection has nothing to vary: every copy is plain null parameters.
QSharedPointer<ConnectionParameters> NullConnectionParameters::withIksSettings(Settings::IksSettings)
{
    return QSharedPointer<ConnectionParameters>(new NullConnectionParameters);
}

QSharedPointer<ConnectionParameters> NullConnectionParameters::withManageRouteProgramCheck(bool)
{
    return QSharedPointer<ConnectionParameters>(new NullConnectionParameters);
}

QSharedPointer<ConnectionParameters> NullConnectionParameters::withTunTapDriverCheck(bool)
{
    return QSharedPointer<ConnectionParameters>(new NullConnectionParameters);
}

QFileInfo NullConnectionParameters::getConfigFile() const
{
    return QFileInfo();
}

HalvorixServerSite NullConnectionParameters::getServerSite() const
{
    return HalvorixServerSite();
}

HalvorixServerSite::Protocol NullConnectionParameters::getProtocol() const
{
    return HalvorixServerSite::UDP;
}

void NullConnectionParameters::setUpHandler(OsAbstraction &, HandlerList &, QSharedPointer<ConnectionParameters>,
                                            VpnFrontend &) const
{
}

void NullConnectionParameters::refreshServerSite(Settings &)
{
}

QString NullConnectionParameters::getConnectionInfo() const
{
    return QString();
}

QString NullConnectionParameters::getVpnPreparingString() const
{
    return VpnStartupProgress::PREPARE_GENERIC_VPN_ENVIRONMENT;
}

QString NullConnectionParameters::getVpnStartingString() const
{
    return VpnStartupProgress::GENERIC_VPN_STARTING;
}

QSharedPointer<VpnStartup>
NullConnectionParameters::createVpnStartup(Settings &, QSharedPointer<ConnectionParameters> self,
                                           QNetworkAccessManager *, VpnFrontend &, VpnStateTracker &, OsAbstraction &,
                                           DnsStack &, HandlerList &, IpPoolList &, ManagementSocket &,
                                           OpenConnectManagementSocket &, QSharedPointer<OpenVpnLifeCycleHandler>) const
{
    return QSharedPointer<VpnStartup>(new NullVpnStartup(std::move(self)));
}

bool NullConnectionParameters::isCipherStealth() const
{
    return false;
}

QString NullConnectionParameters::getCipherName() const
{
    return QStringLiteral("n/a");
}

bool NullConnectionParameters::hasCipherAuthName() const
{
    return false;
}

QString NullConnectionParameters::getCipherAuthName() const
{
    return QString();
}

QSharedPointer<OpenVpnLifeCycleHandler> NullConnectionParameters::createCipherHandler(VpnStateTracker &) const
{
    return QSharedPointer<OpenVpnLifeCycleHandler>(new NullHandler);
}

QSharedPointer<OpenVpnLifeCycleHandler>
NullConnectionParameters::createTunManagerHandler(OsAbstraction &, QSharedPointer<ConnectionParameters>, IpPoolList &,
                                                  VpnFrontend &) const
{
    return QSharedPointer<OpenVpnLifeCycleHandler>(new NullHandler);
}

ConnectionParameters::STunnelMode NullConnectionParameters::getSTunnelMode() const
{
    return NO_STUNNEL;
}

BackendOpenVPNConfigCipher NullConnectionParameters::getCipher() const
{
    return BackendOpenVPNConfigCipher();
}

QStringList NullConnectionParameters::getHostNamesList() const
{
    return QStringList();
}

const TunnelType &NullConnectionParameters::getTunnelType() const
{
    return TunnelType::OPENVPN243();
}
