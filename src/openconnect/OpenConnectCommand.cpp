#include "openconnect/OpenConnectCommand.h"

#include "helper/CommandWords.h"
#include "openvpn/EngineLogging.h"
#include "prefs/Settings.h"
#include "system/OsAbstraction.h"
#include "system/StelvaneSecurityCheck.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcess>

namespace {

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// An IPv6 literal needs brackets in a URL, or its colons read as the port.
QString urlHost(const QString &host)
{
    return host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
}

} // namespace

OpenConnectCommand::OpenConnectCommand(OsAbstraction &os, const QString &host, int port,
                                       HalvorixServerSite::Protocol protocol, int cmdFdPort, int cmdFdWritePort,
                                       int reconnectTimeout)
    : m_os(os)
    , m_host(host)
    , m_port(port)
    , m_protocol(protocol)
    , m_cmdFdPort(cmdFdPort)
    , m_cmdFdWritePort(cmdFdWritePort)
    , m_reconnectTimeout(reconnectTimeout)
{
}

QString OpenConnectCommand::getProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../Helpers/Stelvane");
}

QStringList OpenConnectCommand::helperArguments(const QString &applicationDir, const QString &host, int port,
                                                HalvorixServerSite::Protocol protocol, int cmdFdPort,
                                                int cmdFdWritePort, int reconnectTimeout)
{
    return {QLatin1String(stelvane::command::OPEN_CONNECT),
            QFileInfo(applicationDir + QStringLiteral("/../Helpers/openconnect")).canonicalFilePath(),
            QStringLiteral("https://%1:%2/").arg(urlHost(host)).arg(port),
            boolText(true),
            QString::number(cmdFdPort),
            QString::number(cmdFdWritePort),
            QFileInfo(applicationDir + QStringLiteral("/../Resources/app/bin/vpnc-script")).canonicalFilePath(),
            boolText(protocol == HalvorixServerSite::TCP),
            QString::number(reconnectTimeout)};
}

QStringList OpenConnectCommand::getArgumentsMacOSX() const
{
    return helperArguments(QCoreApplication::applicationDirPath(), m_host, m_port, m_protocol, m_cmdFdPort,
                           m_cmdFdWritePort, m_reconnectTimeout);
}

void OpenConnectCommand::start(QProcess &process)
{
    const QString program = getProgram();
    const QStringList arguments = getArgumentsMacOSX();
    qCDebug(lcEngine) << "Starting " << program << " with arguments " << arguments;
    new StelvaneSecurityCheck(&process, engineSecretLine());
    process.start(program, arguments, QIODevice::ReadWrite);
}

void OpenConnectCommand::addRemote(const QHostAddress &address)
{
    m_host = address.toString();
}

bool OpenConnectCommand::shouldPreventIpv6Leak()
{
    return Settings().preventIPv6Leak() && m_os.canBindIpv6();
}

void OpenConnectCommand::setProxyDirect()
{
    m_proxyRequested = false;
}

void OpenConnectCommand::setHttpProxy(const QString &, const QString &)
{
    m_proxyRequested = true;
}

void OpenConnectCommand::setSocks5Proxy(const QString &, const QString &)
{
    m_proxyRequested = true;
}

bool OpenConnectCommand::isProxyRequested() const
{
    return m_proxyRequested;
}

QString OpenConnectCommand::getHost() const
{
    return m_host;
}
