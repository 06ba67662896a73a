#include "app/VpnBackendAbstractServer.h"

#include "app/PrivateRuntimeDirectory.h"

#include <QCoreApplication>

const QString VpnBackendAbstractServer::serverLabelPostfix = QStringLiteral("-Service");

VpnBackendAbstractServer::VpnBackendAbstractServer(AbstractFactoryProtocolMessageHandler &factory, QObject *parent)
    : QObject(parent)
    , m_factory(factory)
    , m_serverName(socketPath(QCoreApplication::applicationName()))
{
}

QString VpnBackendAbstractServer::serverName() const
{
    return m_serverName;
}

QString VpnBackendAbstractServer::socketPath(const QString &applicationName)
{
    const QString folder = PrivateRuntimeDirectory::locate(applicationName);
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + applicationName + serverLabelPostfix;
}
