#include "backend/VpnStartupImpl.h"

#include "backend/AbortedVpnProcess.h"
#include "backend/AppKillSwitchHandler.h"
#include "backend/BackendLogging.h"
#include "backend/BindIpv6Handler.h"
#include "backend/ConnectionTimerHandler.h"
#include "backend/CredentialsHandler.h"
#include "backend/DedicatedIpHandler.h"
#include "backend/DnsHandler.h"
#include "backend/FailureCauseHandler.h"
#include "backend/FireWallWarningHandler.h"
#include "backend/InternetKillSwitchHandler.h"
#include "backend/IpPoolHandler.h"
#include "backend/LegacySignalsHandler.h"
#include "backend/LifeCycleClientHandler.h"
#include "backend/LocalDnsJsonRefreshHandler.h"
#include "backend/NullTunnelHandler.h"
#include "backend/PinnedIPHandler.h"
#include "backend/StartedVpnProcess.h"
#include "backend/StartupIpPools.h"
#include "backend/VpnBackend.h"
#include "backend/WhatIsMyIpHandler.h"
#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "core/HandlerList.h"
#include "core/IpPoolList.h"
#include "core/VpnConnectionState.h"
#include "core/VpnFrontend.h"
#include "core/VpnStartupResult.h"
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

VpnStartupImpl::VpnStartupImpl(Settings &settings, QSharedPointer<ConnectionParameters> parameters,
                               QNetworkAccessManager *networkAccessManager, VpnFrontend &frontend,
                               VpnStateTracker &stateTracker, OsAbstraction &os, DnsStack &dnsStack,
                               HandlerList &handlers, IpPoolList &ipPools, AbstractManagementSocket &managementSocket,
                               QSharedPointer<OpenVpnLifeCycleHandler> additionalHandler, unsigned long pauseMs)
    : VpnStartup(parameters)
    , m_settings(settings)
    , m_networkAccessManager(networkAccessManager)
    , m_frontend(frontend)
    , m_stateTracker(stateTracker)
    , m_os(os)
    , m_dnsStack(dnsStack)
    , m_handlers(handlers)
    , m_ipPools(ipPools)
    , m_managementSocket(managementSocket)
    , m_additionalHandler(std::move(additionalHandler))
    , m_waits(settings, frontend, os, parameters, m_abortRequested, m_skipRequested, pauseMs)
{
}

QSharedPointer<VpnProcess> VpnStartupImpl::startVPN(Credentials credentials,
                                                    BlackHoleRouteManager &blackHoleRouteManager,
                                                    VpnConnectionState &connectionState,
                                                    LifeCycleClient &lifeCycleClient, WebConfigSource &webConfigSource,
                                                    WhatIsMyIp &whatIsMyIp, VpnBackend &backend)
{
    m_abortRequested = false;
    m_skipRequested = false;
    reportProgress(VpnStartupProgress::INIT_CONNECTION, VpnStartupProgress::INITIAL);
    connectionState.clear();

    reportProgress(VpnStartupProgress::PRELIMINARY_CHECKS, VpnStartupProgress::RUNNING);
    const unsigned char flags = preliminaryCheckFlags();
    if (flags != 0) {
        reportProgress(VpnStartupProgress::PRELIMINARY_CHECKS, VpnStartupProgress::FAILED);
        return QSharedPointer<VpnProcess>(
            new AbortedVpnProcess(VpnStartupResult(m_parameters, VpnStartupResult::PRELIMINARY_CHECKS_FAILED,
                                                   QStringLiteral("Preliminary checks failed!"), flags)));
    }
    reportProgress(VpnStartupProgress::PRELIMINARY_CHECKS, VpnStartupProgress::SUCCESS);

    const QSharedPointer<BlackHoleRoute> blackHoleRoute =
        blackHoleRouteManager.getBlackHoleRoutes(m_settings, m_parameters);

    if (!m_settings.internetKillSwitchDisabledInterfaces().isEmpty()) {
        switch (m_parameters->getIksSettings()) {
        case Settings::ENABLE:
            if (!m_waits.activateInternetKillSwitchDisabledInterfaces())
                return abortConnection();
            break;
        case Settings::NOOP: break;
        default: qCWarning(lcBackend) << "Warning: unexpected Settings::IksSettings"; break;
        }
    }
    if (!m_waits.checkDefaultRoute())
        return abortConnection();
    if (m_settings.getLookupHostnameBeforeConnecting() && !m_waits.lookupHostnameBeforeConnecting())
        return abortConnection();

    const QString preparing = m_parameters->getVpnPreparingString();
    reportProgress(preparing, VpnStartupProgress::RUNNING);
    m_handlers.list.clear();
    m_ipPools.clear();
    addHandlers(credentials, connectionState, lifeCycleClient, webConfigSource, whatIsMyIp);
    reportProgress(preparing, VpnStartupProgress::SUCCESS);

    if (m_networkAccessManager)
        m_networkAccessManager->clearAccessCache();
    if (m_settings.executeBeforeConnectScript()) {
        FireAndForgetProcess::execute(QStringLiteral("Before Connect Script"), m_settings.externalProcessTimeout(),
                                      m_settings.pathToBeforeConnectScript(), backend.getErrorSender());
    }
    QCoreApplication::processEvents();
    if (m_abortRequested)
        return abortConnection();

    m_os.beforeEngineStart();
    const QString starting = m_parameters->getVpnStartingString();
    reportProgress(starting, VpnStartupProgress::RUNNING);
    m_managementSocket.startVPN(m_parameters);
    reportProgress(starting, VpnStartupProgress::SUCCESS);
    return QSharedPointer<VpnProcess>(new StartedVpnProcess(
        VpnStartupResult(m_parameters, VpnStartupResult::STARTED, QStringLiteral("VPN started"), 0), m_managementSocket,
        blackHoleRoute));
}

bool VpnStartupImpl::checkRoutingTableManageProgrammExecution() const
{
    return !m_settings.seamlessReconnect() || m_os.canRunRouteProgram();
}

void VpnStartupImpl::reportProgress(const QString &key, VpnStartupProgress::ProgressState state) const
{
    m_frontend.onVpnStartupProgress(VpnStartupProgress(m_parameters, key, state));
}

// All three checks always run, so the user learns of every problem at once.
unsigned char VpnStartupImpl::preliminaryCheckFlags() const
{
    unsigned char flags = 0;
    if (m_parameters->getManageRouteProgramCheck() && !checkRoutingTableManageProgrammExecution())
        flags |= VpnStartupResult::ROUTING_TABLE_MANAGER_PROGRAM_CHECK_FAILED;
    if (!m_settings.internetKillSwitchDisabledInterfaces().isEmpty() && m_parameters->getIksSettings() == Settings::ASK)
        flags |= VpnStartupResult::IKS_SETTINGS_ASK;
    if (m_parameters->getTunTapDriverCheck() && m_os.hasTunTapProblem())
        flags |= VpnStartupResult::TUNTAP_PROBLEM_DETECTED;
    return flags;
}

QSharedPointer<VpnProcess> VpnStartupImpl::abortConnection()
{
    if (m_waits.areKillSwitchInterfacesActivated())
        m_waits.disableInternetKillSwitchInterfaces();
    m_ipPools.clear();
    return QSharedPointer<VpnProcess>(new AbortedVpnProcess(
        VpnStartupResult(m_parameters, VpnStartupResult::ABORTED, QStringLiteral("Aborted by the user."), 0)));
}

void VpnStartupImpl::addHandlers(Credentials &credentials, VpnConnectionState &connectionState,
                                 LifeCycleClient &lifeCycleClient, WebConfigSource &webConfigSource,
                                 WhatIsMyIp &whatIsMyIp)
{
    using Handler = QSharedPointer<OpenVpnLifeCycleHandler>;
    QList<Handler> &list = m_handlers.list;
    list.append(Handler(new IpPoolHandler(m_ipPools)));
    list.append(Handler(new CredentialsHandler(m_frontend, m_managementSocket, m_parameters, credentials.userName,
                                               credentials.password)));
    credentials = Credentials();
    list.append(Handler(new LifeCycleClientHandler(lifeCycleClient)));
    m_os.addSigTermHandler(m_handlers);
    list.append(m_parameters->createCipherHandler(m_stateTracker));
    list.append(Handler(new BindIpv6Handler(m_os)));
    list.append(Handler(new DnsHandler(m_os, m_dnsStack, m_settings.blockOutsideDns())));
    list.append(Handler(new PinnedIPHandler(m_ipPools)));
    if (!m_parameters->getServerSite().getDedicatedIp().isNull())
        list.append(Handler(new DedicatedIpHandler(m_ipPools)));
    if (m_settings.internetKillSwitch())
        list.append(Handler(new InternetKillSwitchHandler(m_os, m_managementSocket)));
    if (m_settings.terminateProcessesOnDisconnect())
        list.append(Handler(new AppKillSwitchHandler));
    list.append(Handler(new FireWallWarningHandler(m_frontend, m_parameters)));
    list.append(m_parameters->createTunManagerHandler(m_os, m_parameters, m_ipPools, m_frontend));
    list.append(Handler(new ConnectionTimerHandler(connectionState)));
    list.append(Handler(new WhatIsMyIpHandler(m_stateTracker, whatIsMyIp)));
    // Before the tunnel handler, which publishes the states.
    list.append(Handler(new FailureCauseHandler(m_stateTracker, m_frontend, m_managementSocket, m_parameters)));
    addTunnelHandler(m_parameters->getSTunnelMode());
    m_parameters->setUpHandler(m_os, m_handlers, m_parameters, m_frontend);
    if (m_settings.getRefreshDNSCache())
        list.append(Handler(new LocalDnsJsonRefreshHandler));
    StartupIpPools::fillIpPoolList(m_ipPools, *m_parameters, m_settings.getRefreshDNSCache());
    list.append(Handler(new LegacySignalsHandler(m_frontend, m_os, m_networkAccessManager, lifeCycleClient,
                                                 webConfigSource, m_parameters)));
    list.append(m_additionalHandler);
}

void VpnStartupImpl::addTunnelHandler(ConnectionParameters::STunnelMode mode)
{
    switch (mode) {
    case ConnectionParameters::WITH_STUNNEL:
        m_handlers.list.append(QSharedPointer<OpenVpnLifeCycleHandler>(new STunnelHandler(
            m_os, m_parameters, m_ipPools, m_parameters->getCipher().getStunnelPort(), m_frontend, m_stateTracker)));
        return;
    case ConnectionParameters::NO_STUNNEL:
        m_handlers.list.append(QSharedPointer<OpenVpnLifeCycleHandler>(new NullTunnelHandler(m_stateTracker)));
        return;
    }
    qCWarning(lcBackend) << "Error: unknown stunnel option.";
}
