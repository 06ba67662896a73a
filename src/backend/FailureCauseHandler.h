#pragma once
#include "backend/FirstConnectionGuard.h"
#include "core/ConnectionFailure.h"
#include "core/NullHandler.h"
#include "core/OpenVpnStateNullHandler.h"

#include <QObject>
#include <QSharedPointer>
#include <QTimer>
#include <functional>

class AbstractManagementSocket;
class ConnectionParameters;
class VpnFrontend;
class VpnStateTracker;

// Tells the user why the engine cannot connect, and ends a first connection
// that cannot succeed. Each failure the engine reports is published with the
// connection's state while not connected; each RECONNECTING turns the last
// report (or the state's own cause word) into the attempt's failure. When
// the guard gives up, the engine is stopped as a user stop would, and once
// it has ended (the system restored) one fatal notice names the cause.
// Must come before the handler that publishes the engine's states, so that
// a state reaches the frontend with its failure.
class FailureCauseHandler : public QObject, public NullHandler, public OpenVpnStateNullHandler
{
    Q_OBJECT

public:
    // Milliseconds of a steady clock.
    using Clock = std::function<qint64()>;

    FailureCauseHandler(VpnStateTracker &stateTracker, VpnFrontend &frontend, AbstractManagementSocket &socket,
                        QSharedPointer<ConnectionParameters> parameters, Clock clock = steadyClock());

    void onOpenVpnStarted(QProcess &process) override;
    void onOpenVpnFailedToStart() override;
    void onOpenVpnTerminated() override;
    void onState(const OpenVpnGenericState &state) override;
    void onPassword(int passwordFailures) override;
    void onFailure(const ConnectionFailure &failure) override;
    void onRemote(Remote &remote) override;

    static Clock steadyClock();

protected:
    using OpenVpnStateNullHandler::on;
    void on(const OpenVpnStateAuth &state) override;
    void on(const OpenVpnStateConnected &state) override;
    void on(const OpenVpnStateReconnecting &state) override;

private slots:
    void checkTime();

private:
    void publish(const ConnectionFailure &failure);
    void giveUp(const ConnectionFailure &failure);
    // Why, when the time is up.
    ConnectionFailure timeUpFailure() const;
    void armTimer();

    VpnStateTracker &m_stateTracker;
    VpnFrontend &m_frontend;
    AbstractManagementSocket &m_socket;
    QSharedPointer<ConnectionParameters> m_parameters;
    Clock m_clock;
    FirstConnectionGuard m_guard;
    QTimer m_deadline;
    // Reported since the last RECONNECTING.
    ConnectionFailure m_pending;
    ConnectionFailure m_published;
    // What the engine tries ("UDP 1194"), and whether a server ever answered.
    QString m_where;
    bool m_serverAnswered = false;
    // Set when the client gave up: the notice waits for the engine's end.
    ConnectionFailure m_stoppedFor;
    // Between the engine's start and its end.
    bool m_running = false;
};
