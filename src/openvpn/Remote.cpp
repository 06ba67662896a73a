#include "openvpn/Remote.h"

#include "openvpn/EngineLogging.h"
#include "openvpn/RemoteLock.h"

#include <QDebug>

Remote::Remote(const QString &host, int port, const QString &protocol)
    : m_host(host)
    , m_port(port)
    , m_protocol(protocol)
{
    qCDebug(lcEngine) << "Remote object created";
}

Remote::~Remote()
{
    qCDebug(lcEngine) << "Remote object destroyed";
}

RemoteLock *Remote::getRemoteLock()
{
    addLock();
    return new RemoteLock(this);
}

void Remote::remoteRelease()
{
    dropLock();
}

QString Remote::getHost() const
{
    return m_host;
}

int Remote::getPort() const
{
    return m_port;
}

QString Remote::getProtocol() const
{
    return m_protocol;
}

bool Remote::isModified() const
{
    return m_modified;
}

void Remote::setHost(const QString &newHost)
{
    if (newHost == m_host)
        return;
    m_host = newHost;
    m_modified = true;
}

void Remote::setPort(int newPort)
{
    if (newPort == m_port)
        return;
    m_port = newPort;
    m_modified = true;
}
