#include "openvpn/Remote.h"

#include "openvpn/RemoteLock.h"

#include <QDebug>

Remote::Remote(const QString& host, int port, const QString& protocol)
    : host(host)
    , port(port)
    , protocol(protocol)
{
    qDebug() << "Remote object created";
}

Remote::~Remote()
{
    qDebug() << "Remote object destroyed";
}

RemoteLock* Remote::getRemoteLock()
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
    return host;
}

int Remote::getPort() const
{
    return port;
}

QString Remote::getProtocol() const
{
    return protocol;
}

bool Remote::isModified() const
{
    return modified;
}

void Remote::setHost(const QString& newHost)
{
    if (newHost == host)
        return;
    host = newHost;
    modified = true;
}

void Remote::setPort(int newPort)
{
    if (newPort == port)
        return;
    port = newPort;
    modified = true;
}
