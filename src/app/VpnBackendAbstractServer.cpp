#include "app/VpnBackendAbstractServer.h"

#include "app/AppLogging.h"

#include <QCoreApplication>
#include <QDebug>

#include <stdexcept>

const QString VpnBackendAbstractServer::serverLabelPostfix = QStringLiteral("-Service");

VpnBackendAbstractServer::VpnBackendAbstractServer(AbstractFactoryProtocolMessageHandler &factory, QObject *parent)
    : QObject(parent)
    , m_folder(QCoreApplication::applicationName(), QCoreApplication::applicationName() + serverLabelPostfix)
    , m_factory(factory)
    , m_serverName(m_folder.socketPath())
{
}

QString VpnBackendAbstractServer::serverName() const
{
    return m_serverName;
}

void VpnBackendAbstractServer::requireServerName() const
{
    if (!m_serverName.isEmpty())
        return;
    const QString problem = m_folder.problem();
    qCWarning(lcApp).noquote() << problem;
    throw std::runtime_error(problem.toStdString());
}

QString VpnBackendAbstractServer::socketPath(const QString &applicationName)
{
    return PrivateRuntimeDirectory(applicationName, applicationName + serverLabelPostfix).socketPath();
}
