#include "catalogue/BackendOpenVPNConfigCipher.h"

#include "catalogue/CatalogueLogging.h"
#include "catalogue/CipherValidation.h"

#include <QDebug>
#include <QStringList>

#include <stdexcept>

BackendOpenVPNConfigCipher::BackendOpenVPNConfigCipher(const QString &cipher, int port, const QString &auth,
                                                       const QString &tlsCrypt, const QString &tlsKey,
                                                       const QString &scrambleMethod, const QString &scrambleMask,
                                                       int stunnelPort)
    : m_valid(true)
    , m_cipher(cipher)
    , m_port(port)
    , m_auth(auth)
    , m_tlsCrypt(tlsCrypt)
    , m_tlsKey(tlsKey)
    , m_scrambleMethod(scrambleMethod)
    , m_scrambleMask(scrambleMask)
    , m_stunnelPort(stunnelPort)
{
    CipherValidation::checkPort(port);
    CipherValidation::checkStunnelPort(stunnelPort);
    CipherValidation::checkTlsKeyCombination(tlsCrypt, tlsKey);
}

BackendOpenVPNConfigCipher BackendOpenVPNConfigCipher::createBackendOpenVpnConfigCipher(
    const QString &cipher, int port, const QString &auth, const QString &tlsCrypt, const QString &tlsKey,
    const QString &scrambleMethod, const QString &scrambleMask, int stunnelPort)
{
    try {
        return BackendOpenVPNConfigCipher(cipher, port, auth, tlsCrypt, tlsKey, scrambleMethod, scrambleMask,
                                          stunnelPort);
    } catch (const std::invalid_argument &) {
        qCDebug(lcCatalogue) << "Invalid argument while constructing BackendOpenVpnConfigCipher: "
                             << "cipher " << cipher << "port " << port << "auth " << auth << "tlscrypt " << tlsCrypt
                             << "tlskey " << tlsKey << "scrambleMethod " << scrambleMethod << "scrambleMask "
                             << scrambleMask << "stunnel-port " << stunnelPort;
        return BackendOpenVPNConfigCipher();
    }
}

bool BackendOpenVPNConfigCipher::isValid() const
{
    return m_valid;
}

QString BackendOpenVPNConfigCipher::getCipher() const
{
    return m_cipher;
}

int BackendOpenVPNConfigCipher::getPort() const
{
    return m_port;
}

QString BackendOpenVPNConfigCipher::getAuth() const
{
    return m_auth;
}

QString BackendOpenVPNConfigCipher::getAuthName() const
{
    return CipherValidation::authName(m_auth);
}

QString BackendOpenVPNConfigCipher::getTlsCrypt() const
{
    return m_tlsCrypt;
}

QString BackendOpenVPNConfigCipher::getTlskey() const
{
    return m_tlsKey;
}

QString BackendOpenVPNConfigCipher::getScrambleMethod() const
{
    return m_scrambleMethod;
}

QString BackendOpenVPNConfigCipher::getScrambleMask() const
{
    return m_scrambleMask;
}

int BackendOpenVPNConfigCipher::getStunnelPort() const
{
    return m_stunnelPort;
}

bool BackendOpenVPNConfigCipher::hasSTunnelPort() const
{
    return m_stunnelPort != 0;
}

bool BackendOpenVPNConfigCipher::isStealth() const
{
    return !m_scrambleMethod.isEmpty();
}

QString BackendOpenVPNConfigCipher::toInfoString() const
{
    if (!m_valid)
        return QStringLiteral("Invalid Cipher");
    const auto yesNo = [](bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); };
    return QStringList {
        QStringLiteral("Cipher: ") + m_cipher,
        QStringLiteral("Port: ") + QString::number(m_port),
        QStringLiteral("Auth: ") + getAuthName(),
        QStringLiteral("STunnel available: ") + yesNo(hasSTunnelPort()),
        QStringLiteral("Stealth available: ") + yesNo(isStealth()),
    }
        .join(QLatin1Char('\n'));
}

bool BackendOpenVPNConfigCipher::operator==(const BackendOpenVPNConfigCipher &other) const
{
    return m_valid == other.m_valid && m_cipher == other.m_cipher && m_port == other.m_port && m_auth == other.m_auth
           && m_tlsCrypt == other.m_tlsCrypt && m_tlsKey == other.m_tlsKey && m_scrambleMethod == other.m_scrambleMethod
           && m_scrambleMask == other.m_scrambleMask && m_stunnelPort == other.m_stunnelPort;
}

bool BackendOpenVPNConfigCipher::operator!=(const BackendOpenVPNConfigCipher &other) const
{
    return !(*this == other);
}
