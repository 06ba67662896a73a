#include "backend/OpenVpnConfigTls.h"

OpenVpnConfigTls::OpenVpnConfigTls(const QString &tls)
    : m_tls(tls)
{
}

QString OpenVpnConfigTls::getTlsVersion() const
{
    if (!m_tls.startsWith(QLatin1String("TLSv")))
        return QStringLiteral("n/a");
    return m_tls.mid(3);
}

bool OpenVpnConfigTls::isForwardSecretByProtocol() const
{
    return m_tls == QLatin1String("TLSv1.3");
}
