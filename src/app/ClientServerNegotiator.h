#pragma once

#include "app/ClientSimpleProtocolMessageHandler.h"
#include "app/SimpleProtocolMessageHandlerFactory.h"
#include "app/VpnBackendLocalSocketClient.h"
#include "app/VpnBackendLocalSocketServer.h"

#include <QObject>
#include <QSharedPointer>

// Decides at start-up whether this process is the only running instance:
// it becomes the single-instance server and asks its own server for the verdict.
class ClientServerNegotiator : public QObject
{
    Q_OBJECT

public:
    explicit ClientServerNegotiator(QObject *parent = nullptr);

    // False when another instance runs or this one cannot take the name;
    // throws (VpnBackendAbstractServer::requireServerName) when there is no
    // name to take.
    bool negotiate();

signals:
    void exitApplication();

public slots:
    void emitExitApplication();

private:
    SimpleProtocolMessageHandlerFactory m_factory;
    VpnBackendLocalSocketServer m_server;
    VpnBackendLocalSocketClient m_client;
    QSharedPointer<ClientSimpleProtocolMessageHandler> m_clientHandler;
};
