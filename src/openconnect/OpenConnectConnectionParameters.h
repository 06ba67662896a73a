#pragma once

#include "catalogue/ConnectionParameters.h"

class OpenConnectConnectVia;

// One OpenConnect connection: the site, the transport and the start-up checks.
// Immutable; the with* operations return changed copies.
class OpenConnectConnectionParameters : public ConnectionParameters
{
public:
    // The TUN/TAP check comes before the route-program check.
    OpenConnectConnectionParameters(const HalvorixServerSite &site, const OpenConnectConnectVia &via,
                                    Settings::IksSettings iksSettings, bool tunTapDriverCheck,
                                    bool manageRouteProgramCheck);

    Settings::IksSettings getIksSettings() const override;
    bool getManageRouteProgramCheck() const override;
    bool getTunTapDriverCheck() const override;
    QSharedPointer<ConnectionParameters> withIksSettings(Settings::IksSettings iksSettings) override;
    QSharedPointer<ConnectionParameters> withManageRouteProgramCheck(bool check) override;
    QSharedPointer<ConnectionParameters> withTunTapDriverCheck(bool check) override;
    QFileInfo getConfigFile() const override;
    HalvorixServerSite getServerSite() const override;
    HalvorixServerSite::Protocol getProtocol() const override;
    void setUpHandler(OsAbstraction &os, HandlerList &handlers, QSharedPointer<ConnectionParameters> self,
                      VpnFrontend &frontend) const override;
    void refreshServerSite(Settings &settings) override;
    QString getConnectionInfo() const override;
    QString getVpnPreparingString() const override;
    QString getVpnStartingString() const override;
    QSharedPointer<VpnStartup>
    createVpnStartup(Settings &settings, QSharedPointer<ConnectionParameters> self,
                     QNetworkAccessManager *networkAccessManager, VpnFrontend &frontend, VpnStateTracker &stateTracker,
                     OsAbstraction &os, DnsStack &dnsStack, HandlerList &handlers, IpPoolList &ipPools,
                     ManagementSocket &managementSocket, OpenConnectManagementSocket &openConnectSocket,
                     QSharedPointer<OpenVpnLifeCycleHandler> additionalHandler) const override;
    bool isCipherStealth() const override;
    QString getCipherName() const override;
    bool hasCipherAuthName() const override;
    QString getCipherAuthName() const override;
    QSharedPointer<OpenVpnLifeCycleHandler> createCipherHandler(VpnStateTracker &stateTracker) const override;
    QSharedPointer<OpenVpnLifeCycleHandler> createTunManagerHandler(OsAbstraction &os,
                                                                    QSharedPointer<ConnectionParameters> self,
                                                                    IpPoolList &ipPools,
                                                                    VpnFrontend &frontend) const override;
    STunnelMode getSTunnelMode() const override;
    BackendOpenVPNConfigCipher getCipher() const override;
    QStringList getHostNamesList() const override;
    const TunnelType &getTunnelType() const override;

    const OpenConnectConnectVia &getConnectVia() const;
    // The engine has no proxy support: such a transport is refused at start.
    bool usesProxy() const;

private:
    HalvorixServerSite m_site;
    const OpenConnectConnectVia *m_via;
    Settings::IksSettings m_iksSettings;
    bool m_manageRouteProgramCheck;
    bool m_tunTapDriverCheck;
};
