#pragma once
#include <QObject>
#include <QSharedPointer>
#include <QString>

class ConnectionParameters;

// Engine control as the backend, the process states and the handlers see it:
// one implementation per engine (OpenVPN management interface, OpenConnect
// command channel), one instance of each for the backend's whole life.
class AbstractManagementSocket : public QObject
{
    Q_OBJECT

public:
    explicit AbstractManagementSocket(QObject *parent = nullptr);
    ~AbstractManagementSocket() override;

    // Starts the engine for the parameters' configuration.
    virtual void startVPN(QSharedPointer<ConnectionParameters> parameters) = 0;
    // True while the engine process has not ended.
    virtual bool isProcessRunning() = 0;
    // True from an engine's start until its end has been reported to the
    // handlers and the backend, the report itself included: until then the
    // handler list still belongs to that run.
    virtual bool isTerminationPending() const { return false; }

public slots:
    // Asks the engine to stop.
    virtual void sendSigTerm() = 0;
    // Answers the engine's request for credentials.
    virtual void sendUsernamePassword(const QString &username, const QString &password) = 0;
};
