#include "DriveOptions.h"

#include "openconnect/OpenConnectConnectVia.h"
#include "openvpn/ConnectVia.h"

#include <QCommandLineParser>
#include <QMap>

namespace {
const QMap<QString, DriveOptions::Transport> &transportNames()
{
    static const QMap<QString, DriveOptions::Transport> names {
        {QStringLiteral("udp"), DriveOptions::Transport::Udp},
        {QStringLiteral("tcp"), DriveOptions::Transport::Tcp},
        {QStringLiteral("stealth"), DriveOptions::Transport::Stealth},
        {QStringLiteral("custom"), DriveOptions::Transport::Custom}};
    return names;
}

bool isDirect(DriveOptions::Transport transport)
{
    return transport == DriveOptions::Transport::Udp || transport == DriveOptions::Transport::Tcp;
}
} // namespace

DriveOptions DriveOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption site(QStringLiteral("site"), QString(), QStringLiteral("ID"));
    const QCommandLineOption protocol(QStringLiteral("protocol"), QString(), QStringLiteral("udp|tcp"));
    const QCommandLineOption via(QStringLiteral("via"), QString(), QStringLiteral("udp|tcp|stealth|custom"));
    const QCommandLineOption stunnel(QStringLiteral("stunnel"));
    const QCommandLineOption tunnel(QStringLiteral("tunnel"), QString(), QStringLiteral("openvpn|openconnect"));
    const QCommandLineOption user(QStringLiteral("user"), QString(), QStringLiteral("U"));
    const QCommandLineOption password(QStringLiteral("password"), QString(), QStringLiteral("P"));
    const QCommandLineOption timeout(QStringLiteral("connect-timeout"), QString(), QStringLiteral("S"));
    parser.addOptions({site, protocol, via, stunnel, tunnel, user, password, timeout});

    DriveOptions options;
    if (!parser.parse(QStringList {QStringLiteral("orval-drive")} + arguments)) {
        options.m_error = parser.errorText();
        return options;
    }
    if (!parser.positionalArguments().isEmpty()) {
        options.m_error = QStringLiteral("unexpected argument: ") + parser.positionalArguments().first();
        return options;
    }
    options.m_site = parser.value(site);
    if (options.m_site.isEmpty()) {
        options.m_error = QStringLiteral("--site is required");
        return options;
    }

    const QString protocolName = parser.value(protocol);
    if (parser.isSet(protocol) && protocolName != QLatin1String("udp") && protocolName != QLatin1String("tcp")) {
        options.m_error = QStringLiteral("--protocol must be udp or tcp");
        return options;
    }
    const QString viaName = parser.isSet(via) ? parser.value(via) : protocolName;
    if (!viaName.isEmpty() && !transportNames().contains(viaName)) {
        options.m_error = QStringLiteral("--via must be udp, tcp, stealth or custom");
        return options;
    }
    options.m_transport = transportNames().value(viaName, Transport::Udp);
    // The proxies carry TCP only; a direct transport must be the protocol asked for.
    const Transport viaProtocol = isDirect(options.m_transport) ? options.m_transport : Transport::Tcp;
    if (parser.isSet(protocol) && transportNames().value(protocolName) != viaProtocol) {
        options.m_error = QStringLiteral("--protocol %1 contradicts --via %2").arg(protocolName, viaName);
        return options;
    }

    options.m_stunnel = parser.isSet(stunnel);
    const QString tunnelName = parser.value(tunnel);
    if (tunnelName == QLatin1String("openconnect"))
        options.m_tunnel = Tunnel::OpenConnect;
    else if (parser.isSet(tunnel) && tunnelName != QLatin1String("openvpn")) {
        options.m_error = QStringLiteral("--tunnel must be openvpn or openconnect");
        return options;
    }
    if (options.m_stunnel && options.m_tunnel != Tunnel::OpenVpn) {
        options.m_error = QStringLiteral("--stunnel needs the OpenVPN tunnel");
        return options;
    }

    options.m_user = parser.value(user);
    options.m_password = parser.value(password);
    if (parser.isSet(timeout)) {
        bool ok = false;
        options.m_connectTimeout = parser.value(timeout).toInt(&ok);
        if (!ok || options.m_connectTimeout <= 0) {
            options.m_error = QStringLiteral("--connect-timeout must be a positive number of seconds");
            return options;
        }
    }
    return options;
}

QString DriveOptions::usage()
{
    return QStringLiteral("usage: orval-drive --site ID [--protocol udp|tcp] [--via udp|tcp|stealth|custom] "
                          "[--stunnel] [--tunnel openvpn|openconnect] [--user U] [--password P] "
                          "[--connect-timeout S]");
}

const ConnectVia &DriveOptions::openVpnVia() const
{
    switch (m_transport) {
    case Transport::Tcp: return ConnectVia::TCP();
    case Transport::Stealth: return ConnectVia::TCP_WITH_STEALTH_PROXY();
    case Transport::Custom: return ConnectVia::TCP_WITH_CUSTOM_PROXY();
    case Transport::Udp: break;
    }
    return ConnectVia::UDP();
}

const OpenConnectConnectVia &DriveOptions::openConnectVia() const
{
    switch (m_transport) {
    case Transport::Tcp: return OpenConnectConnectVia::TCP();
    case Transport::Stealth: return OpenConnectConnectVia::TCP_WITH_STEALTH_PROXY();
    case Transport::Custom: return OpenConnectConnectVia::TCP_WITH_CUSTOM_PROXY();
    case Transport::Udp: break;
    }
    return OpenConnectConnectVia::UDP();
}
