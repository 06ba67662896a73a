#include "openvpn/OpenVpnCommand.h"

#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "helper/CommandWords.h"
#include "openvpn/EngineLogging.h"
#include "prefs/MtuPreference.h"
#include "prefs/Settings.h"
#include "system/OsAbstraction.h"
#include "system/StelvaneSecurityCheck.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QHostAddress>
#include <QProcess>

namespace {
OpenVpnCommand::SimulatorStarter &simulatorStarter()
{
    static OpenVpnCommand::SimulatorStarter starter;
    return starter;
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}
} // namespace

OpenVpnCommand::OpenVpnCommand(OsAbstraction &os, const QFileInfo &configFile, int managementPort)
    : m_os(os)
    , m_configFile(configFile)
    , m_managementPort(managementPort)
{
    const Settings settings;
    setProxyFrom(settings);
    setTlsMinimumVersion(settings);
    setOpenVpn243Version();
    m_mtuPreference = settings.getMtuPreference();
}

OpenVpnCommand::~OpenVpnCommand() = default;

QString OpenVpnCommand::getProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../Helpers/Stelvane");
}

void OpenVpnCommand::enableManagementUpDown()
{
    m_managementUpDown = true;
}

bool OpenVpnCommand::shouldPreventIpv6Leak()
{
    return Settings().preventIPv6Leak() && m_os.canBindIpv6();
}

bool OpenVpnCommand::simulatorRequested()
{
    return QString::fromLocal8Bit(qgetenv("WITH_OPENVPN_SIMULATOR")).toLower() == QLatin1String("true");
}

void OpenVpnCommand::setSimulatorStarter(SimulatorStarter starter)
{
    simulatorStarter() = std::move(starter);
}

void OpenVpnCommand::start(QProcess &process)
{
    const QString helper = getProgram();
    const QStringList arguments = getArgumentsMacOSX();
    qCDebug(lcEngine) << "Starting" << helper << "with arguments" << arguments;
    if (simulatorRequested()) {
        if (simulatorStarter()) {
            simulatorStarter()(process, m_managementPort, engineSecret());
        } else {
            // Neither the simulator nor, unasked, the real engine: the run fails visibly.
            qCWarning(lcEngine) << "OpenVpnCommand: the simulator was asked for, but this program has none";
            emit process.errorOccurred(QProcess::FailedToStart);
        }
        return;
    }
    new StelvaneSecurityCheck(&process, engineSecretLine());
    process.start(helper, arguments, QIODevice::ReadWrite);
}

void OpenVpnCommand::enableManagementQueryRemote()
{
    m_managementQueryRemote = true;
}

void OpenVpnCommand::setCipher(const BackendOpenVPNConfigCipher &value)
{
    m_cipher = QStringList {value.getCipher(), value.getAuth(),           value.getTlsCrypt(),
                            value.getTlskey(), value.getScrambleMethod(), value.getScrambleMask()};
}

void OpenVpnCommand::addRemote(const QHostAddress &address)
{
    m_remotes.append(address.toString());
}

void OpenVpnCommand::enablePersistTun()
{
    m_persistTun = true;
}

void OpenVpnCommand::disablePersistTun()
{
    m_persistTun = false;
}

void OpenVpnCommand::setProxyDirect()
{
    // The helper checks the port range for every kind, so a direct connection carries 1.
    setProxy(QStringLiteral("direct"), QString(), QStringLiteral("1"));
}

void OpenVpnCommand::setHttpProxy(const QString &address, const QString &port)
{
    setProxy(QStringLiteral("http"), address, port);
}

void OpenVpnCommand::setSocks5Proxy(const QString &address, const QString &port)
{
    setProxy(QStringLiteral("socks5"), address, port);
}

void OpenVpnCommand::setProxy(const QString &kind, const QString &address, const QString &port)
{
    m_proxy = QStringList {kind, address, port};
}

void OpenVpnCommand::setOpenVpn243Version()
{
    m_program = QCoreApplication::applicationDirPath() + QStringLiteral("/../Helpers/openvpn_v2_4");
}

void OpenVpnCommand::setProxyFrom(const Settings &settings)
{
    if (settings.getProxySettings() != Settings::CUSTOM) {
        // A stealth connection gets its local proxy later, from the shadowsocks launcher.
        setProxyDirect();
        return;
    }
    if (settings.getProxyProtocol() == Settings::SOCKS5)
        setSocks5Proxy(settings.getProxyAddress(), settings.getProxyPort());
    else
        setHttpProxy(settings.getProxyAddress(), settings.getProxyPort());
}

void OpenVpnCommand::setTlsMinimumVersion(const Settings &settings)
{
    m_tlsMinimumVersion = QStringList {settings.getTlsMinimumVersion() == Settings::TLS_1_0 ? QStringLiteral("1.0")
                                                                                            : QStringLiteral("1.2")};
}

QStringList OpenVpnCommand::getArgumentsMacOSX() const
{
    QStringList arguments {QLatin1String(stelvane::command::OPEN_VPN),
                           QFileInfo(m_program).canonicalFilePath(),
                           m_configFile.absoluteDir().absolutePath(),
                           m_configFile.fileName(),
                           QString::number(m_managementPort),
                           boolText(m_managementQueryRemote),
                           boolText(m_managementUpDown)};
    arguments << m_cipher << m_proxy << boolText(m_persistTun) << QString::number(m_remotes.size()) << m_remotes
              << m_tlsMinimumVersion;
    const bool defaultMtu = m_mtuPreference == nullptr || m_mtuPreference->isDefaulMtu();
    arguments << QString::number(defaultMtu ? 0 : m_mtuPreference->getMtu());
    return arguments;
}
