#include "catalogue/CipherValidation.h"

#include <stdexcept>

namespace {
const int MAX_PORT = 65535;

[[noreturn]] void fail(const QString &message)
{
    throw std::invalid_argument(message.toUtf8().toStdString());
}
} // namespace

namespace CipherValidation {

void checkPort(int port)
{
    if (port < 1 || port > MAX_PORT)
        fail(QStringLiteral("Invalid port: %1").arg(port));
}

void checkProtocol(const QString &protocol)
{
    if (protocol != QLatin1String("TCP") && protocol != QLatin1String("UDP"))
        fail(QStringLiteral("Invalid protocol: %1").arg(protocol));
}

void checkStunnelPort(int stunnelPort)
{
    if (stunnelPort < 0 || stunnelPort > MAX_PORT)
        fail(QStringLiteral("Invalid STunnelPort: %1").arg(stunnelPort));
}

void checkTlsKeyCombination(const QString &tlsCrypt, const QString &tlsKey)
{
    if (!tlsCrypt.isEmpty() && !tlsKey.isEmpty())
        fail(QStringLiteral("Invalid parameter combination: tls-crypt and tls-key are mutually exclusive"));
}

QString authName(const QString &auth)
{
    return auth.isEmpty() ? QStringLiteral("SHA1") : auth;
}

} // namespace CipherValidation
