#pragma once

#include "catalogue/ConnectionParameters.h"

// Stands for no connection: the backend's state before any attempt, the
// global black-hole routes and the OpenConnect command channel's idle state.
class NullConnectionParameters : public ConnectionParameters
{
public:
    NullConnectionParameters() = default;

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

private:
    const Settings::IksSettings m_iksSettings = Settings::IksSettings::NOOP;
    const bool m_manageRouteProgramCheck = false;
    const bool m_tunTapDriverCheck = false;
};
