// The OpenConnect driver against a real ocserv across the test network: the
// real engine started by the real helper, the network set up through the real
// system layer. The test copies itself into a bundle of its own as
// Contents/MacOS/OrvalVPN (beside copies of the helper, the engine, the
// vpnc-script and the platform programs) and runs there, so that the helper's
// caller, place and checksum checks are all real.
#include "OpenConnectLab.h"
#include "OpenConnectTestDoubles.h"

#include "openconnect/OpenConnectManagementSocket.h"
#include "system/MacOSXAbstractionImpl.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace OpenConnectLab;

namespace {
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
    }

    void cleanupTestCase()
    {
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
    // channel before the engine: it is turned away without being told
    // anything, and the engine still connects.
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
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("refusing an unexpected command channel connection"));

        socket.startVPN(parameters());
        QTRY_VERIFY_WITH_TIMEOUT(!handler.startingWith("state CONNECTED").isEmpty(), 40000);
        QTRY_COMPARE(intruder.state(), QProcess::NotRunning);
        QCOMPARE(intruder.readAllStandardOutput(), QByteArray("connected\nclosed\n"));
        QCOMPARE(handler.count("accepted"), 1);

        socket.sendSigTerm();
        QTRY_COMPARE_WITH_TIMEOUT(terminated.count(), 1, 20000);
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
};

int main(int argc, char **argv)
{
    if (!runsInBundle())
        return runFromBundle(argc, argv, QStringLiteral(ORVAL_BUNDLE_DIR));
    QCoreApplication app(argc, argv);
    TestOpenConnectLab test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_openconnect_lab.moc"
