#pragma once

#include "app/PrivateRuntimeDirectory.h"

#include <QObject>
#include <QString>

class AbstractFactoryProtocolMessageHandler;
class ServerAbstractSocket;

// The single-instance server: finds a running instance, listens under the
// application's service name and answers every connection through the protocol.
class VpnBackendAbstractServer : public QObject
{
    Q_OBJECT

public:
    explicit VpnBackendAbstractServer(AbstractFactoryProtocolMessageHandler &factory, QObject *parent = nullptr);

    // The socket's full path, through which server and client meet; empty
    // when this user has no private folder for it.
    QString serverName() const;
    // Without a name no instance can start: throws a std::runtime_error
    // that says why, for the user (the process entry shows it on standard
    // error and, with a display, in a box), after a log line with it.
    void requireServerName() const;

    virtual bool checkPreviousInstance() = 0;
    virtual bool cleanUpPreviousInstance() = 0;
    virtual bool startingServer() = 0;
    virtual bool isStarted() = 0;
    virtual void sendToConnectedSockets(const QString &message) = 0;
    virtual void disconnectOneSocket(ServerAbstractSocket *socket) = 0;
    virtual void disconnectAllSockets() = 0;

    static const QString serverLabelPostfix;
    // The socket of `applicationName` + `serverLabelPostfix` in the user's
    // private folder (PrivateRuntimeDirectory); empty when there is none.
    static QString socketPath(const QString &applicationName);

signals:
    // The listed connection (the own instance's link) is gone: the
    // application ends, through its own quit rules.
    void lastConnectionLost();

public slots:
    virtual void onNewConnectionReceived() = 0;
    virtual void onConnectionClosed(ServerAbstractSocket *abstractSocket) = 0;

private:
    // Before the name made from it.
    const PrivateRuntimeDirectory m_folder;

protected:
    AbstractFactoryProtocolMessageHandler &m_factory;
    quint32 m_connectionCount = 0;
    const QString m_serverName;
};
