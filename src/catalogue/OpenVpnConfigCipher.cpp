#include "catalogue/OpenVpnConfigCipher.h"

#include "catalogue/CipherValidation.h"

const QString OpenVpnConfigCipher::defaultCipherStr = QStringLiteral("AES-128-GCM");

OpenVpnConfigCipher::OpenVpnConfigCipher()
    : m_protocol(QStringLiteral("UDP"))
{
}

OpenVpnConfigCipher::OpenVpnConfigCipher(const QString &cipher, const QString &protocol, int port, const QString &auth,
                                         const QString &tlsCrypt, const QString &tlsKey, bool isDefault,
                                         const QString &scrambleMethod, const QString &scrambleMask, int stunnelPort)
    : OpenVpnConfigCipher(cipher, QStringList(), protocol, port, auth, tlsCrypt, tlsKey, isDefault, scrambleMethod,
                          scrambleMask, stunnelPort)
{
}

OpenVpnConfigCipher::OpenVpnConfigCipher(const QString &cipher, const QStringList &ciphers, const QString &protocol,
                                         int port, const QString &auth, const QString &tlsCrypt, const QString &tlsKey,
                                         bool isDefault, const QString &scrambleMethod, const QString &scrambleMask,
                                         int stunnelPort)
    : m_valid(true)
    , m_cipher(cipher)
    , m_ciphers(ciphers)
    , m_port(port)
    , m_protocol(protocol)
    , m_auth(auth)
    , m_tlsCrypt(tlsCrypt)
    , m_tlsKey(tlsKey)
    , m_default(isDefault)
    , m_scrambleMethod(scrambleMethod)
    , m_scrambleMask(scrambleMask)
    , m_stunnelPort(stunnelPort)
{
    CipherValidation::checkPort(port);
    CipherValidation::checkProtocol(protocol);
    CipherValidation::checkStunnelPort(stunnelPort);
    CipherValidation::checkTlsKeyCombination(tlsCrypt, tlsKey);
}

bool OpenVpnConfigCipher::isValid() const
{
    return m_valid;
}

QString OpenVpnConfigCipher::getCipher() const
{
    return m_cipher;
}

int OpenVpnConfigCipher::getPort() const
{
    return m_port;
}

QString OpenVpnConfigCipher::getProtocol() const
{
    return m_protocol;
}

QString OpenVpnConfigCipher::getAuth() const
{
    return m_auth;
}

QString OpenVpnConfigCipher::getAuthName() const
{
    return CipherValidation::authName(m_auth);
}

QString OpenVpnConfigCipher::getTlskey() const
{
    return m_tlsKey;
}

QString OpenVpnConfigCipher::getDisplayName() const
{
    if (!m_valid)
        return QString();
    QString text = m_cipher;
    if (!m_auth.isEmpty())
        text += QStringLiteral(" | ") + m_auth;
    if (isStealth())
        text += QStringLiteral(" | Stealth");
    return text;
}

bool OpenVpnConfigCipher::isDefault() const
{
    return m_default;
}

bool OpenVpnConfigCipher::isHardCodedDefault() const
{
    return m_cipher == QLatin1String("AES-128-CBC") && m_auth == QLatin1String("SHA256");
}

QString OpenVpnConfigCipher::getScrambleMethod() const
{
    return m_scrambleMethod;
}

QString OpenVpnConfigCipher::getScrambleMask() const
{
    return m_scrambleMask;
}

bool OpenVpnConfigCipher::isStealth() const
{
    return !m_scrambleMethod.isEmpty();
}

QStringList OpenVpnConfigCipher::getCiphers() const
{
    return m_ciphers;
}

QString OpenVpnConfigCipher::getTlsCrypt() const
{
    return m_tlsCrypt;
}

bool OpenVpnConfigCipher::hasSTunnelPort() const
{
    return m_stunnelPort != 0;
}

int OpenVpnConfigCipher::getStunnelPort() const
{
    return m_stunnelPort;
}

QString OpenVpnConfigCipher::getDisplayPortAuthStealthName() const
{
    if (!m_valid)
        return QString();
    QString text = QString::number(m_port);
    if (!m_auth.isEmpty())
        text += QStringLiteral(" ( ") + m_auth + QStringLiteral(" )");
    if (isStealth())
        text += QStringLiteral(" | Stealth");
    return text;
}

BackendOpenVPNConfigCipher OpenVpnConfigCipher::toBackendOpenVPNConfigCipher() const
{
    return BackendOpenVPNConfigCipher::createBackendOpenVpnConfigCipher(
        m_cipher, m_port, m_auth, m_tlsCrypt, m_tlsKey, m_scrambleMethod, m_scrambleMask, m_stunnelPort);
}

bool OpenVpnConfigCipher::operator==(const OpenVpnConfigCipher &other) const
{
    return m_valid == other.m_valid && m_protocol == other.m_protocol && m_port == other.m_port
           && m_cipher == other.m_cipher && m_ciphers == other.m_ciphers && m_auth == other.m_auth
           && m_tlsCrypt == other.m_tlsCrypt && m_tlsKey == other.m_tlsKey && m_scrambleMethod == other.m_scrambleMethod
           && m_scrambleMask == other.m_scrambleMask && m_stunnelPort == other.m_stunnelPort;
}

bool OpenVpnConfigCipher::operator!=(const OpenVpnConfigCipher &other) const
{
    return !(*this == other);
}
