#include "openvpn/ShadowSocksLauncher.h"

#include "backend/ErrorMessage.h"
#include "backend/VpnFrontend.h"
#include "catalogue/HalvorixConfig.h"
#include "openvpn/AbstractVpnCommand.h"
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
}

ShadowSocksLauncher::ShadowSocksLauncher(OsAbstraction& os, QSharedPointer<ConnectionParameters> parameters,
                                         VpnFrontend& frontend)
    : os(os)
    , parameters(std::move(parameters))
    , localPort(LocalPortProbe::freePort())
    , listeningPattern(QStringLiteral("listening at 127\\.0\\.0\\.1:(\\d+)"))
    , frontend(frontend)
    , program(QCoreApplication::applicationDirPath() + QStringLiteral("/../Helpers/ss-local"))
    , proxySource(&HalvorixConfig::getStealthProxies)
{
    startTimer.setSingleShot(true);
    startTimer.setInterval(START_TIMEOUT_MS);
    settleTimer.setSingleShot(true);
    settleTimer.setInterval(SETTLE_MS);
    connect(&startTimer, &QTimer::timeout, this, [this] {
        qDebug() << "ShadowSocks did not report listening in time. Bailing out...";
        fail(NOT_STARTED);
    });
    connect(&settleTimer, &QTimer::timeout, this, &ShadowSocksLauncher::onListening);
    connect(&process, &QProcess::readyReadStandardOutput, this, &ShadowSocksLauncher::processStandardOutput);
    connect(&process, &QProcess::readyReadStandardError, this, &ShadowSocksLauncher::processStandardError);
    connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &ShadowSocksLauncher::onProcessFinished);
}

ShadowSocksLauncher::~ShadowSocksLauncher()
{
    process.disconnect(this);
    stopProcess();
}

int ShadowSocksLauncher::getLocalPort() const
{
    return localPort;
}

void ShadowSocksLauncher::setProgram(const QString& newProgram)
{
    program = newProgram;
}

void ShadowSocksLauncher::setProxySource(std::function<QList<StealthProxy>()> source)
{
    proxySource = std::move(source);
}

void ShadowSocksLauncher::setStartTimeout(int milliseconds)
{
    startTimer.setInterval(milliseconds);
}

QList<StealthProxy> ShadowSocksLauncher::chooseStealthProxy(const QList<StealthProxy>& proxies,
                                                            const QString& preferredId)
{
    if (proxies.isEmpty()) {
        qDebug() << "List of stealth proxies is empty!";
        return {};
    }
    for (const StealthProxy& proxy : proxies) {
        if (proxy.getId() == preferredId)
            return { proxy };
    }
    return { proxies.first() };
}

QListIterator<StealthProxy> ShadowSocksLauncher::getCurrentStealthProxy()
{
    return QListIterator<StealthProxy>(chooseStealthProxy(HalvorixConfig::getStealthProxies(),
                                                          Settings().getStealthProxyId()));
}

QJsonDocument ShadowSocksLauncher::configDocument(const QHostAddress& server, quint16 serverPort, int localPort,
                                                  const QString& password, const QString& method)
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

QStringList ShadowSocksLauncher::arguments(const QString& configPath)
{
    return { QStringLiteral("-c"), configPath };
}

void ShadowSocksLauncher::onOpenVpnPrepareArguments(AbstractVpnCommand& command)
{
    command.setSocks5Proxy(QStringLiteral("127.0.0.1"), QString::number(localPort));
}

void ShadowSocksLauncher::onHold(Hold& hold)
{
    if (hold.getNumber() != 0) {
        qDebug() << "Protecting route to" << serverAddress.toString();
        os.protectHost(serverAddress);
        return;
    }
    const QList<StealthProxy> chosen = chooseStealthProxy(proxySource(), Settings().getStealthProxyId());
    // Every path holds the engine until ss-local owns its port or has failed.
    holdLock = hold();
    if (chosen.isEmpty()) {
        holdLock->abort();
        return;
    }
    const StealthProxy& proxy = chosen.first();
    password = proxy.getPassword();
    method = proxy.getMethod();
    serverPort = proxy.getPort();
    if (proxy.getHostKind() == StealthProxy::HOSTNAME) {
        qDebug() << "Need to resolve host name" << proxy.getHost();
        serverAddress = QHostAddress();
        QHostInfo::lookupHost(proxy.getHost(), this, SLOT(hostnameLookedUp(QHostInfo)));
        return;
    }
    serverAddress = QHostAddress(proxy.getHost());
    startShadowSocks();
}

void ShadowSocksLauncher::hostnameLookedUp(const QHostInfo& info)
{
    if (!holdLock) {
        qDebug() << "DNS lookup returned with success, but hold lock has vanished...";
        return;
    }
    if (info.error() != QHostInfo::NoError) {
        qDebug() << "DNS lookup returned with error " << info.error() << ", aborting hold";
        frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(
            parameters, QStringLiteral("Stealth Proxy can't resolve stealth proxy. DNS request failed."), QString()));
        holdLock->abort();
        return;
    }
    if (info.addresses().isEmpty()) {
        qDebug() << "DNS lookup returned with success, but no address returned, aborting hold";
        holdLock->abort();
        return;
    }
    qDebug() << "DNS lookup returned with success, starting ShadowSocks";
    serverAddress = info.addresses().first();
    startShadowSocks();
}

void ShadowSocksLauncher::startShadowSocks()
{
    if (localPort == 0) {
        qDebug() << "No free local port for ShadowSocks.";
        fail(NOT_STARTED);
        return;
    }
    configFile.reset(new QTemporaryFile);
    if (!configFile->open()) {
        qDebug() << "Error opening ShadowSocks config file: " << configFile->error()
                 << "Can't create ShadowSocks config file. Bailing out...";
        fail(QStringLiteral("ShadowSocks config file could not be created."));
        return;
    }
    configFile->write(configDocument(serverAddress, serverPort, localPort, password, method)
                          .toJson(QJsonDocument::Indented));
    configFile->close();

    stdoutLines = LineSplitter();
    stderrLines = LineSplitter();
    const QStringList args = arguments(configFile->fileName());
    qDebug() << "Starting ShadowSocks:" << program << args;
    os.protectHost(serverAddress);
    process.start(program, args, QIODevice::ReadWrite);
    if (!process.waitForStarted(START_TIMEOUT_MS)) {
        qDebug() << "Can't start ShadowSocks.";
        fail(NOT_STARTED);
        return;
    }
    startTimer.start();
}

void ShadowSocksLauncher::processStandardOutput()
{
    const QByteArray bytes = process.readAllStandardOutput();
    qDebug() << "ShadowSocks:" << bytes;
    for (const QByteArray& line : stdoutLines.feed(bytes))
        processBuffer(line);
}

void ShadowSocksLauncher::processStandardError()
{
    const QByteArray bytes = process.readAllStandardError();
    qDebug() << "ShadowSocks:" << bytes;
    for (const QByteArray& line : stderrLines.feed(bytes))
        processBuffer(line);
}

void ShadowSocksLauncher::processBuffer(const QByteArray& line)
{
    const QString text =
        QString::fromLatin1(line.constData(), static_cast<int>(qstrnlen(line.constData(), line.size())));
    if (!startTimer.isActive())
        return;
    if (text.contains(QLatin1String("error while loading shared libraries"))) {
        fail(QStringLiteral("Shared libraries are missing"));
    } else if (text.contains(QLatin1String("ERROR: bind")) || text.contains(QLatin1String("TCP server listen failed."))) {
        qDebug() << "ShadowSocks could not bind listening port. Bailing out...";
        fail(NOT_STARTED);
    } else if (listeningPattern.match(text).hasMatch()) {
        settleTimer.start();
    }
}

void ShadowSocksLauncher::onListening()
{
    if (!startTimer.isActive())
        return;
    if (process.state() != QProcess::Running) {
        fail(NOT_STARTED);
        return;
    }
    qDebug() << "ShadowSocks started successfully and is listening at TCP port " << localPort;
    if (holdLock)
        holdLock->release();
    else
        qDebug() << "HoldLock vanished";
    endWait();
}

void ShadowSocksLauncher::onProcessFinished()
{
    if (startTimer.isActive()) {
        qDebug() << "ShadowSocks ended before it listened.";
        fail(NOT_STARTED);
    }
}

void ShadowSocksLauncher::fail(const QString& informativeText)
{
    frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(parameters, START_ERROR, informativeText));
    abortHoldLock();
    endWait();
    if (process.state() != QProcess::NotRunning)
        process.kill();
}

void ShadowSocksLauncher::abortHoldLock()
{
    if (holdLock)
        holdLock->abort();
    else
        qDebug() << "HoldLock vanished";
}

void ShadowSocksLauncher::endWait()
{
    startTimer.stop();
    settleTimer.stop();
    configFile.reset();
    emit releaseLock();
}

void ShadowSocksLauncher::stopProcess()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.kill();
    process.waitForFinished(5000);
}

void ShadowSocksLauncher::onOpenVpnFailedToStart()
{
    qDebug() << "ShadowSocksLauncher: engine failed to start, stopping ShadowSocks";
    if (startTimer.isActive())
        abortHoldLock();
    endWait();
    stopProcess();
}

void ShadowSocksLauncher::onOpenVpnTerminated()
{
    qDebug() << "ShadowSocksLauncher: engine ended, stopping ShadowSocks";
    if (startTimer.isActive())
        abortHoldLock();
    endWait();
    stopProcess();
    if (!serverAddress.isNull())
        os.releaseHost(serverAddress);
}
