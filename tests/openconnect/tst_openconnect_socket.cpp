#include "OpenConnectTestDoubles.h"
#include "RecordingMessageBoxFactory.h"
#include "RecordingOsAbstraction.h"
#include "SocketNoDelay.h"

#include "gui/OpenConnectLoginFailedBox.h"

#include "openconnect/OpenConnectCommand.h"
#include "openconnect/OpenConnectConnectVia.h"
#include "openconnect/OpenConnectConnectionParameters.h"
#include "openconnect/OpenConnectManagementSocket.h"
#include "websvc/CredentialsStore.h"

#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The test's engine: both command channels, with everything the client sent.
class EngineSide
{
public:
    QTcpSocket cmdFd;
    QTcpSocket cmdFdWrite;

    // Connects both channels and opens each with `secret`, as the engine does.
    bool connectTo(const OpenConnectManagementSocket &socket, const QByteArray &secret)
    {
        cmdFd.connectToHost(QHostAddress::LocalHost, socket.cmdFdPort());
        cmdFdWrite.connectToHost(QHostAddress::LocalHost, socket.cmdFdWritePort());
        if (!cmdFd.waitForConnected(5000) || !cmdFdWrite.waitForConnected(5000))
            return false;
        const QByteArray line = OpenConnectManagementSocket::secretLine(secret) + '\n';
        cmdFd.write(line);
        cmdFdWrite.write(line);
        return true;
    }

    void send(const QByteArray &line)
    {
        cmdFd.write(line + "\n");
        cmdFd.flush();
    }

    void progress(const QByteArray &text) { send(">VPNINFO_PROGRESS " + text); }

    QByteArray received;
    QByteArray receivedWrite;

    void collect()
    {
        received += cmdFd.readAll();
        receivedWrite += cmdFdWrite.readAll();
    }
};

} // namespace

class TestOpenConnectSocket : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(m_engineDir.isValid());
        qputenv("ORVAL_FAKE_ENGINE_DIR", m_engineDir.path().toUtf8());
        QSettings().setValue("config/configDir", m_dir.path());
        writeFile(m_dir.filePath("site-udp.conf"), "client\nremote vpn1.example 1194\n");
        writeFile(m_dir.filePath("openconnect.json"), R"({"default": {"port": 4443}})");
        m_handler = RecordingHandler();
        m_frontend = RecordingFrontend();
        m_os.calls.clear();
        m_os.failures.clear();
        m_socket.reset(new OpenConnectManagementSocket(m_os, m_frontend, m_handler));
        m_socket->setDelays(200, 500);
        m_parameters.reset(new TestParameters(site(), HalvorixServerSite::UDP));
    }

    void cleanup()
    {
        OpenConnectManagementSocket::setLoginFailedNotifier({});
        MessageBoxFactory::setInstance({});
        endEngine(0);
        m_socket.reset();
        QFile::remove(m_engineDir.filePath("exit"));
        QFile::remove(m_engineDir.filePath("arguments"));
    }

    // Answers and commands go out at once on both channels, not after the
    // engine's delayed acknowledgement of the one before.
    void commandChannelsSendAtOnce()
    {
        EngineSide engine;
        startEngine(engine);
        QTRY_VERIFY(!SocketNoDelay::ofAccepted(m_socket->cmdFdWritePort()).isEmpty());
        QCOMPARE(SocketNoDelay::ofAccepted(m_socket->cmdFdPort()), QList<int> {1});
        QCOMPARE(SocketNoDelay::ofAccepted(m_socket->cmdFdWritePort()), QList<int> {1});
    }

    void fullRunReportsStatesCountsAndOneTermination()
    {
        EngineSide engine;
        startEngine(engine);

        QCOMPARE(m_handler.events.mid(0, 4),
                 QStringList({"remote vpn1.example 4443 UDP", "prepare", "started", "accepted"}));
        const QStringList arguments = readArguments();
        QCOMPARE(arguments.value(2), QStringLiteral("https://vpn1.example:4443/"));
        QCOMPARE(arguments.value(4), QString::number(m_socket->cmdFdPort()));
        QCOMPARE(arguments.value(5), QString::number(m_socket->cmdFdWritePort()));
        QCOMPARE(arguments.value(7), QStringLiteral("false"));

        // Credentials: the user name first, the stored password on the next request.
        m_handler.onPasswordRequest = [this](int) { m_socket->sendUsernamePassword("us\ter ", "pa\"ss\\"); };
        engine.send(">REQUEST_USERNAME");
        QTRY_VERIFY(engine.received.contains("user\n\n"));
        engine.send(">REQUEST_PASSWORD");
        QTRY_VERIFY(engine.received.contains("pa\"ss\\\n\n"));
        QCOMPARE(m_handler.startingWith("password"), QStringList({"password 0"}));
        QCOMPARE(CredentialsStore::getUsername(), QStringLiteral("us\ter "));

        engine.progress("--servercert pin-sha256:abc");
        engine.send(">REQUEST_TO_TRUST_CERTIFICATE untrusted");
        QTRY_VERIFY(engine.received.contains("yes\n\n"));

        for (const char *variable : {"reason=connect", "TUNDEV=tun0", "VPNGATEWAY=192.0.2.1",
                                     "INTERNAL_IP4_ADDRESS=198.18.0.2", "INTERNAL_IP4_NETMASK=255.255.255.255"})
            engine.progress(QByteArray(">VPNC_SCRIPT_ENV ") + variable);
        engine.send(">VPNC_SCRIPT_START");
        QTRY_VERIFY(engine.received.contains(">VPNC_SCRIPT_OK\n\n"));
        QCOMPARE(m_os.calls.size(), 4);

        engine.progress("CSTP Ciphersuite: (TLS1.3)-(ECDHE-SECP256R1)-(RSA-PSS-RSAE-SHA256)-(AES-256-GCM)");
        engine.progress("CSTP connected. DPD 60, Keepalive 300");
        engine.progress(">REMOTEIP 192.0.2.1");
        engine.progress("Connected as 198.18.0.2, using SSL");
        engine.progress(">DNS_UP INIT");
        engine.progress(">DNS_0_UP 192.0.2.53");
        engine.progress(">DNS_1_UP n/a");
        engine.progress(">DNS_2_UP n/a");
        engine.progress(">DNS_UP END");
        engine.progress(">VYXSTATS 1200, 3400");
        QTRY_VERIFY(m_handler.count("state CONNECTED  198.18.0.2 192.0.2.1") == 1);
        QCOMPARE(m_handler.startingWith("state"),
                 QStringList({"state CONNECTING", "state WAIT", "state AUTH", "state GET_CONFIG", "state ASSIGN_IP n/a",
                              "state ADD_ROUTES", "state CONNECTED  198.18.0.2 192.0.2.1"}));
        QVERIFY(m_handler.events.contains("cipher TLSv1.3 ECDHE-AES-256-GCM"));
        QVERIFY(m_handler.events.contains("bytes 1200 3400"));
        QCOMPARE(m_handler.count("up"), 1);
        QCOMPARE(m_handler.lastUp.getOption("foreign_option_1"), QStringLiteral("DNS 192.0.2.53"));
        QCOMPARE(m_handler.lastUp.getOption("foreign_option_2"), QString());
        QTRY_VERIFY_WITH_TIMEOUT(engine.receivedWrite.contains("s\n"), 5000);

        QSignalSpy terminated(m_socket.data(), &OpenConnectManagementSocket::onOpenConnectTerminated);
        engine.collect();
        engine.received.clear();
        m_socket->sendSigTerm();
        QTRY_VERIFY(engine.receivedWrite.endsWith("x\n"));
        QTRY_COMPARE(engine.received, QByteArray("\n\n"));
        QVERIFY(m_socket->isProcessRunning());

        // The engine closes cmd_fd first: no report until its process has ended.
        engine.cmdFd.disconnectFromHost();
        QTRY_VERIFY(m_handler.events.contains("closed"));
        QCOMPARE(m_handler.count("terminated"), 0);
        endEngine(0);
        QTRY_COMPARE(terminated.count(), 1);
        QTest::qWait(300);
        QCOMPARE(terminated.count(), 1);
        QCOMPARE(m_handler.count("terminated"), 1);
        QVERIFY(m_handler.startingWith("fatal").isEmpty());
    }

    void lastErrorIsReportedOnceAtTermination()
    {
        EngineSide engine;
        startEngine(engine);
        engine.progress("Failed to open HTTPS connection to vpn1.example");
        engine.progress("Failed to reconnect to host vpn1.example");
        engine.progress(">VYXERR The VPN connection ended unexpectedly.");
        QTRY_VERIFY(m_handler.events.contains("fatal The VPN connection ended unexpectedly."));
        endEngine(1);
        engine.cmdFd.disconnectFromHost();
        QTRY_COMPARE(m_handler.count("terminated"), 1);
        QCOMPARE(m_handler.startingWith("fatal"),
                 QStringList({"fatal The VPN connection ended unexpectedly.",
                              "fatal Failed to open HTTPS connection to vpn1.example"}));
        const int fatal = m_handler.events.indexOf("fatal Failed to open HTTPS connection to vpn1.example");
        QVERIFY(fatal < m_handler.events.indexOf("terminated"));
    }

    // The summary the engine ends with would hide why: the recognised cause
    // is told at once and heads the notice at the end.
    void unreachableServerIsNamedAtTermination()
    {
        EngineSide engine;
        startEngine(engine);
        engine.progress("Failed to connect to 198.51.100.99:4443: No route to host");
        engine.progress("Failed to connect to host 198.51.100.99");
        engine.progress("Failed to open HTTPS connection to 198.51.100.99");
        QTRY_COMPARE(m_handler.startingWith("failure"), QStringList({"failure no-answer TCP 4443"}));
        endEngine(1);
        engine.cmdFd.disconnectFromHost();
        QTRY_COMPARE(m_handler.count("terminated"), 1);
        QCOMPARE(m_handler.startingWith("fatal"),
                 QStringList({"fatal Could not connect: no answer from the server on TCP 4443."}));
    }

    void secondRequestFailsTheLoginAfterTheEngineWasStopped()
    {
        EngineSide engine;
        startEngine(engine);
        QSignalSpy loginFailed(m_socket.data(), &OpenConnectManagementSocket::loginFailed);
        bool stopSentFirst = false;
        connect(m_socket.data(), &OpenConnectManagementSocket::loginFailed, this, [&] {
            engine.collect();
            stopSentFirst = engine.receivedWrite.endsWith("x\n");
        });
        m_handler.onPasswordRequest = [this](int) { m_socket->sendUsernamePassword("user", "wrong"); };
        engine.send(">REQUEST_USERNAME");
        engine.send(">REQUEST_PASSWORD");
        QTRY_VERIFY(engine.received.contains("wrong\n\n"));
        engine.send(">REQUEST_PASSWORD");
        QTRY_COMPARE(loginFailed.count(), 1);
        QCOMPARE(loginFailed.first().first().toString(), QStringLiteral("Login Failed. Please try to connect again."));
        QVERIFY(stopSentFirst);
        QCOMPARE(m_handler.startingWith("password"), QStringList({"password 0"}));

        // The engine is stuck waiting for an answer: the stop ends in a kill.
        QTRY_VERIFY_WITH_TIMEOUT(!m_socket->isProcessRunning(), 5000);
        engine.cmdFd.disconnectFromHost();
        QTRY_COMPARE(m_handler.count("terminated"), 1);
        QCOMPARE(loginFailed.count(), 1);
    }

    void loginFailureIsShownInTheInstalledBox()
    {
        EngineSide engine;
        bool stoppedBeforeTheBox = false;
        const auto boxes = QSharedPointer<RecordingMessageBoxFactory>::create();
        boxes->answers << [&](QDialog &box) {
            engine.collect();
            stoppedBeforeTheBox = engine.receivedWrite.endsWith("x\n");
            RecordingMessageBoxFactory::press(QMessageBox::Ok)(box);
        };
        MessageBoxFactory::setInstance(boxes);
        OpenConnectLoginFailedBox::install();
        startEngine(engine);

        failLogin(engine);
        QTRY_COMPARE(boxes->shown.size(), 1);
        const RecordingMessageBoxFactory::Shown &shown = boxes->shown.first();
        QCOMPARE(shown.text, QStringLiteral("Login Failed. Please try to connect again."));
        QCOMPARE(shown.className, QStringLiteral("QMessageBox")); // no close result: no event closes it
        QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(shown.icon, QMessageBox::Information);
        QCOMPARE(shown.informativeText, QString());
        QCOMPARE(shown.title, QStringLiteral("OrvalVPN")); // the factory's own: the notice has none
        QVERIFY(stoppedBeforeTheBox);

        // Requests from the stopping engine show nothing more.
        engine.send(">REQUEST_PASSWORD");
        QTest::qWait(200);
        QCOMPARE(boxes->shown.size(), 1);
    }

    void loginFailureWithoutABoxGoesToTheLog()
    {
        EngineSide engine;
        QSignalSpy loginFailed(m_socket.data(), &OpenConnectManagementSocket::loginFailed);
        startEngine(engine);
        QTest::ignoreMessage(QtWarningMsg, "OpenConnect login failed, nobody to tell the user: "
                                           "Login Failed. Please try to connect again.");
        failLogin(engine);
        QTRY_COMPARE(loginFailed.count(), 1);
    }

    void credentialsOfAnEarlierRunAreNeverSent()
    {
        EngineSide first;
        startEngine(first);
        m_socket->sendUsernamePassword("olduser", "oldpass"); // nothing was asked yet: kept
        endEngine(0);
        first.cmdFd.disconnectFromHost();
        QTRY_COMPARE(m_handler.count("terminated"), 1);
        QFile::remove(m_engineDir.filePath("exit"));

        EngineSide second;
        startEngine(second);
        second.send(">REQUEST_USERNAME");
        QTRY_COMPARE(m_handler.count("password 0"), 1);
        QTest::qWait(100);
        second.collect();
        QVERIFY(!second.received.contains("olduser"));
    }

    void passwordFirstRaisesOneAndKeepsTheUserName()
    {
        EngineSide engine;
        startEngine(engine);
        engine.send(">REQUEST_PASSWORD");
        QTRY_COMPARE(m_handler.count("password 1"), 1);
        m_socket->sendUsernamePassword("user", "secret");
        QTRY_VERIFY(engine.received.contains("secret\n\n"));
        QTest::qWait(100);
        engine.collect();
        QVERIFY(!engine.received.contains("user"));
    }

    // During the run, a command channel connection that does not open with
    // the run's secret is turned away; the engine's own, coming after it, are
    // served. The secret reaches the helper on its standard input after the
    // authentication lines, never among its arguments.
    void aConnectionWithoutTheSecretIsRefused_data()
    {
        QTest::addColumn<QByteArray>("opening");
        QTest::newRow("a request at once") << QByteArray(">REQUEST_PASSWORD\n");
        QTest::newRow("another run's secret") << QByteArray(">CHANNEL_SECRET:fedcba9876543210fedcba9876543210\n");
    }
    void aConnectionWithoutTheSecretIsRefused()
    {
        QFETCH(QByteArray, opening);
        startRun();
        QVERIFY(QRegularExpression("^[0-9a-f]{32}$").match(QString::fromLatin1(runSecret())).hasMatch());
        QVERIFY(!readArguments().join('\n').contains(QString::fromLatin1(runSecret())));
        EngineSide impostor;
        QVERIFY(impostor.connectTo(*m_socket, "fedcba9876543210fedcba9876543210"));
        QTcpSocket foreign;
        foreign.connectToHost(QHostAddress::LocalHost, m_socket->cmdFdPort());
        QVERIFY(foreign.waitForConnected(5000));
        foreign.write(opening);
        impostor.send(">REQUEST_PASSWORD");
        QTest::qWait(100);
        QCOMPARE(m_handler.count("accepted"), 0);

        EngineSide engine;
        QVERIFY(engine.connectTo(*m_socket, runSecret()));
        QTRY_COMPARE(m_handler.count("accepted"), 1);
        engine.send(">REQUEST_PASSWORD");
        QTRY_COMPARE(m_handler.count("password 1"), 1);
        // Nobody else heard a word, and those still waiting were sent away.
        QTRY_COMPARE(foreign.state(), QAbstractSocket::UnconnectedState);
        QTRY_COMPARE(impostor.cmdFd.state(), QAbstractSocket::UnconnectedState);
        QTRY_COMPARE(impostor.cmdFdWrite.state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(foreign.readAll() + impostor.cmdFd.readAll() + impostor.cmdFdWrite.readAll(), QByteArray());
    }

    void onlyTheEngineOfTheCurrentRunIsAccepted()
    {
        QTcpSocket early;
        early.connectToHost(QHostAddress::LocalHost, m_socket->cmdFdPort());
        QVERIFY(early.waitForConnected(5000));
        QTRY_COMPARE(early.state(), QAbstractSocket::UnconnectedState);

        EngineSide engine;
        startEngine(engine);
        QTcpSocket intruder;
        intruder.connectToHost(QHostAddress::LocalHost, m_socket->cmdFdPort());
        QVERIFY(intruder.waitForConnected(5000));
        intruder.write(">REQUEST_USERNAME\n");
        QTRY_COMPARE(intruder.state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(m_handler.count("accepted"), 1);
        QCOMPARE(m_handler.count("closed"), 0);
        QCOMPARE(m_handler.count("password 0"), 0);
    }

    void failedVpncScriptAnswersFailedAndStops()
    {
        EngineSide engine;
        startEngine(engine);
        m_os.failures.insert("setIPv4AddressAndGateway", {"Error", "helper failed"});
        for (const char *variable : {"reason=connect", "TUNDEV=tun0", "VPNGATEWAY=192.0.2.1",
                                     "INTERNAL_IP4_ADDRESS=198.18.0.2", "INTERNAL_IP4_NETMASK=255.255.255.255"})
            engine.progress(QByteArray(">VPNC_SCRIPT_ENV ") + variable);
        engine.send(">VPNC_SCRIPT_START");
        QTRY_VERIFY(engine.received.contains(">VPNC_SCRIPT_FAILED\n\n"));
        QTRY_VERIFY(engine.receivedWrite.endsWith("x\n"));
        QCOMPARE(m_frontend.errors.size(), 1);
    }

    void proxyIsRefusedInsteadOfIgnored()
    {
        QSignalSpy terminated(m_socket.data(), &OpenConnectManagementSocket::onOpenConnectTerminated);
        m_handler.onPrepare = [](AbstractVpnCommand &command) { command.setSocks5Proxy("127.0.0.1", "1080"); };
        m_socket->startVPN(m_parameters);
        QVERIFY(m_socket->isTerminationPending()); // no new start before the refusal is reported
        QTRY_COMPARE(terminated.count(), 1);
        QVERIFY(!m_socket->isProcessRunning());
        QVERIFY(!m_handler.events.contains("started"));
        // A failed start is the whole end of a run that never had an engine.
        QCOMPARE(m_handler.count("failedToStart"), 1);
        QCOMPARE(m_handler.count("terminated"), 0);
        QCOMPARE(m_frontend.errors.size(), 1);
        QVERIFY(!m_socket->isTerminationPending());
        QTest::qWait(200);
        QVERIFY(!QFile::exists(m_engineDir.filePath("arguments")));
    }

    void proxyTransportIsRefused()
    {
        QSignalSpy terminated(m_socket.data(), &OpenConnectManagementSocket::onOpenConnectTerminated);
        m_socket->startVPN(QSharedPointer<ConnectionParameters>(new OpenConnectConnectionParameters(
            site(), OpenConnectConnectVia::TCP_WITH_CUSTOM_PROXY(), Settings::IksSettings(), true, true)));
        QTRY_COMPARE(terminated.count(), 1);
        QVERIFY(!m_handler.events.contains("started"));
        QCOMPARE(m_frontend.errors.size(), 1);
        QVERIFY(m_frontend.errors.first().startsWith("The OpenConnect connection can not use a proxy."));
    }

    void messageTable_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("dns end without init") << QByteArrayList {">VPNINFO_PROGRESS >DNS_UP END"} << QStringList();
        QTest::newRow("connecting")
            << QByteArrayList {">VPNINFO_PROGRESS Connected to HTTPS on vpn1 with ciphersuite x"}
            << QStringList {"state CONNECTING"};
        QTest::newRow("reconnecting") << QByteArrayList {">VPNINFO_PROGRESS >RECONNECTING"}
                                      << QStringList {"state RECONNECTING"};
        QTest::newRow("stats missing field") << QByteArrayList {">VPNINFO_PROGRESS >VYXSTATS 12"} << QStringList();
        QTest::newRow("stats not a number")
            << QByteArrayList {">VPNINFO_PROGRESS >VYXSTATS x,34"} << QStringList {"bytes 0 34"};
        QTest::newRow("unknown lines") << QByteArrayList {"", ">SOMETHING", ">VPNINFO_PROGRESS whatever"}
                                       << QStringList();
        QTest::newRow("short cipher suite")
            << QByteArrayList {">VPNINFO_PROGRESS CSTP Ciphersuite: (TLS1.2)"} << QStringList();
    }

    void messageTable()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(QStringList, events);
        for (const QByteArray &line : lines)
            m_socket->handleMessageFromOpenConnectCmdFdSocket(line);
        QCOMPARE(m_handler.events, events);
    }

private:
    HalvorixServerSite site() const
    {
        return HalvorixServerSite("USA", "Dallas", "site-udp.conf", "site-tcp.conf", false, false, QDir(m_dir.path()),
                                  {}, QHostAddress(), GeoLocation(), QString(), 0);
    }

    static void writeFile(const QString &path, const QByteArray &content)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    // Whether the client writes on the engine's write channel (a status
    // request, taken back from what the engine received).
    bool writeChannelIsTaken(EngineSide &engine)
    {
        m_socket->sendCommandToCmdFdWriteSocket("s");
        if (!engine.cmdFdWrite.waitForReadyRead(50))
            return false;
        engine.cmdFdWrite.readAll();
        return true;
    }

    // The secret the helper stand-in read for the latest start.
    QByteArray runSecret() const
    {
        QFile file(m_engineDir.filePath("secret"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Starts a run and waits until the helper stand-in has read its input;
    // what an earlier run left is removed first.
    void startRun()
    {
        QFile::remove(m_engineDir.filePath("arguments"));
        QFile::remove(m_engineDir.filePath("secret"));
        m_socket->startVPN(m_parameters);
        QTRY_VERIFY(QFile::exists(m_engineDir.filePath("arguments")));
    }

    void startEngine(EngineSide &engine)
    {
        startRun();
        QVERIFY(engine.connectTo(*m_socket, runSecret()));
        QTRY_VERIFY(m_handler.events.contains("accepted"));
        // The write channel too: a channel is taken once it has shown the secret.
        QTRY_VERIFY(writeChannelIsTaken(engine));
        connect(&engine.cmdFd, &QTcpSocket::readyRead, this, [&engine] { engine.collect(); });
        connect(&engine.cmdFdWrite, &QTcpSocket::readyRead, this, [&engine] { engine.collect(); });
    }

    // A password sent and asked for again: the server refused it.
    void failLogin(EngineSide &engine)
    {
        m_handler.onPasswordRequest = [this](int) { m_socket->sendUsernamePassword("user", "wrong"); };
        engine.send(">REQUEST_USERNAME");
        engine.send(">REQUEST_PASSWORD");
        QTRY_VERIFY(engine.received.contains("wrong\n\n"));
        engine.send(">REQUEST_PASSWORD");
    }

    QStringList readArguments() const
    {
        QFile file(m_engineDir.filePath("arguments"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n');
    }

    void endEngine(int code)
    {
        QFile file(m_engineDir.filePath("exit"));
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray::number(code));
    }

    QTemporaryDir m_dir;
    QTemporaryDir m_engineDir;
    RecordingOsAbstraction m_os;
    RecordingFrontend m_frontend;
    RecordingHandler m_handler;
    QScopedPointer<OpenConnectManagementSocket> m_socket;
    QSharedPointer<ConnectionParameters> m_parameters;
};

QTEST_MAIN(TestOpenConnectSocket)
#include "tst_openconnect_socket.moc"
