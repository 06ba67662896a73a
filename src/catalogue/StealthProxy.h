#pragma once

#include <QString>

// One shadowsocks server of the catalogue through which a stealth connection
// is tunnelled. Construction validates the port and the host and throws
// std::invalid_argument / std::range_error when either is bad.
class StealthProxy
{
public:
    enum HostKind { NONE = 0, HOSTNAME = 1, IPV4_ADDRESS = 2 };

    StealthProxy(const QString &countryCode, const QString &city, const QString &host, const QString &port,
                 const QString &password, const QString &method);

    // Country code, "-", city: what the preferences store for the chosen proxy.
    QString getId() const;

    QString getCountryCode() const;
    QString getCity() const;
    QString getHost() const;
    HostKind getHostKind() const;
    quint16 getPort() const;
    QString getPassword() const;
    QString getMethod() const;

    static quint16 check_port(const QString &port);

private:
    void setHostnameOrAddress(const QString &host);

    QString m_countryCode;
    QString m_city;
    QString m_host;
    HostKind m_hostKind = NONE;
    quint16 m_port = 0;
    QString m_password;
    QString m_method;
};
