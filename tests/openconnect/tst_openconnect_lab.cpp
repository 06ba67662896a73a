// The OpenConnect driver against a real ocserv across the test network: the
// real engine started by the real helper, the network set up through the real
// system layer. The test copies itself into a bundle of its own as
// Contents/MacOS/OrvalVPN (beside copies of the helper, the engine, the
// vpnc-script and the platform programs) and runs there, so that the helper's
// caller, place and checksum checks are all real.
#include "AnotherUser.h"
#include "OpenConnectLab.h"
#include "OpenConnectTestDoubles.h"

#include "openconnect/OpenConnectCommand.h"
#include "openconnect/OpenConnectManagementSocket.h"
#include "system/MacOSXAbstractionImpl.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace OpenConnectLab;

namespace {
// The attacker's OpenConnect server, beside the lab's.
const quint16 ATTACKER_PORT = 4444;
const QString ATTACKER = QStringLiteral("attacker-ocserv");
// Set, to the client's two command ports ("cmd_fd,cmd_fd_write"), when this
// program runs as another user's client having the helper aim an engine there.
const char *const AIMED_AT = "ORVAL_OPENCONNECT_LAB_AIMED_AT";

QString attackerServer()
{
    return QStringLiteral("https://%1:%2/").arg(Lab::serverAddress()).arg(ATTACKER_PORT);
}

// The attacker's client: the helper's OpenConnect command as the client
// sends it, with the other client's command ports in place of its own.
int aimHelperAtTheClient()
{
    const QStringList ports = qEnvironmentVariable(AIMED_AT).split(',');
    MacOSXAbstractionImpl os;
    OpenConnectCommand command(os, Lab::serverAddress(), ATTACKER_PORT, HalvorixServerSite::TCP, ports.value(0).toInt(),
                               ports.value(1).toInt(), OpenConnectCommand::RECONNECT_TIMEOUT_SECONDS);
    return AnotherUser::runHelper(command);
}

// The client's end of one run: the real system layer, a recording frontend
// and handler, and the socket, which answers the engine's password request
// with `password` and gives a stopping engine `stopGraceMs`.
struct LabClient
{
    LabClient(const QString &password, int stopGraceMs)
        : socket(os, frontend, handler)
    {
        socket.setDelays(500, stopGraceMs);
        handler.onPasswordRequest = [this, password](int) { socket.sendUsernamePassword(USER, password); };
    }

    MacOSXAbstractionImpl os;
    RecordingFrontend frontend;
    RecordingHandler handler;
    OpenConnectManagementSocket socket;
    QSignalSpy terminated {&socket, &OpenConnectManagementSocket::onOpenConnectTerminated};
};
} // namespace

class TestOpenConnectLab : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        LAB_REQUIRE({"ocserv"});
        QVERIFY(m_config.isValid());
        QVERIFY(writeSite(m_config.path()));
        QVERIFY2(Lab::startOcserv(m_server, USER, PASSWORD, VPN_PORT), "ocserv did not start");
        QVERIFY2(Lab::startOcserv(m_attackerServer, "mallory", "mallory's", ATTACKER_PORT, ATTACKER),
                 "the attacker's ocserv did not start");
    }

    void cleanupTestCase()
    {
        Lab::stop(m_attackerServer);
        m_server.kill();
        m_server.waitForFinished(5000);
    }

    void connectsCarriesTrafficAndStopsOnce()
    {
        LabClient client(PASSWORD, 10000);
        OpenConnectManagementSocket &socket = client.socket;
        RecordingHandler &handler = client.handler;
        RecordingFrontend &frontend = client.frontend;
        QSignalSpy &terminated = client.terminated;

        socket.startVPN(parameters());
        QTRY_VERIFY_WITH_TIMEOUT(!handler.startingWith("state CONNECTED").isEmpty(), 40000);
        const QString connected = handler.startingWith("state CONNECTED").first();
        QVERIFY2(connected.contains(" 198.18.0.") && connected.endsWith(" " + Lab::serverAddress()),
                 qPrintable(connected));
        QVERIFY2(frontend.errors.isEmpty(), qPrintable(frontend.errors.join(" | ")));

        const QString localIp = connected.section(' ', 2, 2);
        const QString addresses = run("ip", {"-4", "-o", "addr", "show"});
        QVERIFY2(addresses.contains("inet " + localIp), qPrintable(addresses));
        const QString routes = run("ip", {"-4", "route", "show"});
        for (const char *split : {"0.0.0.0/2", "64.0.0.0/2", "128.0.0.0/2", "192.0.0.0/2"})
            QVERIFY2(routes.contains(split), qPrintable(routes));
        QVERIFY2(routes.contains(Lab::serverAddress() + " via"), qPrintable(routes));

        QCOMPARE(QProcess::execute("ping", {"-c", "2", "-W", "3", "198.18.0.1"}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(hasTraffic(handler), 10000);

        socket.sendSigTerm();
        QTRY_COMPARE_WITH_TIMEOUT(terminated.count(), 1, 20000);
        QTest::qWait(1000);
        QCOMPARE(terminated.count(), 1);
        QCOMPARE(handler.count("terminated"), 1);
        QVERIFY(!socket.isProcessRunning());
        const QString after = run("ip", {"-4", "route", "show"});
        QVERIFY2(!after.contains("0.0.0.0/2"), qPrintable(after));
    }

    // A program of another user on this machine connects to the command
    // channel before the engine: it is told nothing, is turned away once the
    // engine has shown the run's secret, and the engine still connects.
    void aForeignConnectionThatComesFirstIsRefused()
    {
        LabClient client(PASSWORD, 10000);
        OpenConnectManagementSocket &socket = client.socket;
        RecordingHandler &handler = client.handler;
        QSignalSpy &terminated = client.terminated;
        // Connected (waiting in the server's queue) before the run starts:
        // the client takes it first.
        QProcess intruder;
        QVERIFY(Lab::connectAsAnotherUser(intruder, socket.cmdFdPort()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("refused a cmd_fd connection .*not the engine"));

        socket.startVPN(parameters());
        QTRY_VERIFY_WITH_TIMEOUT(!handler.startingWith("state CONNECTED").isEmpty(), 40000);
        QTRY_COMPARE(intruder.state(), QProcess::NotRunning);
        QCOMPARE(intruder.readAllStandardOutput(), QByteArray("connected\nclosed\n"));
        QCOMPARE(handler.count("accepted"), 1);

        socket.sendSigTerm();
        QTRY_COMPARE_WITH_TIMEOUT(terminated.count(), 1, 20000);
    }

    // Another local user wants the client's login. Through the helper, aimed
    // at the client's command ports, the attacker's run is refused before
    // anything starts; a root engine of the attacker's that waits at both
    // ports when the client's own engine starts (what a helper without that
    // check would have started), showing the secret of its own run, is
    // turned away without a word, and the client's own engine connects. The attacker's server is asked for
    // no login.
    void anotherUsersEngineNeverGetsTheLogin()
    {
        LabClient client(PASSWORD, 10000);
        OpenConnectManagementSocket &socket = client.socket;
        RecordingHandler &handler = client.handler;
        const QString cmdFd = QString::number(socket.cmdFdPort());
        const QString cmdFdWrite = QString::number(socket.cmdFdWritePort());

        QProcess attacker;
        AnotherUser::startThisProgram(attacker, AIMED_AT, cmdFd + ',' + cmdFdWrite);
        QVERIFY(attacker.waitForFinished(40000));
        const QString said = QString::fromLocal8Bit(attacker.readAllStandardOutput());
        QVERIFY2(said.startsWith("Failure creating command 'OpenConnect' with arguments: ")
                     && said.endsWith("error message: IllegalArgumentException: cmd_fd_port=" + cmdFd
                                      + " (the loopback listener at this port is not the calling user's)\n"),
                 qPrintable(said));
        QCOMPARE(attacker.exitCode(), 255);

        const QString contents = QCoreApplication::applicationDirPath() + "/..";
        QProcess impostor;
        impostor.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment attackersRun;
        attackersRun.insert("VYX_CHANNEL_SECRET", "fedcba9876543210fedcba9876543210");
        impostor.setProcessEnvironment(attackersRun);
        impostor.start(contents + "/Helpers/openconnect",
                       {attackerServer(), "--vyx-port-cmd-fd", cmdFd, "--vyx-port-cmd-fd-write", cmdFdWrite, "--script",
                        contents + "/Resources/app/bin/vpnc-script", "--reconnect-timeout", "30"});
        // Both of its connections wait in the servers' queues: judged first.
        QVERIFY(Lab::waitForConnectionTo(socket.cmdFdPort()) && Lab::waitForConnectionTo(socket.cmdFdWritePort()));
        for (const char *channel : {"cmd_fd", "cmd_fd_write"})
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QString("refused a %1 connection .*not the engine").arg(channel)));

        socket.startVPN(parameters());
        QTRY_VERIFY_WITH_TIMEOUT(!handler.startingWith("state CONNECTED").isEmpty(), 40000);
        QCOMPARE(handler.count("accepted"), 1);
        QTRY_COMPARE_WITH_TIMEOUT(impostor.state(), QProcess::NotRunning, 20000);
        QFile heard(Lab::ocservLog(ATTACKER));
        QVERIFY(heard.open(QIODevice::ReadOnly));
        const QByteArray log = heard.readAll();
        QVERIFY2(!log.contains("authenticate user") && !log.contains(USER.toUtf8()), log.constData());

        socket.sendSigTerm();
        QTRY_COMPARE_WITH_TIMEOUT(client.terminated.count(), 1, 20000);
    }

    void wrongPasswordEndsWithTheLoginFailedMessage()
    {
        LabClient client("wrong", 3000);
        OpenConnectManagementSocket &socket = client.socket;
        RecordingHandler &handler = client.handler;
        QSignalSpy &terminated = client.terminated;
        QSignalSpy loginFailed(&socket, &OpenConnectManagementSocket::loginFailed);

        socket.startVPN(parameters());
        QTRY_COMPARE_WITH_TIMEOUT(loginFailed.count(), 1, 40000);
        QCOMPARE(loginFailed.first().first().toString(), QStringLiteral("Login Failed. Please try to connect again."));
        QTRY_COMPARE_WITH_TIMEOUT(terminated.count(), 1, 20000);
        QTest::qWait(500);
        QCOMPARE(terminated.count(), 1);
        // Reaching the server is all that happened: no tunnel states.
        QCOMPARE(handler.startingWith("state"), QStringList {"state CONNECTING"});
    }

private:
    static bool hasTraffic(const RecordingHandler &handler)
    {
        const QStringList counts = handler.startingWith("bytes ");
        return !counts.isEmpty() && counts.last().section(' ', 1, 1).toULongLong() > 0;
    }

    QSharedPointer<ConnectionParameters> parameters() const { return OpenConnectLab::parameters(m_config.path()); }

    QTemporaryDir m_config;
    QProcess m_server;
    QProcess m_attackerServer;
};

int main(int argc, char **argv)
{
    if (!runsInBundle())
        return runFromBundle(argc, argv, QStringLiteral(ORVAL_BUNDLE_DIR));
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(AIMED_AT))
        return aimHelperAtTheClient();
    TestOpenConnectLab test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_openconnect_lab.moc"
