#pragma once
#include <QString>

// The engine's control-channel TLS text ("TLSv1.2") and its form for users ("v1.2").
class OpenVpnConfigTls
{
public:
    explicit OpenVpnConfigTls(const QString &tls = QString());

    // "n/a" unless the text begins with "TLSv".
    QString getTlsVersion() const;
    // TLS 1.3 allows only key exchanges with forward secrecy.
    bool isForwardSecretByProtocol() const;

private:
    QString m_tls;
};
