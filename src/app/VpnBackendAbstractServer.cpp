#include "app/VpnBackendAbstractServer.h"

#include <QCoreApplication>

const QString VpnBackendAbstractServer::serverLabelPostfix = QStringLiteral("-Service");

VpnBackendAbstractServer::VpnBackendAbstractServer(AbstractFactoryProtocolMessageHandler &factory, QObject *parent)
    : QObject(parent)
    , m_factory(factory)
    , m_serverName(QCoreApplication::applicationName() + serverLabelPostfix)
{
}

QString VpnBackendAbstractServer::serverName() const
{
    return m_serverName;
}
