#include "openvpn/STunnelHandler.h"

#include "core/ErrorMessage.h"
#include "core/IpPoolList.h"
#include "core/OpenVpnGenericState.h"
#include "core/VpnFrontend.h"
#include "core/VpnStateTracker.h"
#include "openvpn/EngineLogging.h"
#include "openvpn/LocalPortProbe.h"
#include "openvpn/Remote.h"
#include "openvpn/RemoteLock.h"
#include "system/OsAbstraction.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QStandardPaths>

namespace {
const QString LOOPBACK = QStringLiteral("127.0.0.1");
const QString START_ERROR = QStringLiteral("Error while starting STunnel");
} // namespace

STunnelHandler::STunnelHandler(OsAbstraction &os, QSharedPointer<ConnectionParameters> parameters,
                               IpPoolList &ipPoolList, int stunnelPort, VpnFrontend &frontend,
                               VpnStateTracker &stateTracker)
    : m_os(os)
    , m_parameters(std::move(parameters))
    , m_ipPoolList(ipPoolList)
    , m_stunnelPort(stunnelPort)
    , m_localPort(LocalPortProbe::freePort())
    , m_successPattern(QStringLiteral("Configuration successful"))
    , m_errorPattern(QStringLiteral("[!]"))
    , m_frontend(frontend)
    , m_stateTracker(stateTracker)
    , m_program(QCoreApplication::applicationDirPath() + QStringLiteral("/../Helpers/stunnel"))
{
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &STunnelHandler::processStandardOutput);
    connect(&m_process, &QProcess::readyReadStandardError, this, &STunnelHandler::processStandardError);
    connect(&m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &STunnelHandler::onSTunnelProgramFinished);
}

STunnelHandler::~STunnelHandler()
{
    m_process.disconnect(this);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

int STunnelHandler::getLocalPort() const
{
    return m_localPort;
}

void STunnelHandler::setProgram(const QString &newProgram)
{
    m_program = newProgram;
}

QString STunnelHandler::configText(int localPort, const QHostAddress &server, int stunnelPort)
{
    return QStringLiteral("syslog = no\n"
                          "pid =\n"
                          "foreground = yes\n"
                          "[openvpn]\n"
                          "client = yes\n"
                          "accept = 127.0.0.1:%1\n"
                          "connect = %2:%3\n")
        .arg(localPort)
        .arg(server.toString())
        .arg(stunnelPort);
}

QStringList STunnelHandler::arguments(const QString &configPath)
{
    return {configPath};
}

void STunnelHandler::answerWithLocalEndpoint(Remote &remote) const
{
    remote.setHost(LOOPBACK);
    remote.setPort(m_localPort);
}

void STunnelHandler::onRemote(Remote &remote)
{
    if (m_process.state() != QProcess::NotRunning) {
        qCDebug(lcEngine) << "Protecting route to" << m_serverAddress.toString();
        answerWithLocalEndpoint(remote);
        m_os.protectHost(m_serverAddress);
        return;
    }
    m_remoteLock = remote.getRemoteLock();
    qCDebug(lcEngine) << "Protecting route to " << remote.getHost();
    m_serverAddress = m_ipPoolList.getIp();
    if (m_serverAddress.isNull()) {
        qCDebug(lcEngine) << "Error, could not resolve hostname";
        reportError(QStringLiteral("STunnel can't resolve hostname. DNS request failed."), QString());
        abortRemoteLock();
    } else if (m_localPort == 0) {
        failStart(QStringLiteral("No free local port for STunnel"));
    } else {
        m_os.protectHost(m_serverAddress);
        startSTunnel();
    }
    answerWithLocalEndpoint(remote);
}

void STunnelHandler::startSTunnel()
{
    const QString dirPath =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/configs");
    if (!QDir().mkpath(dirPath)) {
        failStart(QStringLiteral("Can not create configs directory"));
        return;
    }
    m_configFile.setFileName(QDir(dirPath).absolutePath() + QStringLiteral("/STunnel.conf"));
    if (!m_configFile.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        qCDebug(lcEngine) << "Error opening STunnel config file: " << m_configFile.error();
        qCDebug(lcEngine) << "Can't create STunnel config file. Bailing out...";
        failStart(QStringLiteral("STunnel config file could not be created."));
        return;
    }
    m_configFile.write(configText(m_localPort, m_serverAddress, m_stunnelPort).toUtf8());
    m_configFile.close();

    m_stdoutLines = LineSplitter();
    m_stderrLines = LineSplitter();
    const QStringList args = arguments(m_configFile.fileName());
    qCDebug(lcEngine) << "Starting STunnel:" << m_program << args;
    m_process.start(m_program, args, QIODevice::ReadWrite);
    if (!m_process.waitForStarted(30000))
        failStart(QStringLiteral("STunnel could not be started"));
}

void STunnelHandler::failStart(const QString &informativeText)
{
    qCDebug(lcEngine) << "Can't start STunnel.";
    reportError(START_ERROR, informativeText);
    abortRemoteLock();
}

void STunnelHandler::reportError(const QString &message, const QString &informativeText)
{
    m_frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(m_parameters, message, informativeText));
}

void STunnelHandler::abortRemoteLock()
{
    if (m_remoteLock)
        m_remoteLock->abort();
    else
        qCDebug(lcEngine) << "RemoteLock vanished";
}

void STunnelHandler::processStandardOutput()
{
    const QByteArray bytes = m_process.readAllStandardOutput();
    qCDebug(lcEngine) << "STunnel:" << bytes;
    for (const QByteArray &line : m_stdoutLines.feed(bytes))
        processBuffer(line);
}

void STunnelHandler::processStandardError()
{
    const QByteArray bytes = m_process.readAllStandardError();
    qCDebug(lcEngine) << "STunnel:" << bytes;
    for (const QByteArray &line : m_stderrLines.feed(bytes))
        processBuffer(line);
}

void STunnelHandler::processBuffer(const QByteArray &line)
{
    const QString text =
        QString::fromLatin1(line.constData(), static_cast<int>(qstrnlen(line.constData(), line.size())));
    if (m_errorPattern.match(text).hasMatch()) {
        reportError(QStringLiteral("STunnel Error."), QStringLiteral("Error line: ") + text);
        m_configFile.remove();
        abortRemoteLock();
    } else if (m_successPattern.match(text).hasMatch()) {
        qCDebug(lcEngine) << "STunnel started successfully and is listening at port " << m_localPort;
        m_configFile.remove();
        if (m_remoteLock)
            m_remoteLock->release();
        else
            qCDebug(lcEngine) << "RemoteLock vanished";
    }
}

void STunnelHandler::onSTunnelProgramFinished()
{
    if (m_remoteLock)
        m_remoteLock->abort();
}

void STunnelHandler::onState(const OpenVpnGenericState &state)
{
    m_stateTracker.updateState(state.name, state.cause, state.localIp,
                               m_serverAddress.isNull() ? QString() : m_serverAddress.toString());
}

void STunnelHandler::onOpenVpnTerminated()
{
    qCDebug(lcEngine) << "STunnelHandler: engine ended, stopping STunnel";
    m_process.kill();
    m_process.waitForFinished(5000);
    if (m_remoteLock)
        m_remoteLock->abort();
    m_os.releaseHost(m_serverAddress);
}
