#include "PrintingFrontend.h"

#include "EventLog.h"

PrintingFrontend::PrintingFrontend(const EventLog &log)
    : m_log(log)
{
}

void PrintingFrontend::onVpnStartupProgress(const VpnStartupProgress &progress)
{
    m_log.print(QStringLiteral("progress %1 %2").arg(progress.getProgressMessageKey()).arg(int(progress.getState())));
}

void PrintingFrontend::onVpnStartupResult(const VpnStartupResult &result)
{
    m_log.print(QStringLiteral("result %1 %2").arg(int(result.getType())).arg(result.getMessage()));
    if (result.getType() != VpnStartupResult::STARTED)
        emit startupEnded();
}

void PrintingFrontend::onUpdateState(const VpnConnectionState &state)
{
    if (state.isFailureChange()) {
        m_log.print(QStringLiteral("cause ") + state.getFailure().describe());
        return;
    }
    m_log.print(QStringLiteral("state %1 %2 %3").arg(state.getState(), state.getLocalIp(), state.getRemoteIp()));
}

void PrintingFrontend::onReceiveErrorMessage(const ErrorMessage &message)
{
    m_log.print(QStringLiteral("error ") + errorText(message));
}

void PrintingFrontend::onReceiveFatalErrorMessage(const ErrorMessage &message)
{
    m_log.print(QStringLiteral("fatal ") + errorText(message));
}

void PrintingFrontend::vpnTerminated(VpnTerminationReport)
{
    m_log.print(QStringLiteral("terminated"));
    emit terminated();
}

void PrintingFrontend::onEventClosed(quint64)
{
}

void PrintingFrontend::vpnPasswordRequest(const PasswordRequestMessage &request)
{
    m_log.print(QStringLiteral("password %1").arg(request.getPasswordFailures()));
}

void PrintingFrontend::onUpdateByteCount(ByteCount byteCount)
{
    m_log.print(QStringLiteral("bytes %1 %2").arg(byteCount.getBytesReceived()).arg(byteCount.getBytesSent()));
}

void PrintingFrontend::onConnected()
{
    m_log.print(QStringLiteral("connected"));
    emit connected();
}

void PrintingFrontend::onNewConfigWasDownloaded()
{
    emit newConfigWasDownloaded();
}

QString PrintingFrontend::errorText(const ErrorMessage &message)
{
    return message.getMessage() + QStringLiteral(" | ") + message.getInformativeText();
}
