#pragma once
#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "catalogue/ConnectionParameters.h"

// Connection parameters that only describe themselves; enough for messages
// and the process states, which pass the parameters through untouched.
class FakeConnectionParameters : public ConnectionParameters
{
public:
    explicit FakeConnectionParameters(const QString &info = QStringLiteral("fake connection"))
        : m_info(info)
    {
    }

    Settings::IksSettings getIksSettings() const override { return Settings::ASK; }
    bool getManageRouteProgramCheck() const override { return true; }
    bool getTunTapDriverCheck() const override { return true; }
    QSharedPointer<ConnectionParameters> withIksSettings(Settings::IksSettings) override { return copy(); }
    QSharedPointer<ConnectionParameters> withManageRouteProgramCheck(bool) override { return copy(); }
    QSharedPointer<ConnectionParameters> withTunTapDriverCheck(bool) override { return copy(); }
    QFileInfo getConfigFile() const override { return QFileInfo(); }
    HalvorixServerSite getServerSite() const override { return HalvorixServerSite(); }
    HalvorixServerSite::Protocol getProtocol() const override { return HalvorixServerSite::UDP; }
    void setUpHandler(OsAbstraction &, HandlerList &, QSharedPointer<ConnectionParameters>,
                      VpnFrontend &) const override
    {
    }
    void refreshServerSite(Settings &) override {}
    QString getConnectionInfo() const override { return m_info; }
    QString getVpnPreparingString() const override { return QStringLiteral("PREPARE_GENERIC_VPN_ENVIRONMENT"); }
    QString getVpnStartingString() const override { return QStringLiteral("GENERIC_VPN_STARTING"); }
    QSharedPointer<VpnStartup> createVpnStartup(Settings &, QSharedPointer<ConnectionParameters>,
                                                QNetworkAccessManager *, VpnFrontend &, VpnStateTracker &,
                                                OsAbstraction &, DnsStack &, HandlerList &, IpPoolList &,
                                                ManagementSocket &, OpenConnectManagementSocket &,
                                                QSharedPointer<OpenVpnLifeCycleHandler>) const override
    {
        return QSharedPointer<VpnStartup>();
    }
    bool isCipherStealth() const override { return false; }
    QString getCipherName() const override { return QString(); }
    bool hasCipherAuthName() const override { return false; }
    QString getCipherAuthName() const override { return QString(); }
    QSharedPointer<OpenVpnLifeCycleHandler> createCipherHandler(VpnStateTracker &) const override
    {
        return QSharedPointer<OpenVpnLifeCycleHandler>();
    }
    QSharedPointer<OpenVpnLifeCycleHandler> createTunManagerHandler(OsAbstraction &,
                                                                    QSharedPointer<ConnectionParameters>, IpPoolList &,
                                                                    VpnFrontend &) const override
    {
        return QSharedPointer<OpenVpnLifeCycleHandler>();
    }
    STunnelMode getSTunnelMode() const override { return NO_STUNNEL; }
    BackendOpenVPNConfigCipher getCipher() const override { return BackendOpenVPNConfigCipher(); }
    QStringList getHostNamesList() const override { return QStringList(); }
    const TunnelType &getTunnelType() const override { return TunnelType::OPENVPN243(); }

private:
    QSharedPointer<ConnectionParameters> copy() const
    {
        return QSharedPointer<ConnectionParameters>(new FakeConnectionParameters(m_info));
    }

    QString m_info;
};
