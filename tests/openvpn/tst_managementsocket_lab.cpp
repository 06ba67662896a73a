#include "../backend/FakeConnectionParameters.h"
#include "InstalledEngine.h"
#include "Lab.h"
#include "RecordingLifeCycleHandler.h"
#include "RecordingOsAbstraction.h"

#include "openvpn/ManagementSocket.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// The engine's replies to the client's commands, as the socket logs them.
QStringList engineReplies;
QtMessageHandler previousHandler = nullptr;

void captureReplies(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const int at = message.indexOf(QLatin1String("unhandled message: "));
    if (at >= 0)
        engineReplies << message.mid(at + 19);
    previousHandler(type, context, message);
}
} // namespace

// A real OpenVPN server in the lab's server namespace and a real engine on
// the client side, driven by the management socket from hold to CONNECTED
// and back to its end.
class TestManagementSocketLab : public QObject
{
    Q_OBJECT

    QTemporaryDir m_pki;
    QProcess m_server;
    OpenVpnServerOptions m_options;

    // The engine's management client options, as the helper gives them.
    QStringList engineArguments(int port) const
    {
        return Lab::openVpnClientArguments(m_pki.path(), m_options) + Lab::managementArguments(port)
               + QStringList {"--auth-user-pass", "--auth-retry", "interact", "--auth-nocache", "--management-up-down"};
    }

private slots:
    void initTestCase()
    {
        LAB_REQUIRE({"openvpn"});
        QVERIFY(m_pki.isValid());
        QVERIFY(Lab::makePki(m_pki.path()));
        m_options.network = "10.99.0.0";
        m_options.user = "alice";
        m_options.password = "s3cret \"x\"";
        m_options.pushes = QStringList {"dhcp-option DNS 10.99.0.1", "route 192.0.2.0 255.255.255.0"};
        QVERIFY(Lab::startOpenVpnServer(m_server, m_pki.path(), m_options));
    }

    void cleanupTestCase() { Lab::stop(m_server); }

    void connectsAsksAgainAfterAWrongPasswordAndStopsOnce()
    {
        const InstalledEngine engine([this](int port) { return engineArguments(port); });
        RecordingOsAbstraction os;
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os, handler);
        QSignalSpy terminated(&socket, &ManagementSocket::onOpenVpnTerminated);
        engineReplies.clear();
        previousHandler = qInstallMessageHandler(captureReplies);
        handler.passwordAction = [&] {
            const bool first = handler.events.filter("password").size() == 1;
            socket.sendUsernamePassword("alice", first ? "wrong" : "s3cret \"x\"");
        };
        handler.remoteAction = [](Remote &remote) { remote.setPort(1194); };
        socket.startVPN(QSharedPointer<ConnectionParameters>(new FakeConnectionParameters()));
        QTRY_VERIFY_WITH_TIMEOUT(handler.reached(OpenVpnState::CONNECTED), 60000);
        QCOMPARE(handler.events.filter("password"), (QStringList {"password 0", "password 1"}));
        QVERIFY(handler.events.contains("hold 0"));
        QVERIFY(!handler.events.filter(QRegularExpression("^remote ")).isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(handler.events.contains("up"), 10000);
        const PushedOptions up = handler.upDownOptions.first();
        QCOMPARE(up.getDnsServers(), QStringList {"10.99.0.1"});
        QVERIFY(up.getOption("route_network_1") == "192.0.2.0");
        QVERIFY(!handler.events.filter("control TLSv1.").isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!handler.events.filter("bytecount").isEmpty(), 10000);

        socket.sendSigTerm();
        QTRY_COMPARE_WITH_TIMEOUT(terminated.count(), 1, 20000);
        QTest::qWait(300);
        QCOMPARE(terminated.count(), 1);
        QCOMPARE(handler.events.filter("terminated").size(), 1);
        QVERIFY(handler.events.contains("closed"));
        QVERIFY(!socket.isProcessRunning());
        qInstallMessageHandler(previousHandler);

        // The engine took every command the client sent, in the order sent.
        QVERIFY2(engineReplies.filter("ERROR").isEmpty(), qPrintable(engineReplies.join('\n')));
        const QStringList expected {"SUCCESS: real-time echo notification set to ON",
                                    "SUCCESS: real-time state notification set to ON",
                                    "SUCCESS: bytecount interval changed",
                                    "SUCCESS: real-time log notification set to ON",
                                    "SUCCESS: verb level changed",
                                    "SUCCESS: hold release succeeded",
                                    "SUCCESS: 'Auth' username entered, but not yet verified",
                                    "SUCCESS: 'Auth' password entered, but not yet verified",
                                    "SUCCESS: remote command succeeded"};
        QStringList seen = engineReplies.filter("SUCCESS:");
        seen.removeDuplicates();
        for (const QString &reply : expected)
            QVERIFY2(seen.contains(reply), qPrintable(reply + " missing in:\n" + seen.join('\n')));
        QCOMPARE(seen.mid(0, 6), expected.mid(0, 6));
    }

    void remoteRedirectedToAPortNobodyAnswersEndsTheRunOnce()
    {
        const InstalledEngine engine([this](int port) { return engineArguments(port); });
        RecordingOsAbstraction os;
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os, handler);
        QSignalSpy terminated(&socket, &ManagementSocket::onOpenVpnTerminated);
        // The engine follows "remote MOD" to a closed port, gives up and exits.
        handler.remoteAction = [](Remote &remote) { remote.setPort(1195); };
        handler.passwordAction = [&] { socket.sendUsernamePassword("alice", "s3cret \"x\""); };
        socket.startVPN(QSharedPointer<ConnectionParameters>(new FakeConnectionParameters()));
        QTRY_COMPARE_WITH_TIMEOUT(terminated.count(), 1, 60000);
        QTest::qWait(300);
        QCOMPARE(terminated.count(), 1);
        QVERIFY(!handler.reached(OpenVpnState::CONNECTED));
        QVERIFY(!socket.isProcessRunning());
    }
};

QTEST_GUILESS_MAIN(TestManagementSocketLab)
#include "tst_managementsocket_lab.moc"
