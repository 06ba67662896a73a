#include "openvpn/STunnelHandler.h"

#include "backend/ErrorMessage.h"
#include "backend/IpPoolList.h"
#include "backend/VpnFrontend.h"
#include "backend/VpnStateTracker.h"
#include "openvpn/LocalPortProbe.h"
#include "openvpn/OpenVpnGenericState.h"
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
}

STunnelHandler::STunnelHandler(OsAbstraction& os, QSharedPointer<ConnectionParameters> parameters,
                               IpPoolList& ipPoolList, int stunnelPort, VpnFrontend& frontend,
                               VpnStateTracker& stateTracker)
    : os(os)
    , parameters(std::move(parameters))
    , ipPoolList(ipPoolList)
    , stunnelPort(stunnelPort)
    , localPort(LocalPortProbe::freePort())
    , successPattern(QStringLiteral("Configuration successful"))
    , errorPattern(QStringLiteral("[!]"))
    , frontend(frontend)
    , stateTracker(stateTracker)
    , program(QCoreApplication::applicationDirPath() + QStringLiteral("/../Helpers/stunnel"))
{
    connect(&process, &QProcess::readyReadStandardOutput, this, &STunnelHandler::processStandardOutput);
    connect(&process, &QProcess::readyReadStandardError, this, &STunnelHandler::processStandardError);
    connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &STunnelHandler::onSTunnelProgramFinished);
}

STunnelHandler::~STunnelHandler()
{
    process.disconnect(this);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
}

int STunnelHandler::getLocalPort() const
{
    return localPort;
}

void STunnelHandler::setProgram(const QString& newProgram)
{
    program = newProgram;
}

QString STunnelHandler::configText(int localPort, const QHostAddress& server, int stunnelPort)
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

QStringList STunnelHandler::arguments(const QString& configPath)
{
    return { configPath };
}

void STunnelHandler::answerWithLocalEndpoint(Remote& remote) const
{
    remote.setHost(LOOPBACK);
    remote.setPort(localPort);
}

void STunnelHandler::onRemote(Remote& remote)
{
    if (process.state() != QProcess::NotRunning) {
        qDebug() << "Protecting route to" << serverAddress.toString();
        answerWithLocalEndpoint(remote);
        os.protectHost(serverAddress);
        return;
    }
    remoteLock = remote.getRemoteLock();
    qDebug() << "Protecting route to " << remote.getHost();
    serverAddress = ipPoolList.getIp();
    if (serverAddress.isNull()) {
        qDebug() << "Error, could not resolve hostname";
        reportError(QStringLiteral("STunnel can't resolve hostname. DNS request failed."), QString());
        abortRemoteLock();
    } else if (localPort == 0) {
        failStart(QStringLiteral("No free local port for STunnel"));
    } else {
        os.protectHost(serverAddress);
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
    configFile.setFileName(QDir(dirPath).absolutePath() + QStringLiteral("/STunnel.conf"));
    if (!configFile.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        qDebug() << "Error opening STunnel config file: " << configFile.error();
        qDebug() << "Can't create STunnel config file. Bailing out...";
        failStart(QStringLiteral("STunnel config file could not be created."));
        return;
    }
    configFile.write(configText(localPort, serverAddress, stunnelPort).toUtf8());
    configFile.close();

    stdoutLines = LineSplitter();
    stderrLines = LineSplitter();
    const QStringList args = arguments(configFile.fileName());
    qDebug() << "Starting STunnel:" << program << args;
    process.start(program, args, QIODevice::ReadWrite);
    if (!process.waitForStarted(30000))
        failStart(QStringLiteral("STunnel could not be started"));
}

void STunnelHandler::failStart(const QString& informativeText)
{
    qDebug() << "Can't start STunnel.";
    reportError(START_ERROR, informativeText);
    abortRemoteLock();
}

void STunnelHandler::reportError(const QString& message, const QString& informativeText)
{
    frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(parameters, message, informativeText));
}

void STunnelHandler::abortRemoteLock()
{
    if (remoteLock)
        remoteLock->abort();
    else
        qDebug() << "RemoteLock vanished";
}

void STunnelHandler::processStandardOutput()
{
    const QByteArray bytes = process.readAllStandardOutput();
    qDebug() << "STunnel:" << bytes;
    for (const QByteArray& line : stdoutLines.feed(bytes))
        processBuffer(line);
}

void STunnelHandler::processStandardError()
{
    const QByteArray bytes = process.readAllStandardError();
    qDebug() << "STunnel:" << bytes;
    for (const QByteArray& line : stderrLines.feed(bytes))
        processBuffer(line);
}

void STunnelHandler::processBuffer(const QByteArray& line)
{
    const QString text = QString::fromLatin1(line.constData(), static_cast<int>(qstrnlen(line.constData(), line.size())));
    if (errorPattern.match(text).hasMatch()) {
        reportError(QStringLiteral("STunnel Error."), QStringLiteral("Error line: ") + text);
        configFile.remove();
        abortRemoteLock();
    } else if (successPattern.match(text).hasMatch()) {
        qDebug() << "STunnel started successfully and is listening at port " << localPort;
        configFile.remove();
        if (remoteLock)
            remoteLock->release();
        else
            qDebug() << "RemoteLock vanished";
    }
}

void STunnelHandler::onSTunnelProgramFinished()
{
    if (remoteLock)
        remoteLock->abort();
}

void STunnelHandler::onState(const OpenVpnGenericState& state)
{
    stateTracker.updateState(state.name, state.cause, state.localIp,
                             serverAddress.isNull() ? QString() : serverAddress.toString());
}

void STunnelHandler::onOpenVpnTerminated()
{
    qDebug() << "STunnelHandler: engine ended, stopping STunnel";
    process.kill();
    process.waitForFinished(5000);
    if (remoteLock)
        remoteLock->abort();
    os.releaseHost(serverAddress);
}
