#include "backend/VpnBackendMain.h"

#include "BuildConfig.h"
#include "backend/DnsStages.h"
#include "backend/ErrorMessage.h"
#include "backend/NullConnectionParameters.h"
#include "backend/NullVpnProcess.h"
#include "backend/StartingVpnProcess.h"
#include "backend/VpnFrontend.h"
#include "backend/VpnStartup.h"
#include "backend/VpnStartupResult.h"
#include "catalogue/DnsJson.h"
#include "catalogue/LocalConfigSource.h"
#include "catalogue/WebConfigSource.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"
#include "system/BlackHoleRouteManager.h"
#include "system/DnsStack.h"
#include "system/OsAbstraction.h"
#include "websvc/LifeCycleClient.h"
#include "websvc/ReplyHandler.h"
#include "websvc/WhatIsMyIp.h"

#include <QDebug>
#include <QSslSocket>

VpnBackendMain::VpnBackendMain(OsAbstraction& os, DnsStack& dnsStack, VpnFrontend& frontend,
                               QNetworkAccessManager* networkAccessManager,
                               BlackHoleRouteManager& blackHoleRouteManager, LifeCycleClient& lifeCycleClient,
                               WebConfigSource& webConfigSource, WhatIsMyIp& whatIsMyIp)
    : os(os)
    , dnsStack(dnsStack)
    , frontend(frontend)
    , networkAccessManager(networkAccessManager)
    , blackHoleRouteManager(blackHoleRouteManager)
    , currentProcess(new NullVpnProcess)
    , managementSocket(os, handlers)
    , openConnectSocket(os, frontend, handlers)
    , extraHandlers(new HandlerList)
    , lifeCycleClient(lifeCycleClient)
    , webConfigSource(webConfigSource)
    , whatIsMyIp(whatIsMyIp)
    , connectionParameters(new NullConnectionParameters)
    , connectionState(connectionParameters)
{
}

VpnBackendMain::~VpnBackendMain()
{
    if (!initialised)
        return;
    deInitializeDnsStack();
    saveUserStatisticsToSettings();
}

void VpnBackendMain::init(QSharedPointer<OpenVpnLifeCycleHandler> extraHandler, bool recoverDnsStack)
{
    initialised = true;
    printApplicationLabel();
    qDebug() << "OpenSSL version (build)" << QSslSocket::sslLibraryBuildVersionString();
    qDebug() << "OpenSSL version (runtime)" << QSslSocket::sslLibraryVersionString();
    Settings settings;
    settings.migrate(os);
    activateSigTermHandler();
    initializeUserStaticsFromSettings();
    addExtraHandler(extraHandler);

    connect(&managementSocket, &ManagementSocket::onOpenVpnTerminated, this, &VpnBackendMain::onVpnProcessTerminated);
    connect(&openConnectSocket, &OpenConnectManagementSocket::onOpenConnectTerminated, this,
            &VpnBackendMain::onVpnProcessTerminated);
    connect(&os, &OsAbstraction::errorMessage, this, &VpnBackendMain::sendErrorMessageToFrontend);
    connect(&webConfigSource, &WebConfigSource::newConfigWasDownloaded, this,
            &VpnBackendMain::onNewConfigWasDownloaded);
    connect(&webConfigSource, &WebConfigSource::errorMessage, this, &VpnBackendMain::sendErrorMessageToFrontend);

    webConfigSource.checkForUpdate();
    // Recovery comes before the start stage, so that stage saves the
    // recovered name servers; the global black holes come before the
    // configuration is loaded.
    if (recoverDnsStack)
        recoverDnsStackFromCrash(settings);
    if (settings.shouldBlockInternetWhenNotConnected())
        blackHoleRouteManager.enableGlobalBlackHoleRoutes(settings.preventIPv6Leak());
    executeLocalConfig();
    enableIPv6onAllInterfaces();
    initializeDnsStack(settings);
}

void VpnBackendMain::addExtraHandler(QSharedPointer<OpenVpnLifeCycleHandler> handler)
{
    extraHandlers->list.append(handler);
}

std::function<void(QString, QString)> VpnBackendMain::getErrorSender()
{
    return [this](QString message, QString informativeText) {
        sendErrorMessageToFrontend(std::move(message), std::move(informativeText));
    };
}

void VpnBackendMain::sendErrorMessageToFrontend(QString message, QString informativeText)
{
    frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(connectionParameters, message, informativeText));
}

void VpnBackendMain::startVPN(QSharedPointer<ConnectionParameters> parameters, QString userName, QString password)
{
    if (!currentProcess->isStopped())
        return;
    if (isEngineRunEnding()) {
        refuseStartWhileTheLastRunEnds(parameters);
        return;
    }
    currentProcess.reset(new StartingVpnProcess);
    if (ReplyHandler* request = lifeCycleClient.getPendingVersionRequest())
        request->abort();
    connectionParameters = parameters;
    connectionState = VpnConnectionState(parameters);

    Settings settings;
    QSharedPointer<VpnStartup> startup = parameters->createVpnStartup(
        settings, parameters, networkAccessManager, frontend, *this, os, dnsStack, handlers, ipPools,
        managementSocket, openConnectSocket, extraHandlers);
    connect(this, &VpnBackendMain::onSkip, startup.data(), &VpnStartup::onCurrentOperationSkipped);
    connect(this, &VpnBackendMain::onAbort, startup.data(), &VpnStartup::onStartVPNAborted);
    currentProcess = startup->startVPN(Credentials{userName, password}, blackHoleRouteManager, connectionState,
                                       lifeCycleClient, webConfigSource, whatIsMyIp, *this);
    startup.reset();
    currentProcess->sendResultTo(frontend);
}

bool VpnBackendMain::isEngineRunEnding() const
{
    return managementSocket.isTerminationPending() || openConnectSocket.isTerminationPending();
}

// Told as an aborted start-up, so that a frontend waiting for this start's
// result returns to where a new one can be asked for.
void VpnBackendMain::refuseStartWhileTheLastRunEnds(QSharedPointer<ConnectionParameters> parameters)
{
    qDebug() << "VpnBackend: start refused, the last engine run is still ending";
    frontend.onVpnStartupResult(VpnStartupResult(parameters, VpnStartupResult::ABORTED,
                                                 QStringLiteral("The previous connection is still ending."), 0));
}

void VpnBackendMain::skip()
{
    emit onSkip();
}

void VpnBackendMain::abort()
{
    emit onAbort();
    currentProcess->stop();
}

void VpnBackendMain::login(const QString& userName, const QString& password)
{
    currentProcess->sendUserNamePassword(userName, password);
}

void VpnBackendMain::stopVPN()
{
    currentProcess->stop();
}

void VpnBackendMain::setSystemNameServers(DnsListEntry nameServers)
{
    Settings settings;
    dnsStack.setSystemNameServers(settings, nameServers);
}

void VpnBackendMain::closeEvent(quint64 eventId)
{
    frontend.onEventClosed(eventId);
}

void VpnBackendMain::refreshPublicIp()
{
    whatIsMyIp.queryMyIp();
}

void VpnBackendMain::updateState(const QString& state, const QString& cause, const QString& localIp,
                                 const QString& remoteIp)
{
    connectionState.updateState(state, cause, localIp, remoteIp);
    sendUpdatedState();
}

void VpnBackendMain::tlsCipherChanged(bool isPfs, const QString& tlsVersion, const QString& cipherInfo)
{
    connectionState.tlsCipherChanged(isPfs, tlsVersion, cipherInfo);
    sendUpdatedState();
}

void VpnBackendMain::clearDetectedPublicIp()
{
    connectionState.clearDetectedPublicIp();
}

void VpnBackendMain::updatedDetectedPublicIp(VpnConnectionState::PublicIpDetectionState detectionState,
                                             QHostAddress address, int detectionCycle)
{
    connectionState.updatedDetectedPublicIp(detectionState, address, detectionCycle);
    sendUpdatedState();
}

void VpnBackendMain::sendUpdatedState()
{
    currentProcess->sendUpdatedStateTo(frontend, connectionState);
}

void VpnBackendMain::onVpnProcessTerminated()
{
    // A start in progress, or an engine that still runs, belongs to a newer
    // run than the one whose end is reported: it must not be dropped.
    if (!currentProcess->isStopped()) {
        qDebug() << "VpnProcess terminated: report of an earlier run ignored";
        return;
    }
    qDebug() << "VpnProcess terminated";
    currentProcess.reset(new NullVpnProcess);
}

void VpnBackendMain::onNewConfigWasDownloaded()
{
    DnsJson::purgeDNSCacheIfNecessary();
    frontend.onNewConfigWasDownloaded();
}

void VpnBackendMain::printApplicationLabel() const
{
    qDebug() << "VpnBackend " << BuildConfig::applicationVersion;
}

void VpnBackendMain::activateSigTermHandler()
{
    os.installSigTermHandler();
}

void VpnBackendMain::initializeUserStaticsFromSettings()
{
    UserStatistics::initUserStatistics();
}

void VpnBackendMain::recoverDnsStackFromCrash(Settings& settings)
{
    const QStringList names = settings.getDnsStackNames();
    if (names.isEmpty()) {
        qDebug() << "DnsStack state is clean!";
        return;
    }
    qDebug() << "Recoverying the DnsStack: " << names.join(", ");
    dnsStack.setStack(names);
    dnsStack.popAll();
}

void VpnBackendMain::executeLocalConfig()
{
    LocalConfigSource().execute();
}

void VpnBackendMain::enableIPv6onAllInterfaces()
{
    os.unbindIpv6();
}

void VpnBackendMain::initializeDnsStack(Settings& settings)
{
    dnsStack.push(DnsStack::start, DnsStages::getStartupDns(settings));
}

void VpnBackendMain::deInitializeDnsStack()
{
    dnsStack.popTo(DnsStack::start);
}

void VpnBackendMain::saveUserStatisticsToSettings()
{
    UserStatistics::getUserStatistics().saveUserStatistics();
}
