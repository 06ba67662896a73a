#include "app/VpnBackendAbstractClient.h"

#include "app/AbstractProtocolMessageHandler.h"
#include "app/AppLogging.h"
#include "app/VpnBackendAbstractServer.h"

#include <QCoreApplication>
#include <QDebug>

VpnBackendAbstractClient::VpnBackendAbstractClient(QObject *parent)
    : QObject(parent)
    , m_serverName(VpnBackendAbstractServer::socketPath(QCoreApplication::applicationName()))
{
}

void VpnBackendAbstractClient::setHandler(const QSharedPointer<AbstractProtocolMessageHandler> &handler)
{
    m_handler = handler;
}

QString VpnBackendAbstractClient::serverName() const
{
    return m_serverName;
}

void VpnBackendAbstractClient::emitQuitApplication()
{
    emit quitApplication();
}

void VpnBackendAbstractClient::handleServerMessage(const QString &message)
{
    if (m_handler)
        m_handler->messageHandler(message);
    else
        qCDebug(lcApp) << "Error: Message Handler is Null";
}
