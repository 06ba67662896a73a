#include "app/ServerModeRunnable.h"

#include "app/AppLogging.h"

#include <QCoreApplication>
#include <QDebug>

ServerModeRunnable::ServerModeRunnable()
    : m_server(m_factory)
{
    // Nothing else runs here: the run ends with the last connection.
    QObject::connect(&m_server, &VpnBackendAbstractServer::lastConnectionLost, [] { QCoreApplication::exit(0); });
}

int ServerModeRunnable::run()
{
    qCDebug(lcApp) << "Starting VpnBackend Server...";
    m_server.requireServerName();
    if (m_server.checkPreviousInstance()) {
        qCDebug(lcApp) << "Another server instance is running. Close it before trying again...";
        return 0;
    }
    if (!m_server.startingServer()) {
        qCDebug(lcApp) << "Server not started";
        return -1;
    }
    QCoreApplication::exec();
    return 0;
}
