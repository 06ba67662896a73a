#include "../backend/FakeConnectionParameters.h"
#include "RecordingLifeCycleHandler.h"
#include "SocketNoDelay.h"

#include "openvpn/EngineGate.h"
#include "openvpn/ManagementSocket.h"
#include "openvpn/OpenVpnCommand.h"
#include "openvpn/RemoteLock.h"

#include "RecordingOsAbstraction.h"
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>

#include <QtTest>

// The engine's side of the management interface, played by the test. With a
// secret it lists it first, as the engine lists its echo history.
class FakeEngine
{
public:
    explicit FakeEngine(quint16 port, const QByteArray &secret = QByteArray())
    {
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (!secret.isEmpty() && socket.waitForConnected(5000))
            sendLines({"1796996713," + secret});
    }

    void send(const QByteArray &bytes)
    {
        socket.write(bytes);
        socket.flush();
    }
    void sendLines(const QList<QByteArray> &lines)
    {
        for (const QByteArray &line : lines)
            send(line + '\n');
    }
    // Every command line the client wrote so far.
    QStringList commands()
    {
        received += socket.readAll();
        QStringList lines = QString::fromUtf8(received).split('\n');
        lines.removeLast();
        return lines;
    }

    QTcpSocket socket;
    QByteArray received;
};

class TestManagementSocket : public QObject
{
    Q_OBJECT

private:
    // What the client sends on the engine's first hold.
    static const QStringList SETUP;
    // The question for the secret, the first line every connection hears.
    static const QString QUESTION;

    OsAbstraction &os() { return m_recordingOs; }
    void startRun(ManagementSocket &socket)
    {
        socket.startVPN(QSharedPointer<ConnectionParameters>(new FakeConnectionParameters()));
    }
    // Starts a run whose engine is the returned fake, connected and accepted.
    QSharedPointer<FakeEngine> connectEngine(ManagementSocket &socket, RecordingLifeCycleHandler &handler)
    {
        startRun(socket);
        auto engine = QSharedPointer<FakeEngine>::create(socket.serverPort(), m_secret);
        [&] {
            QTRY_VERIFY(handler.events.contains("accepted"));
            QTRY_COMPARE(engine->commands(), QStringList {QUESTION});
        }();
        engine->received.clear();
        return engine;
    }

    // What the engine's lines caused, after the connection was accepted.
    static QStringList afterAccept(const RecordingLifeCycleHandler &handler)
    {
        return handler.events.mid(handler.events.indexOf("accepted") + 1);
    }

    RecordingOsAbstraction m_recordingOs;
    // The secret of the latest run, as the helper would hand it to the engine.
    QByteArray m_secret;

private slots:
    void initTestCase()
    {
        // A run starts nothing but the fake engine of the test.
        qputenv("WITH_OPENVPN_SIMULATOR", "TRUE");
    }

    // Each test starts from the starter that starts nothing, also after a
    // test that set its own one failed half-way.
    void init()
    {
        OpenVpnCommand::setSimulatorStarter([this](QProcess &, int, const QByteArray &secret) { m_secret = secret; });
    }

    void showsSecret_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("shows");
        const QByteArray secret = "0123456789abcdef0123456789abcdef";
        QTest::newRow("listed history") << "1796996713," + secret << true;
        QTest::newRow("real-time notice") << ">ECHO:1796996713," + secret << true;
        QTest::newRow("the secret alone") << secret << false;
        QTest::newRow("no time") << "," + secret << false;
        QTest::newRow("a time that is no number") << "17x9," + secret << false;
        QTest::newRow("more after the secret") << "1796996713," + secret + ",x" << false;
        QTest::newRow("part of the secret") << "1796996713," + secret.left(31) << false;
        QTest::newRow("inside a header") << "X-Echo: 1796996713," + secret << false;
        QTest::newRow("another secret") << QByteArray("1796996713,fedcba9876543210fedcba9876543210") << false;
    }
    void showsSecret()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, shows);
        QCOMPARE(ManagementSocket::showsSecret(line, "0123456789abcdef0123456789abcdef"), shows);
        QVERIFY(!ManagementSocket::showsSecret("1796996713,", QByteArray()));
    }

    void eachRunHasANewSecret()
    {
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        startRun(socket);
        const QByteArray first = m_secret;
        startRun(socket);
        QVERIFY(QRegularExpression("^[0-9a-f]{32}$").match(QString::fromLatin1(first)).hasMatch());
        QVERIFY(m_secret != first);
    }

    // Connections that do not show the run's secret hear nothing but the
    // question for it, and nothing they send reaches the client; the engine,
    // coming after them, is served.
    void aConnectionThatDoesNotShowTheSecretIsRefused_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<bool>("closedAtOnce");
        const QByteArray greeting = ">HOLD:Waiting for hold release:0\n>PASSWORD:Need 'Auth' username/password\n";
        QTest::newRow("silent") << QByteArray() << false;
        QTest::newRow("an engine's greeting") << greeting << false;
        QTest::newRow("another run's secret") << greeting + "1,fedcba9876543210fedcba9876543210\n" << false;
        QTest::newRow("a flood of lines") << QByteArray(40, 'x').append('\n').repeated(500) << true;
        QTest::newRow("a line without end") << QByteArray(EngineGate::MAX_BYTES_BEFORE_SECRET + 1, 'x') << true;
    }
    void aConnectionThatDoesNotShowTheSecretIsRefused()
    {
        QFETCH(QByteArray, sent);
        QFETCH(bool, closedAtOnce);
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        startRun(socket);
        FakeEngine foreign(socket.serverPort());
        QVERIFY(foreign.socket.waitForConnected(5000));
        foreign.send(sent);
        if (closedAtOnce)
            QTRY_COMPARE(foreign.socket.state(), QAbstractSocket::UnconnectedState);
        else
            QTRY_COMPARE(foreign.commands(), QStringList {QUESTION});
        QVERIFY(!handler.events.contains("accepted"));

        FakeEngine engine(socket.serverPort(), m_secret);
        QTRY_VERIFY(handler.events.contains("accepted"));
        engine.sendLines({">HOLD:Waiting for hold release:0"});
        QTRY_COMPARE(engine.commands(), QStringList {QUESTION} + SETUP + QStringList {"hold release"});
        // Those still waiting are sent away once the engine is known.
        QTRY_COMPARE(foreign.socket.state(), QAbstractSocket::UnconnectedState);
        // At most the question for the secret, which a refusal may cut short.
        const QStringList heard = foreign.commands();
        QVERIFY2(heard.isEmpty() || heard == QStringList {QUESTION}, qPrintable(heard.join('|')));
        QCOMPARE(handler.events.filter("hold").size(), 1);
        QVERIFY(handler.events.filter("password").isEmpty());
    }

    // The engine's greeting comes before its echo history: what it said
    // before the secret reaches the client once the secret is shown, in order.
    void linesBeforeTheSecretReachTheClientOnceItIsShown()
    {
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        startRun(socket);
        FakeEngine engine(socket.serverPort());
        QVERIFY(engine.socket.waitForConnected(5000));
        engine.sendLines({">INFO:OpenVPN Management Interface Version 5", ">HOLD:Waiting for hold release:0"});
        QTRY_COMPARE(engine.commands(), QStringList {QUESTION});
        QTest::qWait(50);
        QVERIFY(!handler.events.contains("accepted"));
        engine.sendLines({"SUCCESS: real-time echo notification set to ON", "1796996713," + m_secret + "\nEND",
                          ">PASSWORD:Need 'Auth' username/password"});
        QTRY_VERIFY(handler.events.contains("password 0"));
        QCOMPARE(handler.events.filter(QRegularExpression("^(accepted|hold|password)")),
                 (QStringList {"accepted", "hold 0", "password 0"}));
        QTRY_COMPARE(engine.commands(), QStringList {QUESTION} + SETUP + QStringList {"hold release"});
    }

    // Silent connections cannot keep the engine out: the oldest waiting one
    // makes room for a newer one.
    void aCrowdOfSilentConnectionsCannotLockTheEngineOut()
    {
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        startRun(socket);
        std::vector<std::unique_ptr<FakeEngine>> crowd;
        for (int i = 0; i < EngineGate::MAX_WAITING + 2; ++i) {
            crowd.push_back(std::make_unique<FakeEngine>(socket.serverPort()));
            QVERIFY(crowd.back()->socket.waitForConnected(5000));
        }
        QTRY_COMPARE(crowd.front()->socket.state(), QAbstractSocket::UnconnectedState);
        FakeEngine engine(socket.serverPort(), m_secret);
        QTRY_VERIFY(handler.events.contains("accepted"));
    }

    // Every answer to the engine goes out at once, not after the engine's
    // delayed acknowledgement of the one before.
    void engineConnectionSendsAtOnce()
    {
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        auto engine = connectEngine(socket, handler);
        QCOMPARE(SocketNoDelay::ofAccepted(socket.serverPort()), QList<int> {1});
    }

    void firstHoldSendsSetupOnceAndIsReleasedAtOnce()
    {
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        auto engine = connectEngine(socket, handler);
        engine->sendLines({">INFO:OpenVPN Management Interface Version 5", ">HOLD:Waiting for hold release:0"});
        QTRY_COMPARE(engine->commands(), SETUP + QStringList {"hold release"});
        engine->sendLines({">HOLD:Waiting for hold release:10"});
        QTRY_COMPARE(engine->commands(), SETUP + (QStringList {"hold release", "hold release"}));
        QCOMPARE(handler.events.filter("hold"), (QStringList {"hold 0", "hold 1"}));
    }

    void lockedHoldIsAnsweredWhenTheLastLockGoes_data()
    {
        QTest::addColumn<bool>("abort");
        QTest::addColumn<QString>("answer");
        QTest::newRow("released") << false << "hold release";
        QTest::newRow("aborted") << true << "signal SIGTERM";
    }
    void lockedHoldIsAnsweredWhenTheLastLockGoes()
    {
        QFETCH(bool, abort);
        QFETCH(QString, answer);
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        QPointer<HoldLock> lock;
        handler.holdAction = [&](Hold &hold) { lock = hold(); };
        auto engine = connectEngine(socket, handler);
        engine->sendLines({">HOLD:Waiting for hold release:0"});
        QTRY_COMPARE(engine->commands(), SETUP);
        QVERIFY(lock);
        QTest::qWait(50);
        QCOMPARE(engine->commands(), SETUP);
        abort ? lock->abort() : lock->release();
        QTRY_COMPARE(engine->commands(), SETUP + QStringList {answer});
    }

    void holdAbortedInsideTheHandlerStopsTheEngine()
    {
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        handler.holdAction = [](Hold &hold) { hold()->abort(); };
        auto engine = connectEngine(socket, handler);
        engine->sendLines({">HOLD:Waiting for hold release:0"});
        QTRY_COMPARE(engine->commands(), SETUP + QStringList {"signal SIGTERM"});
    }

    void remoteQueryAnswer_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("answer");
        QTest::newRow("untouched") << QString() << 0 << "remote ACCEPT";
        QTest::newRow("same values written") << "vpn.example.net" << 1194 << "remote ACCEPT";
        QTest::newRow("new host") << "10.8.1.2" << 0 << "remote MOD 10.8.1.2 1194 udp";
        QTest::newRow("new port") << QString() << 443 << "remote MOD vpn.example.net 443 udp";
    }
    void remoteQueryAnswer()
    {
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QString, answer);
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        handler.remoteAction = [&](Remote &remote) {
            if (!host.isEmpty())
                remote.setHost(host);
            if (port != 0)
                remote.setPort(port);
        };
        auto engine = connectEngine(socket, handler);
        engine->sendLines({">REMOTE:vpn.example.net,1194,udp"});
        QTRY_COMPARE(engine->commands(), QStringList {answer});
        QCOMPARE(handler.events.last(), QStringLiteral("remote vpn.example.net 1194 udp"));
    }

    void lockedRemoteAbortStopsTheEngine()
    {
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        QPointer<RemoteLock> lock;
        handler.remoteAction = [&](Remote &remote) { lock = remote.getRemoteLock(); };
        auto engine = connectEngine(socket, handler);
        engine->sendLines({">REMOTE:vpn.example.net,1194,udp"});
        QTRY_VERIFY(handler.events.last().startsWith("remote"));
        QTest::qWait(50);
        QCOMPARE(engine->commands(), QStringList());
        lock->abort();
        QTRY_COMPARE(engine->commands(), QStringList {"signal SIGTERM"});
    }

    void passwordFailuresAreCountedPerConnectionAndCredentialsEscaped()
    {
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        handler.passwordAction = [&] { socket.sendUsernamePassword(" user\x01", "pa\"ss\\word"); };
        auto engine = connectEngine(socket, handler);
        engine->sendLines({">PASSWORD:Need 'Auth' username/password", ">PASSWORD:Verification Failed: 'Auth'",
                           ">PASSWORD:Need 'Auth' username/password"});
        QTRY_COMPARE(handler.events.filter("password"), (QStringList {"password 0", "password 1"}));
        const QStringList credentials {"username \"Auth\" \"user\"", "password \"Auth\" \"pa\\\"ss\\\\word\""};
        QTRY_COMPARE(engine->commands(), credentials + credentials);
    }

    void stateLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("localIp");
        QTest::addColumn<QString>("remoteIp");
        QTest::newRow("connecting") << QByteArray(">STATE:1700000000,CONNECTING,,,,,,") << "CONNECTING"
                                    << int(OpenVpnState::CONNECTING) << ""
                                    << ""
                                    << "";
        QTest::newRow("assign ip") << QByteArray(">STATE:1700000000,ASSIGN_IP,,10.8.0.6,,,,") << "ASSIGN_IP"
                                   << int(OpenVpnState::ASSIGN_IP) << "10.8.0.6"
                                   << ""
                                   << "";
        QTest::newRow("connected") << QByteArray(">STATE:1700000000,CONNECTED,SUCCESS,10.8.0.6,192.0.2.1,1194,,")
                                   << "CONNECTED" << int(OpenVpnState::CONNECTED) << "SUCCESS"
                                   << "10.8.0.6"
                                   << "192.0.2.1";
        QTest::newRow("reconnecting") << QByteArray(">STATE:1700000000,RECONNECTING,ping-restart,,,,,")
                                      << "RECONNECTING" << int(OpenVpnState::RECONNECTING) << "ping-restart"
                                      << ""
                                      << "";
        QTest::newRow("unknown") << QByteArray(">STATE:1700000000,SLEEPING,why,1.2.3.4,5.6.7.8") << "SLEEPING"
                                 << int(OpenVpnState::UNKNOWN) << "why"
                                 << "1.2.3.4"
                                 << "5.6.7.8";
    }
    void stateLines()
    {
        QFETCH(QByteArray, line);
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        auto engine = connectEngine(socket, handler);
        engine->sendLines({line});
        QTRY_COMPARE(handler.states.size(), 1);
        const OpenVpnGenericState &state = handler.states.first();
        QTEST(state.name, "name");
        QTEST(int(state.state), "state");
        QTEST(state.cause, "cause");
        QTEST(state.localIp, "localIp");
        QTEST(state.remoteIp, "remoteIp");
    }

    void otherNotifications_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("byte count") << QByteArray(">BYTECOUNT:12345,678\n") << QStringList {"bytecount 12345 678"};
        QTest::newRow("byte count not a number") << QByteArray(">BYTECOUNT:x,5\n") << QStringList {"bytecount 0 5"};
        QTest::newRow("fatal") << QByteArray(">FATAL:Cannot open TUN/TAP dev: No such device\n")
                               << QStringList {"fatal Cannot open TUN/TAP dev: No such device"};
        QTest::newRow("control channel") << QByteArray(
            ">LOG:1700000000,I,Control Channel: TLSv1.3, cipher TLSv1.3 TLS_AES_256_GCM_SHA384, "
            "peer certificate: 2048 bit RSA\n")
                                         << QStringList {"control TLSv1.3 TLS_AES_256_GCM_SHA384"};
        QTest::newRow("other log") << QByteArray(">LOG:1700000000,I,Initialization Sequence Completed, yes\n")
                                   << QStringList();
        QTest::newRow("certificate refused in the log")
            << QByteArray(">LOG:1700000000,N,VERIFY ERROR: depth=1, error=self-signed certificate in certificate "
                          "chain: CN=Other CA\n")
            << QStringList {"failure certificate||"};
        // Where the engine tried is the remote it was answered with.
        QTest::newRow("no answer on the accepted remote")
            << QByteArray(">REMOTE:vpn.example.net,1194,udp\n"
                          ">LOG:1700000000,N,read UDPv4 [ECONNREFUSED]: Connection refused (fd=3,code=111)\n")
            << QStringList {"remote vpn.example.net 1194 udp", "failure no-answer|UDP 1194|"};
        QTest::newRow("server's reason for a refusal")
            << QByteArray(">PASSWORD:Verification Failed: 'Auth' ['Data channel cipher negotiation failed (no "
                          "shared cipher)']\n")
            << QStringList {"failure auth-failure||Data channel cipher negotiation failed (no shared cipher)"};
        QTest::newRow("plain refusal") << QByteArray(">PASSWORD:Verification Failed: 'Auth'\n") << QStringList();
        QTest::newRow("crlf and split reads")
            << QByteArray(">BYTECOUNT:1,\r\n>BYTE|COUNT:2,3\r\n") << QStringList {"bytecount 1 0", "bytecount 2 3"};
        QTest::newRow("too short lines are ignored")
            << QByteArray(">STATE:1700000000,CONNECTED\n>REMOTE:host\n>BYTECOUNT:5\n>LOG:1\n>FATAL:end\n")
            << QStringList {"fatal end"};
        QTest::newRow("replies and banner")
            << QByteArray(">INFO:banner\nSUCCESS: hold release succeeded\n\n") << QStringList();
    }
    void otherNotifications()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, events);
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        auto engine = connectEngine(socket, handler);
        for (const QByteArray &part : input.split('|')) {
            engine->send(part);
            QTest::qWait(20);
        }
        engine->sendLines({">FATAL:marker"});
        QTRY_COMPARE(handler.events.last(), QStringLiteral("fatal marker"));
        QStringList seen = afterAccept(handler);
        seen.removeLast();
        QCOMPARE(seen, events);
    }

    void upDownReportsTheEnvironment()
    {
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        auto engine = connectEngine(socket, handler);
        engine->sendLines({">UPDOWN:ENV,END", ">UPDOWN:UP", ">UPDOWN:ENV,route_vpn_gateway=10.8.0.1",
                           ">UPDOWN:ENV,foreign_option_1=dhcp-option DNS 10.8.0.1", ">UPDOWN:ENV,END", ">UPDOWN:DOWN",
                           ">UPDOWN:ENV,END"});
        QTRY_COMPARE(afterAccept(handler), (QStringList {"up", "down"}));
        const PushedOptions up = handler.upDownOptions.first();
        QCOMPARE(up.getOption("route_vpn_gateway"), QStringLiteral("10.8.0.1"));
        QCOMPARE(up.getRouteVPNGateway(), QHostAddress("10.8.0.1"));
        QCOMPARE(up.getDnsServers(), QStringList {"10.8.0.1"});
    }

    void endOfRunIsReportedOnceWhicheverEndsLast_data()
    {
        QTest::addColumn<bool>("processFirst");
        QTest::newRow("connection closes last") << true;
        QTest::newRow("process ends last") << false;
    }
    void endOfRunIsReportedOnceWhicheverEndsLast()
    {
        QFETCH(bool, processFirst);
        RecordingLifeCycleHandler handler;
        QProcess *engineProcess = nullptr;
        OpenVpnCommand::setSimulatorStarter([&](QProcess &process, int, const QByteArray &secret) {
            engineProcess = &process;
            m_secret = secret;
        });
        ManagementSocket socket(os(), handler);
        QSignalSpy terminated(&socket, &ManagementSocket::onOpenVpnTerminated);
        auto engine = connectEngine(socket, handler);
        QVERIFY(engineProcess);
        const auto processEnds = [&] { emit engineProcess->finished(1, QProcess::NormalExit); };
        if (processFirst)
            processEnds();
        QCOMPARE(terminated.count(), 0);
        engine->socket.disconnectFromHost();
        QTRY_VERIFY(handler.events.contains("closed"));
        if (!processFirst)
            processEnds();
        QCOMPARE(terminated.count(), 1);
        processEnds();
        QTest::qWait(20);
        QCOMPARE(terminated.count(), 1);
        QCOMPARE(handler.events.filter("terminated").size(), 1);
    }

    void helperThatCannotStartIsReportedAsFailedToStart()
    {
        qunsetenv("WITH_OPENVPN_SIMULATOR");
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        QString program;
        handler.onPrepare = [&](AbstractVpnCommand &command) { program = command.getProgram(); };
        startRun(socket);
        qputenv("WITH_OPENVPN_SIMULATOR", "TRUE");
        QVERIFY(!QFileInfo::exists(program));
        QTRY_VERIFY(handler.events.contains("failedToStart"));
        QCOMPARE(handler.events.mid(0, 2), (QStringList {"prepare", "started"}));
        QVERIFY(!handler.events.contains("terminated"));
        QVERIFY(!socket.isProcessRunning());
    }

    void connectionsOutsideAStartingRunAreRefused()
    {
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        FakeEngine early(socket.serverPort());
        QTRY_COMPARE(early.socket.state(), QAbstractSocket::UnconnectedState);
        QVERIFY(handler.events.isEmpty());

        auto engine = connectEngine(socket, handler);
        FakeEngine intruder(socket.serverPort());
        QTRY_COMPARE(intruder.socket.state(), QAbstractSocket::UnconnectedState);
        intruder.sendLines({">PASSWORD:Need 'Auth' username/password"});
        QCOMPARE(handler.events.filter("accepted").size(), 1);

        // The engine's own connection is untouched and still drives the client.
        engine->sendLines({">HOLD:Waiting for hold release:0"});
        QTRY_COMPARE(engine->commands(), SETUP + QStringList {"hold release"});
        QVERIFY(handler.events.filter("password").isEmpty());
    }

    void theEngineOfANewRunReplacesTheOldConnectionSilently()
    {
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        auto oldEngine = connectEngine(socket, handler);
        auto newEngine = connectEngine(socket, handler);
        QTRY_COMPARE(handler.events.filter("accepted").size(), 2);
        oldEngine->sendLines({">FATAL:old engine"});
        oldEngine->socket.disconnectFromHost();
        newEngine->sendLines({">FATAL:new engine"});
        QTRY_COMPARE(handler.events.last(), QStringLiteral("fatal new engine"));
        QTest::qWait(50);
        QVERIFY(handler.events.filter("old engine").isEmpty());
        QVERIFY(!handler.events.contains("closed"));
    }

    void anUnansweredHoldReplacedByANewOneAnswersNothing()
    {
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        QList<QPointer<HoldLock>> locks;
        handler.holdAction = [&](Hold &hold) { locks << hold(); };
        auto engine = connectEngine(socket, handler);
        engine->sendLines({">HOLD:Waiting for hold release:0", ">HOLD:Waiting for hold release:0"});
        QTRY_COMPARE(locks.size(), 2);
        locks.first()->abort();
        QTest::qWait(50);
        QCOMPARE(engine->commands(), SETUP);
        locks.last()->release();
        QTRY_COMPARE(engine->commands(), SETUP + QStringList {"hold release"});
    }

    void overlongLineIsDiscardedAndParsingGoesOn()
    {
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        auto engine = connectEngine(socket, handler);
        const QByteArray flood(ManagementSocket::MAX_LINE_LENGTH + 4096, 'A');
        engine->send(">FATAL:" + flood);
        QTest::qWait(50);
        engine->send(flood + "\n>BYTECOUNT:7,8\n");
        QTRY_COMPARE(afterAccept(handler), QStringList {"bytecount 7 8"});
    }

    void commandsWithoutAConnectionAreDropped()
    {
        RecordingLifeCycleHandler handler;
        ManagementSocket socket(os(), handler);
        socket.sendUsernamePassword("user", "secret");
        socket.sendSigTerm();
        QVERIFY(!socket.isProcessRunning());
        QVERIFY(handler.events.isEmpty());
    }
};

const QStringList TestManagementSocket::SETUP {"state on all", "bytecount 1", "log on all", "verb 2"};
const QString TestManagementSocket::QUESTION = "echo on all";

QTEST_GUILESS_MAIN(TestManagementSocket)
#include "tst_managementsocket.moc"
