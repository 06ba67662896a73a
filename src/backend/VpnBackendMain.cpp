#include "backend/VpnBackendMain.h"

#include "BuildConfig.h"
#include "backend/BackendLogging.h"
#include "backend/StartingVpnProcess.h"
#include "catalogue/DnsJson.h"
#include "catalogue/LocalConfigSource.h"
#include "catalogue/NullConnectionParameters.h"
#include "catalogue/WebConfigSource.h"
#include "core/ErrorMessage.h"
#include "core/NullVpnProcess.h"
#include "core/VpnFrontend.h"
#include "core/VpnStartup.h"
#include "core/VpnStartupResult.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"
#include "system/BlackHoleRouteManager.h"
#include "system/DnsStack.h"
#include "system/DnsStages.h"
#include "system/OsAbstraction.h"
#include "websvc/LifeCycleClient.h"
#include "websvc/ReplyHandler.h"
#include "websvc/WhatIsMyIp.h"

#include <QDebug>
#include <QSslSocket>

VpnBackendMain::VpnBackendMain(OsAbstraction &os, DnsStack &dnsStack, VpnFrontend &frontend,
                               QNetworkAccessManager *networkAccessManager,
                               BlackHoleRouteManager &blackHoleRouteManager, LifeCycleClient &lifeCycleClient,
                               WebConfigSource &webConfigSource, WhatIsMyIp &whatIsMyIp)
    : m_os(os)
    , m_dnsStack(dnsStack)
    , m_frontend(frontend)
    , m_networkAccessManager(networkAccessManager)
    , m_blackHoleRouteManager(blackHoleRouteManager)
    , m_currentProcess(new NullVpnProcess)
    , m_managementSocket(os, m_handlers)
    , m_openConnectSocket(os, frontend, m_handlers)
    , m_extraHandlers(new HandlerList)
    , m_lifeCycleClient(lifeCycleClient)
    , m_webConfigSource(webConfigSource)
    , m_whatIsMyIp(whatIsMyIp)
    , m_connectionParameters(new NullConnectionParameters)
    , m_connectionState(m_connectionParameters)
{
}

VpnBackendMain::~VpnBackendMain()
{
    if (!m_initialised)
        return;
    deInitializeDnsStack();
    saveUserStatisticsToSettings();
}

void VpnBackendMain::init(QSharedPointer<OpenVpnLifeCycleHandler> extraHandler, bool recoverDnsStack)
{
    m_initialised = true;
    printApplicationLabel();
    qCDebug(lcBackend) << "OpenSSL version (build)" << QSslSocket::sslLibraryBuildVersionString();
    qCDebug(lcBackend) << "OpenSSL version (runtime)" << QSslSocket::sslLibraryVersionString();
    Settings settings;
    settings.migrate(m_os);
    activateSigTermHandler();
    initializeUserStaticsFromSettings();
    addExtraHandler(extraHandler);

    connect(&m_managementSocket, &ManagementSocket::onOpenVpnTerminated, this, &VpnBackendMain::onVpnProcessTerminated);
    connect(&m_openConnectSocket, &OpenConnectManagementSocket::onOpenConnectTerminated, this,
            &VpnBackendMain::onVpnProcessTerminated);
    connect(&m_os, &OsAbstraction::errorMessage, this, &VpnBackendMain::sendErrorMessageToFrontend);
    connect(&m_webConfigSource, &WebConfigSource::newConfigWasDownloaded, this,
            &VpnBackendMain::onNewConfigWasDownloaded);
    connect(&m_webConfigSource, &WebConfigSource::errorMessage, this, &VpnBackendMain::sendErrorMessageToFrontend);

    m_webConfigSource.checkForUpdate();
    // Recovery comes before the start stage, so that stage saves the
    // recovered name servers; the global black holes come before the
    // configuration is loaded.
    if (recoverDnsStack)
        recoverDnsStackFromCrash(settings);
    if (settings.shouldBlockInternetWhenNotConnected())
        m_blackHoleRouteManager.enableGlobalBlackHoleRoutes(settings.preventIPv6Leak());
    executeLocalConfig();
    enableIPv6onAllInterfaces();
    initializeDnsStack(settings);
}

void VpnBackendMain::addExtraHandler(QSharedPointer<OpenVpnLifeCycleHandler> handler)
{
    m_extraHandlers->list.append(handler);
}

std::function<void(QString, QString)> VpnBackendMain::getErrorSender()
{
    return [this](QString message, QString informativeText) {
        sendErrorMessageToFrontend(std::move(message), std::move(informativeText));
    };
}

void VpnBackendMain::sendErrorMessageToFrontend(QString message, QString informativeText)
{
    m_frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(m_connectionParameters, message, informativeText));
}

void VpnBackendMain::startVPN(QSharedPointer<ConnectionParameters> parameters, QString userName, QString password)
{
    if (!m_currentProcess->isStopped())
        return;
    if (isEngineRunEnding()) {
        refuseStartWhileTheLastRunEnds(parameters);
        return;
    }
    m_currentProcess.reset(new StartingVpnProcess);
    if (ReplyHandler *request = m_lifeCycleClient.getPendingVersionRequest())
        request->abort();
    m_connectionParameters = parameters;
    m_connectionState = VpnConnectionState(parameters);

    Settings settings;
    QSharedPointer<VpnStartup> startup =
        parameters->createVpnStartup(settings, parameters, m_networkAccessManager, m_frontend, *this, m_os, m_dnsStack,
                                     m_handlers, m_ipPools, m_managementSocket, m_openConnectSocket, m_extraHandlers);
    connect(this, &VpnBackendMain::onSkip, startup.data(), &VpnStartup::onCurrentOperationSkipped);
    connect(this, &VpnBackendMain::onAbort, startup.data(), &VpnStartup::onStartVPNAborted);
    m_currentProcess = startup->startVPN(Credentials {userName, password}, m_blackHoleRouteManager, m_connectionState,
                                         m_lifeCycleClient, m_webConfigSource, m_whatIsMyIp, *this);
    startup.reset();
    m_currentProcess->sendResultTo(m_frontend);
}

bool VpnBackendMain::isEngineRunEnding() const
{
    return m_managementSocket.isTerminationPending() || m_openConnectSocket.isTerminationPending();
}

// Told as an aborted start-up, so that a frontend waiting for this start's
// result returns to where a new one can be asked for.
void VpnBackendMain::refuseStartWhileTheLastRunEnds(QSharedPointer<ConnectionParameters> parameters)
{
    qCDebug(lcBackend) << "VpnBackend: start refused, the last engine run is still ending";
    m_frontend.onVpnStartupResult(VpnStartupResult(parameters, VpnStartupResult::ABORTED,
                                                   QStringLiteral("The previous connection is still ending."), 0));
}

void VpnBackendMain::skip()
{
    emit onSkip();
}

void VpnBackendMain::abort()
{
    emit onAbort();
    m_currentProcess->stop();
}

void VpnBackendMain::login(const QString &userName, const QString &password)
{
    m_currentProcess->sendUserNamePassword(userName, password);
}

void VpnBackendMain::stopVPN()
{
    m_currentProcess->stop();
}

void VpnBackendMain::setSystemNameServers(DnsListEntry nameServers)
{
    Settings settings;
    m_dnsStack.setSystemNameServers(settings, nameServers);
}

void VpnBackendMain::closeEvent(quint64 eventId)
{
    m_frontend.onEventClosed(eventId);
}

void VpnBackendMain::refreshPublicIp()
{
    m_whatIsMyIp.queryMyIp();
}

void VpnBackendMain::updateState(const QString &state, const QString &cause, const QString &localIp,
                                 const QString &remoteIp)
{
    m_connectionState.updateState(state, cause, localIp, remoteIp);
    sendUpdatedState();
}

void VpnBackendMain::tlsCipherChanged(bool isPfs, const QString &tlsVersion, const QString &cipherInfo)
{
    m_connectionState.tlsCipherChanged(isPfs, tlsVersion, cipherInfo);
    sendUpdatedState();
}

void VpnBackendMain::updateFailure(const ConnectionFailure &failure)
{
    m_connectionState.updateFailure(failure);
    sendUpdatedState();
}

void VpnBackendMain::clearDetectedPublicIp()
{
    m_connectionState.clearDetectedPublicIp();
}

void VpnBackendMain::updatedDetectedPublicIp(VpnConnectionState::PublicIpDetectionState detectionState,
                                             QHostAddress address, int detectionCycle)
{
    m_connectionState.updatedDetectedPublicIp(detectionState, address, detectionCycle);
    sendUpdatedState();
}

void VpnBackendMain::sendUpdatedState()
{
    m_currentProcess->sendUpdatedStateTo(m_frontend, m_connectionState);
}

void VpnBackendMain::onVpnProcessTerminated()
{
    // A start in progress, or an engine that still runs, belongs to a newer
    // run than the one whose end is reported: it must not be dropped.
    if (!m_currentProcess->isStopped()) {
        qCDebug(lcBackend) << "VpnProcess terminated: report of an earlier run ignored";
        return;
    }
    qCDebug(lcBackend) << "VpnProcess terminated";
    m_currentProcess.reset(new NullVpnProcess);
}

void VpnBackendMain::onNewConfigWasDownloaded()
{
    DnsJson::purgeDNSCacheIfNecessary();
    m_frontend.onNewConfigWasDownloaded();
}

void VpnBackendMain::printApplicationLabel() const
{
    qCDebug(lcBackend) << "VpnBackend " << BuildConfig::applicationVersion;
}

void VpnBackendMain::activateSigTermHandler()
{
    m_os.installSigTermHandler();
}

void VpnBackendMain::initializeUserStaticsFromSettings()
{
    UserStatistics::initUserStatistics();
}

void VpnBackendMain::recoverDnsStackFromCrash(Settings &settings)
{
    const QStringList names = settings.getDnsStackNames();
    if (names.isEmpty()) {
        qCDebug(lcBackend) << "DnsStack state is clean!";
        return;
    }
    qCDebug(lcBackend) << "Recoverying the DnsStack: " << names.join(", ");
    m_dnsStack.setStack(names);
    m_dnsStack.popAll();
}

void VpnBackendMain::executeLocalConfig()
{
    LocalConfigSource().execute();
}

void VpnBackendMain::enableIPv6onAllInterfaces()
{
    m_os.unbindIpv6();
}

void VpnBackendMain::initializeDnsStack(Settings &settings)
{
    m_dnsStack.push(DnsStack::start, DnsStages::getStartupDns(settings));
}

void VpnBackendMain::deInitializeDnsStack()
{
    m_dnsStack.popTo(DnsStack::start);
}

void VpnBackendMain::saveUserStatisticsToSettings()
{
    UserStatistics::getUserStatistics().saveUserStatistics();
}
