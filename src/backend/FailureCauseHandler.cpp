#include "backend/FailureCauseHandler.h"

#include "backend/BackendLogging.h"
#include "catalogue/ConnectionParameters.h"
#include "core/ErrorMessage.h"
#include "core/VpnFrontend.h"
#include "core/VpnStateTracker.h"
#include "openvpn/AbstractManagementSocket.h"
#include "openvpn/OpenVpnFailureLog.h"
#include "openvpn/Remote.h"

#include <chrono>

FailureCauseHandler::FailureCauseHandler(VpnStateTracker &stateTracker, VpnFrontend &frontend,
                                         AbstractManagementSocket &socket,
                                         QSharedPointer<ConnectionParameters> parameters, Clock clock)
    : m_stateTracker(stateTracker)
    , m_frontend(frontend)
    , m_socket(socket)
    , m_parameters(std::move(parameters))
    , m_clock(std::move(clock))
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &FailureCauseHandler::checkTime);
}

FailureCauseHandler::Clock FailureCauseHandler::steadyClock()
{
    return [] {
        using namespace std::chrono;
        return qint64(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
}

void FailureCauseHandler::onOpenVpnStarted(QProcess &)
{
    m_guard.start(m_clock());
    m_pending = ConnectionFailure();
    m_published = ConnectionFailure();
    m_stoppedFor = ConnectionFailure();
    m_where.clear();
    m_serverAnswered = false;
    m_running = true;
    armTimer();
}

void FailureCauseHandler::onOpenVpnFailedToStart()
{
    m_running = false;
    m_deadline.stop();
}

void FailureCauseHandler::onOpenVpnTerminated()
{
    m_running = false;
    m_deadline.stop();
    if (m_stoppedFor.isNull())
        return;
    const ErrorMessage notice = ErrorMessage::GetVpnFatalErrorMessage(m_parameters, m_stoppedFor.stopMessage(),
                                                                      m_parameters->getConnectionInfo());
    m_stoppedFor = ConnectionFailure();
    // After every handler has put the system back; the notice may be modal.
    QTimer::singleShot(0, this, [this, notice] { m_frontend.onReceiveFatalErrorMessage(notice); });
}

void FailureCauseHandler::onState(const OpenVpnGenericState &state)
{
    m_guard.resume(m_clock());
    dispatch(state);
    checkTime();
}

void FailureCauseHandler::onPassword(int)
{
    // The user's time at the login page is not the server's.
    m_guard.pause(m_clock());
    m_deadline.stop();
}

void FailureCauseHandler::onFailure(const ConnectionFailure &failure)
{
    m_pending = failure;
    publish(failure);
}

void FailureCauseHandler::onRemote(Remote &remote)
{
    m_where = OpenVpnFailureLog::where(remote.getProtocol(), remote.getPort());
}

void FailureCauseHandler::on(const OpenVpnStateAuth &)
{
    m_serverAnswered = true;
}

void FailureCauseHandler::on(const OpenVpnStateConnected &)
{
    m_guard.connected();
    m_pending = ConnectionFailure();
    m_published = ConnectionFailure();
    m_deadline.stop();
}

void FailureCauseHandler::on(const OpenVpnStateReconnecting &state)
{
    const ConnectionFailure failure = m_pending.isNull() ? ConnectionFailure(state.cause) : m_pending;
    m_pending = ConnectionFailure();
    if (failure.isNull())
        return;
    publish(failure);
    if (m_guard.attemptFailed(failure, m_clock()))
        giveUp(failure);
}

void FailureCauseHandler::checkTime()
{
    if (!m_running || !m_stoppedFor.isNull() || m_guard.isPaused())
        return;
    if (!m_guard.isTimeUp(m_clock())) {
        armTimer();
        return;
    }
    giveUp(timeUpFailure());
}

ConnectionFailure FailureCauseHandler::timeUpFailure() const
{
    if (!m_published.isNull())
        return m_published;
    // A server that never answered a single packet says nothing at all.
    if (!m_serverAnswered && !m_where.isEmpty())
        return ConnectionFailure(QLatin1String(ConnectionFailure::NO_ANSWER), m_where);
    return ConnectionFailure(QLatin1String(ConnectionFailure::TIMEOUT));
}

void FailureCauseHandler::publish(const ConnectionFailure &failure)
{
    // A connection that worked shows its failures too; the engine repeats
    // some every second, the frontend hears each change once.
    if (failure == m_published)
        return;
    m_published = failure;
    m_stateTracker.updateFailure(failure);
}

void FailureCauseHandler::giveUp(const ConnectionFailure &failure)
{
    if (!m_running || !m_stoppedFor.isNull())
        return;
    qCInfo(lcBackend).noquote() << "Giving up the connection:" << failure.cause() << failure.where()
                                << failure.serverText();
    m_stoppedFor = failure;
    m_deadline.stop();
    publish(failure);
    m_socket.sendSigTerm();
}

void FailureCauseHandler::armTimer()
{
    if (!m_guard.isWatching())
        return;
    m_deadline.start(int(m_guard.remainingMs(m_clock())));
}
