#pragma once

#include <QString>

// The validated cipher set-up of one OpenVPN connection: the one cipher name
// chosen, port, auth digest, TLS key material, scramble parameters and
// stunnel port. The default value is the invalid one.
class BackendOpenVPNConfigCipher
{
public:
    BackendOpenVPNConfigCipher() = default;
    // Throws std::invalid_argument for a bad port, a bad stunnel port, or both
    // a tls-crypt and a tls-key file.
    BackendOpenVPNConfigCipher(const QString &cipher, int port, const QString &auth, const QString &tlsCrypt,
                               const QString &tlsKey, const QString &scrambleMethod, const QString &scrambleMask,
                               int stunnelPort);

    // As the constructor, but bad values give the invalid value and a debug line.
    static BackendOpenVPNConfigCipher createBackendOpenVpnConfigCipher(const QString &cipher, int port,
                                                                       const QString &auth, const QString &tlsCrypt,
                                                                       const QString &tlsKey,
                                                                       const QString &scrambleMethod,
                                                                       const QString &scrambleMask, int stunnelPort);

    bool isValid() const;
    QString getCipher() const;
    int getPort() const;
    QString getAuth() const;
    // The auth digest, or "SHA1" (the engine's default) when none is set.
    QString getAuthName() const;
    QString getTlsCrypt() const;
    QString getTlskey() const;
    QString getScrambleMethod() const;
    QString getScrambleMask() const;
    int getStunnelPort() const;
    bool hasSTunnelPort() const;
    bool isStealth() const;

    QString toInfoString() const;

    bool operator==(const BackendOpenVPNConfigCipher &other) const;
    bool operator!=(const BackendOpenVPNConfigCipher &other) const;

private:
    bool m_valid = false;
    QString m_cipher;
    int m_port = 0;
    QString m_auth;
    QString m_tlsCrypt;
    QString m_tlsKey;
    QString m_scrambleMethod;
    QString m_scrambleMask;
    int m_stunnelPort = 0;
};
