#include "backend/LegacySignalsHandler.h"

#include "backend/BackendLogging.h"
#include "catalogue/ConnectionParameters.h"
#include "catalogue/WebConfigSource.h"
#include "core/ErrorMessage.h"
#include "core/VpnFrontend.h"
#include "core/VpnTerminationReport.h"
#include "prefs/Settings.h"
#include "system/OsAbstraction.h"
#include "websvc/LifeCycleClient.h"
#include "websvc/ReplyHandler.h"

#include <QDebug>
#include <QNetworkAccessManager>

LegacySignalsHandler::LegacySignalsHandler(VpnFrontend &frontend, OsAbstraction &os,
                                           QNetworkAccessManager *networkAccessManager,
                                           LifeCycleClient &lifeCycleClient, WebConfigSource &webConfigSource,
                                           QSharedPointer<ConnectionParameters> connectionParameters)
    : m_frontend(frontend)
    , m_os(os)
    , m_networkAccessManager(networkAccessManager)
    , m_lifeCycleClient(lifeCycleClient)
    , m_webConfigSource(webConfigSource)
    , m_connectionParameters(connectionParameters)
{
}

void LegacySignalsHandler::onOpenVpnFailedToStart()
{
    afterTermination();
    m_frontend.vpnTerminated(VpnTerminationReport(m_connectionParameters).withFailedToStartFlag());
}

void LegacySignalsHandler::onOpenVpnTerminated()
{
    afterTermination();
    m_frontend.vpnTerminated(VpnTerminationReport(m_connectionParameters));
}

void LegacySignalsHandler::onByteCount(const ByteCount &byteCount)
{
    m_frontend.onUpdateByteCount(byteCount);
}

bool LegacySignalsHandler::isFilteredFatal(const QString &message)
{
    return message == QLatin1String("ERROR: could not read Auth username/password/ok/string from management interface")
           || message == QLatin1String("Blocking DNS failed!");
}

void LegacySignalsHandler::onFatal(const QString &message)
{
    if (isFilteredFatal(message)) {
        qCDebug(lcBackend) << message;
        return;
    }
    resetNetwork();
    m_frontend.onReceiveFatalErrorMessage(ErrorMessage::GetVpnFatalErrorMessage(
        m_connectionParameters, message, m_connectionParameters->getConnectionInfo()));
}

void LegacySignalsHandler::onState(const OpenVpnGenericState &state)
{
    dispatch(state);
}

void LegacySignalsHandler::on(const OpenVpnStateConnected &)
{
    m_networkAccessManager->clearAccessCache();
    if (Settings().preventWebRtcLeak())
        m_os.startWebRtcLeakProtection();
    m_lifeCycleClient.checkVersion();
    m_webConfigSource.checkForUpdate();
    m_frontend.onConnected();
}

void LegacySignalsHandler::resetNetwork()
{
    m_networkAccessManager->clearAccessCache();
    if (Settings().preventWebRtcLeak())
        m_os.stopWebRtcLeakProtection();
}

void LegacySignalsHandler::afterTermination()
{
    resetNetwork();
    m_os.afterEngineStop();
}
