#pragma once

#include "catalogue/AbstractConfigCipher.h"
#include "catalogue/BackendOpenVPNConfigCipher.h"

#include <QMetaType>
#include <QStringList>

// One cipher offer of a site: a cipher label with the cipher names it
// accepts, protocol and port, auth digest, TLS key file, default flag,
// scramble (stealth) parameters and stunnel port. Validated when built,
// immutable afterwards; only the default-constructed offer is invalid.
class OpenVpnConfigCipher : public AbstractConfigCipher
{
public:
    // The cipher used when a choice names no usable cipher.
    static const QString defaultCipherStr;

    OpenVpnConfigCipher();
    // Both throw std::invalid_argument for a bad port, a protocol other than
    // "UDP"/"TCP", a bad stunnel port, or both a tls-crypt and a tls-key file.
    OpenVpnConfigCipher(const QString &cipher, const QString &protocol, int port, const QString &auth,
                        const QString &tlsCrypt, const QString &tlsKey, bool isDefault, const QString &scrambleMethod,
                        const QString &scrambleMask, int stunnelPort);
    OpenVpnConfigCipher(const QString &cipher, const QStringList &ciphers, const QString &protocol, int port,
                        const QString &auth, const QString &tlsCrypt, const QString &tlsKey, bool isDefault,
                        const QString &scrambleMethod, const QString &scrambleMask, int stunnelPort);

    bool isValid() const override;
    QString getCipher() const override;
    int getPort() const override;
    QString getProtocol() const override;
    QString getAuth() const override;
    QString getAuthName() const override;
    QString getTlskey() const override;
    // "label | digest | Stealth", the digest and the stealth mark only when present.
    QString getDisplayName() const override;
    bool isDefault() const override;
    bool isHardCodedDefault() const override;
    QString getScrambleMethod() const override;
    QString getScrambleMask() const override;
    bool isStealth() const override;

    QStringList getCiphers() const;
    QString getTlsCrypt() const;
    bool hasSTunnelPort() const;
    int getStunnelPort() const;
    // "port ( digest ) | Stealth", the digest and the stealth mark only when present.
    QString getDisplayPortAuthStealthName() const;

    BackendOpenVPNConfigCipher toBackendOpenVPNConfigCipher() const;

    // The default flag takes no part.
    bool operator==(const OpenVpnConfigCipher &other) const;
    bool operator!=(const OpenVpnConfigCipher &other) const;

private:
    bool m_valid = false;
    QString m_cipher;
    QStringList m_ciphers;
    int m_port = 0;
    QString m_protocol;
    QString m_auth;
    QString m_tlsCrypt;
    QString m_tlsKey;
    bool m_default = false;
    QString m_scrambleMethod;
    QString m_scrambleMask;
    int m_stunnelPort = 0;
};

Q_DECLARE_METATYPE(OpenVpnConfigCipher)
