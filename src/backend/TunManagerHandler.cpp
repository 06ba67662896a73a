#include "backend/TunManagerHandler.h"

#include "backend/BackendLogging.h"
#include "core/ErrorMessage.h"
#include "core/IpPoolList.h"
#include "core/VpnFrontend.h"
#include "openvpn/PushedOptions.h"
#include "openvpn/Remote.h"
#include "prefs/Settings.h"
#include "system/OsAbstraction.h"

#include <QCoreApplication>
#include <QDebug>
#include <QThread>

const char *const TunManagerHandler::IPV6_GATEWAY = "FD00:1234::2";

namespace {
constexpr int INTERFACE_CHECKS = 120;
constexpr unsigned long INTERFACE_CHECK_PAUSE_MS = 250;
} // namespace

TunManagerHandler::TunManagerHandler(OsAbstraction &os, QSharedPointer<ConnectionParameters> parameters,
                                     IpPoolList &ipPools, UseFourSplittedDefaultRoute splitRouteMode,
                                     VpnFrontend &frontend)
    : m_os(os)
    , m_parameters(parameters)
    , m_ipPools(ipPools)
    , m_splitRouteMode(splitRouteMode)
    , m_preventIpv6Leak(Settings().preventIPv6Leak())
    , m_frontend(frontend)
    , m_interfaceCheckPauseMs(INTERFACE_CHECK_PAUSE_MS)
{
}

void TunManagerHandler::setInterfaceCheckPause(unsigned long milliseconds)
{
    m_interfaceCheckPauseMs = milliseconds;
}

void TunManagerHandler::onOpenVpnFailedToStart()
{
    remove4SplittedRoutes();
    releaseProtectedRemote();
}

void TunManagerHandler::onOpenVpnTerminated()
{
    remove4SplittedRoutes();
    releaseProtectedRemote();
    Settings settings;
    if (settings.armKillswitchAfterFirstConnection() && !m_connectedOnce)
        return;
    checkIKSInterfacesAreDisabled(settings);
}

void TunManagerHandler::onState(const OpenVpnGenericState &state)
{
    dispatch(state);
}

void TunManagerHandler::onRemote(Remote &remote)
{
    const QHostAddress address = m_ipPools.getIp();
    if (address.isNull()) {
        qCDebug(lcBackend) << "Could not resolve hostname";
        return;
    }
    releaseProtectedRemote();
    m_protectedRemote = address;
    m_os.protectHost(m_protectedRemote);
    remote.setHost(address.toString());
}

void TunManagerHandler::onUp(const PushedOptions &options)
{
    renewSplitRoutes(options);
}

void TunManagerHandler::onDown(const PushedOptions &options)
{
    renewSplitRoutes(options);
}

void TunManagerHandler::on(const OpenVpnStateConnected &)
{
    m_connectedOnce = true;
    remove4SplittedRoutes();
    add4SplittedRouteIfNecessary();
}

void TunManagerHandler::on(const OpenVpnStateReconnecting &)
{
    remove4SplittedRoutes();
}

void TunManagerHandler::renewSplitRoutes(const PushedOptions &options)
{
    m_vpnGateway = options.getRouteVPNGateway();
    remove4SplittedRoutes();
    add4SplittedRouteIfNecessary();
}

void TunManagerHandler::remove4SplittedRoutes()
{
    if (m_splitRouteMode != USE_SPLIT_ROUTES)
        return;
    m_os.remove4SplittedRoutes();
    if (m_preventIpv6Leak)
        m_os.removeSplittedIPv6Routes();
}

void TunManagerHandler::add4SplittedRouteIfNecessary()
{
    if (m_splitRouteMode != USE_SPLIT_ROUTES)
        return;
    if (m_vpnGateway.isNull()) {
        // Routes towards no gateway would send all traffic nowhere, or fail
        // half-way; the engine's own routes stay in charge.
        qCWarning(lcBackend) << "TunManagerHandler: no VPN gateway pushed, split routes not added";
        if (!m_missingGatewayReported) {
            m_missingGatewayReported = true;
            m_frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(
                m_parameters, QStringLiteral("The VPN server did not name a gateway for the tunnel's routes."),
                QStringLiteral("Traffic is routed as the VPN server configured it.")));
        }
        return;
    }
    m_os.add4SplittedRoutesToGateway(m_vpnGateway);
    if (m_preventIpv6Leak)
        m_os.addSplittedIPv6RoutesToGateway(QHostAddress(QLatin1String(IPV6_GATEWAY)));
}

void TunManagerHandler::releaseProtectedRemote()
{
    if (m_protectedRemote.isNull())
        return;
    m_os.releaseHost(m_protectedRemote);
    // A later termination event must not remove a route someone else added since.
    m_protectedRemote = QHostAddress();
}

void TunManagerHandler::checkIKSInterfacesAreDisabled(Settings &settings)
{
    if (!settings.internetKillSwitch())
        return;
    const QStringList services = settings.internetKillSwitchDisabledInterfaces();
    qCDebug(lcBackend) << "Waiting while disabling interfaces...";
    for (int check = 0; check < INTERFACE_CHECKS && !m_os.areInterfacesDisabled(services); ++check) {
        QThread::msleep(m_interfaceCheckPauseMs);
        QCoreApplication::processEvents();
    }
    if (m_os.areInterfacesDisabled(services)) {
        qCDebug(lcBackend) << "Interfaces disabled.";
        return;
    }
    qCDebug(lcBackend) << "Some interface is still enabled....";
    m_frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(
        m_parameters, QStringLiteral("One or more interfaces could not be disabled properly."),
        QStringLiteral("Please disable them manually.")));
}
