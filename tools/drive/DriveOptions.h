#pragma once

#include <QString>
#include <QStringList>

class ConnectVia;
class OpenConnectConnectVia;

// The driver's command line: which site to reach, how, and with which
// credentials. Preferences are not options: they come from the settings file.
class DriveOptions
{
public:
    enum class Transport { Udp, Tcp, Stealth, Custom };
    enum class Tunnel { OpenVpn, OpenConnect };

    // Parses the arguments (without the program name). On failure the result
    // is invalid and error() says why.
    static DriveOptions parse(const QStringList &arguments);
    static QString usage();

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    QString site() const { return m_site; }
    Transport transport() const { return m_transport; }
    bool stunnel() const { return m_stunnel; }
    Tunnel tunnel() const { return m_tunnel; }
    QString user() const { return m_user; }
    QString password() const { return m_password; }
    // Seconds a start may take to reach CONNECTED; 0 waits for ever.
    int connectTimeout() const { return m_connectTimeout; }

    const ConnectVia &openVpnVia() const;
    const OpenConnectConnectVia &openConnectVia() const;

private:
    QString m_error;
    QString m_site;
    Transport m_transport = Transport::Udp;
    bool m_stunnel = false;
    Tunnel m_tunnel = Tunnel::OpenVpn;
    QString m_user;
    QString m_password;
    int m_connectTimeout = 0;
};
