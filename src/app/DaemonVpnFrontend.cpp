#include "app/DaemonVpnFrontend.h"

#include "app/AppLogging.h"
#include "backend/VpnBackend.h"
#include "core/VpnStartupResult.h"
#include "prefs/Settings.h"
#include "system/FireAndForgetProcess.h"
#include "websvc/WhatIsMyLocation.h"

#include <QDebug>
#include <QNetworkAccessManager>

namespace {

const char *flagText(bool flag)
{
    return flag ? "true" : "false";
}

} // namespace

DaemonVpnFrontend::DaemonVpnFrontend(QNetworkAccessManager *networkAccessManager, VpnBackend &backend,
                                     WhatIsMyLocation &whatIsMyLocation)
    : m_networkAccessManager(networkAccessManager)
    , m_backend(&backend)
    , m_whatIsMyLocation(&whatIsMyLocation)
{
    this->m_whatIsMyLocation->queryMyLocation();
}

void DaemonVpnFrontend::onVpnStartupProgress(const VpnStartupProgress &progress)
{
    qCDebug(lcApp) << "Daemon::onVpnStartupProgress - " << progress.getProgressMessageKey();
    // A failed look-up is not retried while a connection starts.
    if (progress.isInitialState()) {
        m_starting = true;
        m_whatIsMyLocation->stop();
    }
}

void DaemonVpnFrontend::onVpnStartupResult(const VpnStartupResult &result)
{
    qCDebug(lcApp) << "Daemon::onVpnStartupResult";
    m_starting = false;
    // A started engine runs before its first state report: a quit must stop it.
    if (result.getType() == VpnStartupResult::STARTED) {
        m_running = true;
        return;
    }
    emit runEnded();
}

void DaemonVpnFrontend::onUpdateState(const VpnConnectionState &)
{
    qCDebug(lcApp) << "Daemon::onUpdateState";
    m_running = true;
}

void DaemonVpnFrontend::onReceiveErrorMessage(const ErrorMessage &message)
{
    qCDebug(lcApp) << "Daemon::onReceiveErrorMessage - " << message.getMessage() << " , "
                   << message.getInformativeText();
}

void DaemonVpnFrontend::onReceiveFatalErrorMessage(const ErrorMessage &message)
{
    qCDebug(lcApp) << "Daemon::onReceiveFatalErrorMessage - " << message.getMessage() << " , "
                   << message.getInformativeText();
    m_networkAccessManager->clearAccessCache();
}

void DaemonVpnFrontend::vpnTerminated(VpnTerminationReport report)
{
    qCDebug(lcApp) << "Daemon::vpnTerminated"
                   << " - failed to start flag: " << flagText(report.getFailedToStartFlag())
                   << " - password request flag: " << flagText(report.getPasswordRequestFlag());
    m_running = false;
    m_starting = false;
    m_networkAccessManager->clearAccessCache();
    Settings settings;
    runScript(settings.executeAfterDisconnectScript(), QStringLiteral("After Disconnect Script"),
              settings.pathToAfterDisconnectScript());
    m_whatIsMyLocation->queryMyLocation();
    emit runEnded();
}

void DaemonVpnFrontend::onEventClosed(quint64 eventId)
{
    qCDebug(lcApp) << "Daemon::onEventClosed - id " << eventId;
}

void DaemonVpnFrontend::vpnPasswordRequest(const PasswordRequestMessage &request)
{
    qCDebug(lcApp) << "Daemon::vpnPasswordRequest - authRetry " << request.getPasswordFailures();
}

void DaemonVpnFrontend::onUpdateByteCount(ByteCount)
{
    qCDebug(lcApp) << "Daemon::onUpdateByteCount";
}

void DaemonVpnFrontend::onConnected()
{
    qCDebug(lcApp) << "Daemon::onConnected";
    m_networkAccessManager->clearAccessCache();
    Settings settings;
    runScript(settings.executeAfterConnectScript(), QStringLiteral("After Connect Script"),
              settings.pathToAfterConnectScript());
}

void DaemonVpnFrontend::onNewConfigWasDownloaded()
{
    qCDebug(lcApp) << "Daemon::onNewConfigWasDownloaded";
}

void DaemonVpnFrontend::runScript(bool switchedOn, const QString &displayName, const QString &program)
{
    if (!switchedOn)
        return;
    FireAndForgetProcess::execute(displayName, Settings().externalProcessTimeout(), program,
                                  m_backend->getErrorSender());
}
