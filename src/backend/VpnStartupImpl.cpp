#include "backend/VpnStartupImpl.h"

#include "backend/AbortedVpnProcess.h"
#include "backend/AppKillSwitchHandler.h"
#include "backend/BindIpv6Handler.h"
#include "backend/ConnectionTimerHandler.h"
#include "backend/CredentialsHandler.h"
#include "backend/DedicatedIpHandler.h"
#include "backend/DnsHandler.h"
#include "backend/FireWallWarningHandler.h"
#include "backend/HandlerList.h"
#include "backend/InternetKillSwitchHandler.h"
#include "backend/IpPoolHandler.h"
#include "backend/IpPoolList.h"
#include "backend/LegacySignalsHandler.h"
#include "backend/LifeCycleClientHandler.h"
#include "backend/LocalDnsJsonRefreshHandler.h"
#include "backend/NullTunnelHandler.h"
#include "backend/PinnedIPHandler.h"
#include "backend/StartedVpnProcess.h"
#include "backend/StartupIpPools.h"
#include "backend/VpnBackend.h"
#include "backend/VpnConnectionState.h"
#include "backend/VpnFrontend.h"
#include "backend/VpnStartupResult.h"
#include "backend/WhatIsMyIpHandler.h"
#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "openvpn/AbstractManagementSocket.h"
#include "openvpn/STunnelHandler.h"
#include "prefs/Settings.h"
#include "system/BlackHoleRoute.h"
#include "system/BlackHoleRouteManager.h"
#include "system/FireAndForgetProcess.h"
#include "system/OsAbstraction.h"

#include <QCoreApplication>
#include <QDebug>
#include <QNetworkAccessManager>

VpnStartupImpl::VpnStartupImpl(Settings& settings, QSharedPointer<ConnectionParameters> parameters,
                               QNetworkAccessManager* networkAccessManager, VpnFrontend& frontend,
                               VpnStateTracker& stateTracker, OsAbstraction& os, DnsStack& dnsStack,
                               HandlerList& handlers, IpPoolList& ipPools, AbstractManagementSocket& managementSocket,
                               QSharedPointer<OpenVpnLifeCycleHandler> additionalHandler, unsigned long pauseMs)
    : VpnStartup(parameters)
    , settings(settings)
    , networkAccessManager(networkAccessManager)
    , frontend(frontend)
    , stateTracker(stateTracker)
    , os(os)
    , dnsStack(dnsStack)
    , handlers(handlers)
    , ipPools(ipPools)
    , managementSocket(managementSocket)
    , additionalHandler(std::move(additionalHandler))
    , waits(settings, frontend, os, parameters, abortRequested, skipRequested, pauseMs)
{
}

QSharedPointer<VpnProcess> VpnStartupImpl::startVPN(Credentials credentials,
                                                    BlackHoleRouteManager& blackHoleRouteManager,
                                                    VpnConnectionState& connectionState,
                                                    LifeCycleClient& lifeCycleClient,
                                                    WebConfigSource& webConfigSource, WhatIsMyIp& whatIsMyIp,
                                                    VpnBackend& backend)
{
    abortRequested = false;
    skipRequested = false;
    reportProgress(VpnStartupProgress::INIT_CONNECTION, VpnStartupProgress::INITIAL);
    connectionState.clear();

    reportProgress(VpnStartupProgress::PRELIMINARY_CHECKS, VpnStartupProgress::RUNNING);
    const unsigned char flags = preliminaryCheckFlags();
    if (flags != 0) {
        reportProgress(VpnStartupProgress::PRELIMINARY_CHECKS, VpnStartupProgress::FAILED);
        return QSharedPointer<VpnProcess>(new AbortedVpnProcess(VpnStartupResult(
            parameters, VpnStartupResult::PRELIMINARY_CHECKS_FAILED, QStringLiteral("Preliminary checks failed!"),
            flags)));
    }
    reportProgress(VpnStartupProgress::PRELIMINARY_CHECKS, VpnStartupProgress::SUCCESS);

    const QSharedPointer<BlackHoleRoute> blackHoleRoute =
        blackHoleRouteManager.getBlackHoleRoutes(settings, parameters);

    if (!settings.internetKillSwitchDisabledInterfaces().isEmpty()) {
        switch (parameters->getIksSettings()) {
        case Settings::ENABLE:
            if (!waits.activateInternetKillSwitchDisabledInterfaces())
                return abortConnection();
            break;
        case Settings::NOOP:
            break;
        default:
            qWarning() << "Warning: unexpected Settings::IksSettings";
            break;
        }
    }
    if (!waits.checkDefaultRoute())
        return abortConnection();
    if (settings.getLookupHostnameBeforeConnecting() && !waits.lookupHostnameBeforeConnecting())
        return abortConnection();

    const QString preparing = parameters->getVpnPreparingString();
    reportProgress(preparing, VpnStartupProgress::RUNNING);
    handlers.list.clear();
    ipPools.clear();
    addHandlers(credentials, connectionState, lifeCycleClient, webConfigSource, whatIsMyIp);
    reportProgress(preparing, VpnStartupProgress::SUCCESS);

    if (networkAccessManager)
        networkAccessManager->clearAccessCache();
    if (settings.executeBeforeConnectScript()) {
        FireAndForgetProcess::execute(QStringLiteral("Before Connect Script"), settings.externalProcessTimeout(),
                                      settings.pathToBeforeConnectScript(), backend.getErrorSender());
    }
    QCoreApplication::processEvents();
    if (abortRequested)
        return abortConnection();

    os.beforeEngineStart();
    const QString starting = parameters->getVpnStartingString();
    reportProgress(starting, VpnStartupProgress::RUNNING);
    managementSocket.startVPN(parameters);
    reportProgress(starting, VpnStartupProgress::SUCCESS);
    return QSharedPointer<VpnProcess>(new StartedVpnProcess(
        VpnStartupResult(parameters, VpnStartupResult::STARTED, QStringLiteral("VPN started"), 0), managementSocket,
        blackHoleRoute));
}

bool VpnStartupImpl::checkRoutingTableManageProgrammExecution() const
{
    return !settings.seamlessReconnect() || os.canRunRouteProgram();
}

void VpnStartupImpl::reportProgress(const QString& key, VpnStartupProgress::ProgressState state) const
{
    frontend.onVpnStartupProgress(VpnStartupProgress(parameters, key, state));
}

// All three checks always run, so the user learns of every problem at once.
unsigned char VpnStartupImpl::preliminaryCheckFlags() const
{
    unsigned char flags = 0;
    if (parameters->getManageRouteProgramCheck() && !checkRoutingTableManageProgrammExecution())
        flags |= VpnStartupResult::ROUTING_TABLE_MANAGER_PROGRAM_CHECK_FAILED;
    if (!settings.internetKillSwitchDisabledInterfaces().isEmpty() && parameters->getIksSettings() == Settings::ASK)
        flags |= VpnStartupResult::IKS_SETTINGS_ASK;
    if (parameters->getTunTapDriverCheck() && os.hasTunTapProblem())
        flags |= VpnStartupResult::TUNTAP_PROBLEM_DETECTED;
    return flags;
}

QSharedPointer<VpnProcess> VpnStartupImpl::abortConnection()
{
    if (waits.areKillSwitchInterfacesActivated())
        waits.disableInternetKillSwitchInterfaces();
    ipPools.clear();
    return QSharedPointer<VpnProcess>(new AbortedVpnProcess(
        VpnStartupResult(parameters, VpnStartupResult::ABORTED, QStringLiteral("Aborted by the user."), 0)));
}

void VpnStartupImpl::addHandlers(Credentials& credentials, VpnConnectionState& connectionState,
                                 LifeCycleClient& lifeCycleClient, WebConfigSource& webConfigSource,
                                 WhatIsMyIp& whatIsMyIp)
{
    using Handler = QSharedPointer<OpenVpnLifeCycleHandler>;
    QList<Handler>& list = handlers.list;
    list.append(Handler(new IpPoolHandler(ipPools)));
    list.append(Handler(new CredentialsHandler(frontend, managementSocket, parameters, credentials.userName,
                                               credentials.password)));
    credentials = Credentials();
    list.append(Handler(new LifeCycleClientHandler(lifeCycleClient)));
    os.addSigTermHandler(handlers);
    list.append(parameters->createCipherHandler(stateTracker));
    list.append(Handler(new BindIpv6Handler(os)));
    list.append(Handler(new DnsHandler(os, dnsStack, settings.blockOutsideDns())));
    list.append(Handler(new PinnedIPHandler(ipPools)));
    if (!parameters->getServerSite().getDedicatedIp().isNull())
        list.append(Handler(new DedicatedIpHandler(ipPools)));
    if (settings.internetKillSwitch())
        list.append(Handler(new InternetKillSwitchHandler(os, managementSocket)));
    if (settings.terminateProcessesOnDisconnect())
        list.append(Handler(new AppKillSwitchHandler));
    list.append(Handler(new FireWallWarningHandler(frontend, parameters)));
    list.append(parameters->createTunManagerHandler(os, parameters, ipPools, frontend));
    list.append(Handler(new ConnectionTimerHandler(connectionState)));
    list.append(Handler(new WhatIsMyIpHandler(stateTracker, whatIsMyIp)));
    addTunnelHandler(parameters->getSTunnelMode());
    parameters->setUpHandler(os, handlers, parameters, frontend);
    if (settings.getRefreshDNSCache())
        list.append(Handler(new LocalDnsJsonRefreshHandler));
    StartupIpPools::fillIpPoolList(ipPools, *parameters, settings.getRefreshDNSCache());
    list.append(Handler(new LegacySignalsHandler(frontend, os, networkAccessManager, lifeCycleClient,
                                                 webConfigSource, parameters)));
    list.append(additionalHandler);
}

void VpnStartupImpl::addTunnelHandler(ConnectionParameters::STunnelMode mode)
{
    switch (mode) {
    case ConnectionParameters::WITH_STUNNEL:
        handlers.list.append(QSharedPointer<OpenVpnLifeCycleHandler>(new STunnelHandler(
            os, parameters, ipPools, parameters->getCipher().getStunnelPort(), frontend, stateTracker)));
        return;
    case ConnectionParameters::NO_STUNNEL:
        handlers.list.append(QSharedPointer<OpenVpnLifeCycleHandler>(new NullTunnelHandler(stateTracker)));
        return;
    }
    qWarning() << "Error: unknown stunnel option.";
}
