#include "backend/LegacySignalsHandler.h"

#include "backend/ErrorMessage.h"
#include "backend/VpnFrontend.h"
#include "backend/VpnTerminationReport.h"
#include "catalogue/WebConfigSource.h"
#include "prefs/Settings.h"
#include "system/OsAbstraction.h"
#include "websvc/LifeCycleClient.h"
#include "websvc/ReplyHandler.h"

#include <QDebug>
#include <QNetworkAccessManager>

LegacySignalsHandler::LegacySignalsHandler(VpnFrontend& frontend, OsAbstraction& os,
                                           QNetworkAccessManager* networkAccessManager,
                                           LifeCycleClient& lifeCycleClient, WebConfigSource& webConfigSource,
                                           QSharedPointer<ConnectionParameters> connectionParameters)
    : frontend(frontend)
    , os(os)
    , networkAccessManager(networkAccessManager)
    , lifeCycleClient(lifeCycleClient)
    , webConfigSource(webConfigSource)
    , connectionParameters(connectionParameters)
{
}

void LegacySignalsHandler::onOpenVpnFailedToStart()
{
    afterTermination();
    frontend.vpnTerminated(VpnTerminationReport(connectionParameters).withFailedToStartFlag());
}

void LegacySignalsHandler::onOpenVpnTerminated()
{
    afterTermination();
    frontend.vpnTerminated(VpnTerminationReport(connectionParameters));
}

void LegacySignalsHandler::onByteCount(const ByteCount& byteCount)
{
    frontend.onUpdateByteCount(byteCount);
}

bool LegacySignalsHandler::isFilteredFatal(const QString& message)
{
    return message == QLatin1String("ERROR: could not read Auth username/password/ok/string from management interface")
        || message == QLatin1String("Blocking DNS failed!");
}

void LegacySignalsHandler::onFatal(const QString& message)
{
    if (isFilteredFatal(message)) {
        qDebug() << message;
        return;
    }
    resetNetwork();
    frontend.onReceiveFatalErrorMessage(ErrorMessage::GetVpnFatalErrorMessage(connectionParameters, message));
}

void LegacySignalsHandler::onState(const OpenVpnGenericState& state)
{
    dispatch(state);
}

void LegacySignalsHandler::on(const OpenVpnStateConnected&)
{
    networkAccessManager->clearAccessCache();
    if (Settings().preventWebRtcLeak())
        os.startWebRtcLeakProtection();
    lifeCycleClient.checkVersion();
    webConfigSource.checkForUpdate();
    frontend.onConnected();
}

void LegacySignalsHandler::resetNetwork()
{
    networkAccessManager->clearAccessCache();
    if (Settings().preventWebRtcLeak())
        os.stopWebRtcLeakProtection();
}

void LegacySignalsHandler::afterTermination()
{
    resetNetwork();
    os.afterEngineStop();
}
