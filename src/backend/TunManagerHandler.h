#pragma once
#include "core/NullHandler.h"
#include "core/OpenVpnStateNullHandler.h"

#include <QHostAddress>
#include <QObject>
#include <QSharedPointer>

class ConnectionParameters;
class IpPoolList;
class OsAbstraction;
class Settings;
class VpnFrontend;

// The routing around the tunnel of one attempt: the server address of each
// remote query with its host route outside the tunnel, the four split
// default routes towards the pushed gateway, and after the engine ended the
// check that the kill switch's interfaces went down.
class TunManagerHandler : public QObject, public NullHandler, public OpenVpnStateNullHandler
{
    Q_OBJECT

public:
    enum UseFourSplittedDefaultRoute : qint32 { USE_SPLIT_ROUTES = 0, NO_SPLIT_ROUTES = 1 };

    // The fixed gateway of the IPv6 split routes.
    static const char *const IPV6_GATEWAY;

    TunManagerHandler(OsAbstraction &os, QSharedPointer<ConnectionParameters> parameters, IpPoolList &ipPools,
                      UseFourSplittedDefaultRoute splitRouteMode, VpnFrontend &frontend);

    void onOpenVpnFailedToStart() override;
    void onOpenVpnTerminated() override;
    void onState(const OpenVpnGenericState &state) override;
    void onRemote(Remote &remote) override;
    void onUp(const PushedOptions &options) override;
    void onDown(const PushedOptions &options) override;

    // The pause between two kill-switch interface checks (250 ms).
    void setInterfaceCheckPause(unsigned long milliseconds);

    void add4SplittedRouteIfNecessary();
    void checkIKSInterfacesAreDisabled(Settings &settings);

protected:
    using OpenVpnStateNullHandler::on;
    void on(const OpenVpnStateConnected &state) override;
    void on(const OpenVpnStateReconnecting &state) override;

private:
    void remove4SplittedRoutes();
    void releaseProtectedRemote();
    void renewSplitRoutes(const PushedOptions &options);

    OsAbstraction &m_os;
    QSharedPointer<ConnectionParameters> m_parameters;
    IpPoolList &m_ipPools;
    UseFourSplittedDefaultRoute m_splitRouteMode;
    QHostAddress m_protectedRemote;
    QHostAddress m_vpnGateway;
    bool m_preventIpv6Leak;
    bool m_connectedOnce = false;
    // The user hears once per attempt that the split routes had no gateway.
    bool m_missingGatewayReported = false;
    VpnFrontend &m_frontend;
    unsigned long m_interfaceCheckPauseMs;
};
