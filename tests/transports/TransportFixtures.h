#pragma once

#include "openvpn/AbstractVpnCommand.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

// Test doubles and real loopback peers shared by the transport tests.
namespace TransportFixtures {

inline QString helper(const QString &name)
{
    return QStringLiteral(ORVAL_HELPERS_DIR "/") + name;
}

// An executable shell script in dir that stands in for a transport program.
inline QString writeScript(const QTemporaryDir &dir, const QString &name, const QByteArray &body)
{
    QFile script(dir.filePath(name));
    if (!script.open(QIODevice::WriteOnly))
        return QString();
    script.write("#!/bin/sh\n" + body + "\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return script.fileName();
}

// Echoes every byte back on loopback: the far end of the tunnel.
class EchoServer : public QTcpServer
{
public:
    EchoServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->write(socket->readAll()); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
};

// A peer program; killed and reaped at the end of the test whatever happens.
class Peer
{
public:
    ~Peer()
    {
        process.kill();
        process.waitForFinished(5000);
    }

    // Starts it and waits until its merged output contains ready.
    bool start(const QString &program, const QStringList &arguments, const QByteArray &ready)
    {
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        if (!process.waitForStarted(10000))
            return false;
        while (!output.contains(ready)) {
            if (!process.waitForReadyRead(10000))
                return false;
            output += process.readAll();
        }
        return true;
    }

    QProcess process;
    QByteArray output;
};

// Sends a line through the socket and answers what comes back. The event
// loop keeps running meanwhile, since the far end may live in this thread.
inline QByteArray roundTrip(QTcpSocket &socket, const QString &host, quint16 port)
{
    const QByteArray probe = "through the tunnel\n";
    QByteArray answer;
    QObject::connect(&socket, &QTcpSocket::connected, &socket, [&socket, probe] { socket.write(probe); });
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&socket, &answer] { answer += socket.readAll(); });
    socket.connectToHost(host, port);
    for (int waited = 0; answer.size() < probe.size() && waited < 10000; waited += 20) {
        if (socket.state() == QAbstractSocket::UnconnectedState && waited > 0)
            break;
        QTest::qWait(20);
    }
    socket.disconnect();
    return answer;
}

class RecordingVpnCommand : public AbstractVpnCommand
{
public:
    QStringList calls;

    QString getProgram() override { return QString(); }
    void enableManagementUpDown() override {}
    bool shouldPreventIpv6Leak() override { return false; }
    void start(QProcess &) override {}
    void enableManagementQueryRemote() override {}
    void setCipher(const BackendOpenVPNConfigCipher &) override {}
    void addRemote(const QHostAddress &) override {}
    void enablePersistTun() override {}
    void disablePersistTun() override {}
    void setProxyDirect() override { calls << QStringLiteral("direct"); }
    void setHttpProxy(const QString &address, const QString &port) override
    {
        calls << QStringLiteral("http %1 %2").arg(address, port);
    }
    void setSocks5Proxy(const QString &address, const QString &port) override
    {
        calls << QStringLiteral("socks5 %1 %2").arg(address, port);
    }
};

} // namespace TransportFixtures
