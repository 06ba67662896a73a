#include "DeadNameServer.h"

#include <QFile>

namespace {
const char RESOLV_CONF[] = "/etc/resolv.conf";
} // namespace

// A documentation address: no server of the lab holds it.
const char *const DeadNameServer::ADDRESS = "198.51.100.9";

DeadNameServer::DeadNameServer()
{
    QFile file(RESOLV_CONF);
    if (file.open(QIODevice::ReadOnly))
        m_original = file.readAll();
    write(QByteArray("nameserver ") + ADDRESS + '\n');
}

DeadNameServer::~DeadNameServer()
{
    write(m_original);
}

void DeadNameServer::write(const QByteArray &content)
{
    QFile file(RESOLV_CONF);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}
