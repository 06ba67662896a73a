#include "backend/OpenVpnConfigTls.h"

OpenVpnConfigTls::OpenVpnConfigTls(const QString& tls)
    : tls(tls)
{
}

QString OpenVpnConfigTls::getTlsVersion() const
{
    if (!tls.startsWith(QLatin1String("TLSv")))
        return QStringLiteral("n/a");
    return tls.mid(3);
}

bool OpenVpnConfigTls::isForwardSecretByProtocol() const
{
    return tls == QLatin1String("TLSv1.3");
}
