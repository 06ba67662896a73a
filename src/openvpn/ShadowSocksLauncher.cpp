#include "openvpn/ShadowSocksLauncher.h"

#include "catalogue/HalvorixConfig.h"
#include "core/ErrorMessage.h"
#include "core/VpnFrontend.h"
#include "openvpn/AbstractVpnCommand.h"
#include "openvpn/EngineLogging.h"
#include "openvpn/Hold.h"
#include "openvpn/HoldLock.h"
#include "openvpn/LocalPortProbe.h"
#include "prefs/Settings.h"
#include "system/OsAbstraction.h"

#include <QCoreApplication>
#include <QDebug>
#include <QJsonObject>

namespace {
const QString START_ERROR = QStringLiteral("Error while starting Stealth Proxy");
const QString NOT_STARTED = QStringLiteral("ss-local could not be started");
} // namespace

ShadowSocksLauncher::ShadowSocksLauncher(OsAbstraction &os, QSharedPointer<ConnectionParameters> parameters,
                                         VpnFrontend &frontend)
    : m_os(os)
    , m_parameters(std::move(parameters))
    , m_localPort(LocalPortProbe::freePort())
    , m_listeningPattern(QStringLiteral("listening at 127\\.0\\.0\\.1:(\\d+)"))
    , m_frontend(frontend)
    , m_program(QCoreApplication::applicationDirPath() + QStringLiteral("/../Helpers/ss-local"))
    , m_proxySource(&HalvorixConfig::getStealthProxies)
{
    m_startTimer.setSingleShot(true);
    m_startTimer.setInterval(START_TIMEOUT_MS);
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setInterval(SETTLE_MS);
    connect(&m_startTimer, &QTimer::timeout, this, [this] {
        qCDebug(lcEngine) << "ShadowSocks did not report listening in time. Bailing out...";
        fail(NOT_STARTED);
    });
    connect(&m_settleTimer, &QTimer::timeout, this, &ShadowSocksLauncher::onListening);
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &ShadowSocksLauncher::processStandardOutput);
    connect(&m_process, &QProcess::readyReadStandardError, this, &ShadowSocksLauncher::processStandardError);
    connect(&m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &ShadowSocksLauncher::onProcessFinished);
}

ShadowSocksLauncher::~ShadowSocksLauncher()
{
    m_process.disconnect(this);
    stopProcess();
}

int ShadowSocksLauncher::getLocalPort() const
{
    return m_localPort;
}

void ShadowSocksLauncher::setProgram(const QString &newProgram)
{
    m_program = newProgram;
}

void ShadowSocksLauncher::setProxySource(std::function<QList<StealthProxy>()> source)
{
    m_proxySource = std::move(source);
}

void ShadowSocksLauncher::setStartTimeout(int milliseconds)
{
    m_startTimer.setInterval(milliseconds);
}

QList<StealthProxy> ShadowSocksLauncher::chooseStealthProxy(const QList<StealthProxy> &proxies,
                                                            const QString &preferredId)
{
    if (proxies.isEmpty()) {
        qCDebug(lcEngine) << "List of stealth proxies is empty!";
        return {};
    }
    for (const StealthProxy &proxy : proxies) {
        if (proxy.getId() == preferredId)
            return {proxy};
    }
    return {proxies.first()};
}

QListIterator<StealthProxy> ShadowSocksLauncher::getCurrentStealthProxy()
{
    return QListIterator<StealthProxy>(
        chooseStealthProxy(HalvorixConfig::getStealthProxies(), Settings().getStealthProxyId()));
}

QJsonDocument ShadowSocksLauncher::configDocument(const QHostAddress &server, quint16 serverPort, int localPort,
                                                  const QString &password, const QString &method)
{
    QJsonObject config;
    config.insert(QStringLiteral("server"), server.toString());
    config.insert(QStringLiteral("server_port"), serverPort);
    config.insert(QStringLiteral("local_address"), QStringLiteral("127.0.0.1"));
    config.insert(QStringLiteral("local_port"), localPort);
    config.insert(QStringLiteral("timeout"), 300);
    config.insert(QStringLiteral("password"), password);
    config.insert(QStringLiteral("method"), method);
    config.insert(QStringLiteral("fast_open"), false);
    config.insert(QStringLiteral("workers"), 1);
    return QJsonDocument(config);
}

QStringList ShadowSocksLauncher::arguments(const QString &configPath)
{
    return {QStringLiteral("-c"), configPath};
}

void ShadowSocksLauncher::onOpenVpnPrepareArguments(AbstractVpnCommand &command)
{
    command.setSocks5Proxy(QStringLiteral("127.0.0.1"), QString::number(m_localPort));
}

void ShadowSocksLauncher::onHold(Hold &hold)
{
    if (hold.getNumber() != 0) {
        qCDebug(lcEngine) << "Protecting route to" << m_serverAddress.toString();
        m_os.protectHost(m_serverAddress);
        return;
    }
    const QList<StealthProxy> chosen = chooseStealthProxy(m_proxySource(), Settings().getStealthProxyId());
    // Every path holds the engine until ss-local owns its port or has failed.
    m_holdLock = hold();
    if (chosen.isEmpty()) {
        m_holdLock->abort();
        return;
    }
    const StealthProxy &proxy = chosen.first();
    m_password = proxy.getPassword();
    m_method = proxy.getMethod();
    m_serverPort = proxy.getPort();
    if (proxy.getHostKind() == StealthProxy::HOSTNAME) {
        qCDebug(lcEngine) << "Need to resolve host name" << proxy.getHost();
        m_serverAddress = QHostAddress();
        QHostInfo::lookupHost(proxy.getHost(), this, &ShadowSocksLauncher::hostnameLookedUp);
        return;
    }
    m_serverAddress = QHostAddress(proxy.getHost());
    startShadowSocks();
}

void ShadowSocksLauncher::hostnameLookedUp(const QHostInfo &info)
{
    if (!m_holdLock) {
        qCDebug(lcEngine) << "DNS lookup returned with success, but hold lock has vanished...";
        return;
    }
    if (info.error() != QHostInfo::NoError) {
        qCDebug(lcEngine) << "DNS lookup returned with error " << info.error() << ", aborting hold";
        m_frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(
            m_parameters, QStringLiteral("Stealth Proxy can't resolve stealth proxy. DNS request failed."), QString()));
        m_holdLock->abort();
        return;
    }
    if (info.addresses().isEmpty()) {
        qCDebug(lcEngine) << "DNS lookup returned with success, but no address returned, aborting hold";
        m_holdLock->abort();
        return;
    }
    qCDebug(lcEngine) << "DNS lookup returned with success, starting ShadowSocks";
    m_serverAddress = info.addresses().first();
    startShadowSocks();
}

void ShadowSocksLauncher::startShadowSocks()
{
    if (m_localPort == 0) {
        qCDebug(lcEngine) << "No free local port for ShadowSocks.";
        fail(NOT_STARTED);
        return;
    }
    m_configFile.reset(new QTemporaryFile);
    if (!m_configFile->open()) {
        qCDebug(lcEngine) << "Error opening ShadowSocks config file: " << m_configFile->error()
                          << "Can't create ShadowSocks config file. Bailing out...";
        fail(QStringLiteral("ShadowSocks config file could not be created."));
        return;
    }
    m_configFile->write(configDocument(m_serverAddress, m_serverPort, m_localPort, m_password, m_method)
                            .toJson(QJsonDocument::Indented));
    m_configFile->close();

    m_stdoutLines = LineSplitter();
    m_stderrLines = LineSplitter();
    const QStringList args = arguments(m_configFile->fileName());
    qCDebug(lcEngine) << "Starting ShadowSocks:" << m_program << args;
    m_os.protectHost(m_serverAddress);
    m_process.start(m_program, args, QIODevice::ReadWrite);
    if (!m_process.waitForStarted(START_TIMEOUT_MS)) {
        qCDebug(lcEngine) << "Can't start ShadowSocks.";
        fail(NOT_STARTED);
        return;
    }
    m_startTimer.start();
}

void ShadowSocksLauncher::processStandardOutput()
{
    const QByteArray bytes = m_process.readAllStandardOutput();
    qCDebug(lcEngine) << "ShadowSocks:" << bytes;
    for (const QByteArray &line : m_stdoutLines.feed(bytes))
        processBuffer(line);
}

void ShadowSocksLauncher::processStandardError()
{
    const QByteArray bytes = m_process.readAllStandardError();
    qCDebug(lcEngine) << "ShadowSocks:" << bytes;
    for (const QByteArray &line : m_stderrLines.feed(bytes))
        processBuffer(line);
}

void ShadowSocksLauncher::processBuffer(const QByteArray &line)
{
    const QString text =
        QString::fromLatin1(line.constData(), static_cast<int>(qstrnlen(line.constData(), line.size())));
    if (!m_startTimer.isActive())
        return;
    if (text.contains(QLatin1String("error while loading shared libraries"))) {
        fail(QStringLiteral("Shared libraries are missing"));
    } else if (text.contains(QLatin1String("ERROR: bind"))
               || text.contains(QLatin1String("TCP server listen failed."))) {
        qCDebug(lcEngine) << "ShadowSocks could not bind listening port. Bailing out...";
        fail(NOT_STARTED);
    } else if (m_listeningPattern.match(text).hasMatch()) {
        m_settleTimer.start();
    }
}

void ShadowSocksLauncher::onListening()
{
    if (!m_startTimer.isActive())
        return;
    if (m_process.state() != QProcess::Running) {
        fail(NOT_STARTED);
        return;
    }
    qCDebug(lcEngine) << "ShadowSocks started successfully and is listening at TCP port " << m_localPort;
    if (m_holdLock)
        m_holdLock->release();
    else
        qCDebug(lcEngine) << "HoldLock vanished";
    endWait();
}

void ShadowSocksLauncher::onProcessFinished()
{
    if (m_startTimer.isActive()) {
        qCDebug(lcEngine) << "ShadowSocks ended before it listened.";
        fail(NOT_STARTED);
    }
}

void ShadowSocksLauncher::fail(const QString &informativeText)
{
    m_frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(m_parameters, START_ERROR, informativeText));
    abortHoldLock();
    endWait();
    if (m_process.state() != QProcess::NotRunning)
        m_process.kill();
}

void ShadowSocksLauncher::abortHoldLock()
{
    if (m_holdLock)
        m_holdLock->abort();
    else
        qCDebug(lcEngine) << "HoldLock vanished";
}

void ShadowSocksLauncher::endWait()
{
    m_startTimer.stop();
    m_settleTimer.stop();
    m_configFile.reset();
    emit releaseLock();
}

void ShadowSocksLauncher::stopProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(5000);
}

void ShadowSocksLauncher::onOpenVpnFailedToStart()
{
    qCDebug(lcEngine) << "ShadowSocksLauncher: engine failed to start, stopping ShadowSocks";
    if (m_startTimer.isActive())
        abortHoldLock();
    endWait();
    stopProcess();
}

void ShadowSocksLauncher::onOpenVpnTerminated()
{
    qCDebug(lcEngine) << "ShadowSocksLauncher: engine ended, stopping ShadowSocks";
    if (m_startTimer.isActive())
        abortHoldLock();
    endWait();
    stopProcess();
    if (!m_serverAddress.isNull())
        m_os.releaseHost(m_serverAddress);
}
