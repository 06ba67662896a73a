#include "Lab.h"

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

const QString USER = QStringLiteral("lab-user");
const QString PASSWORD = QStringLiteral("lab \"pass\\word\"");
const quint16 VPN_PORT = 4443;

// The client's end of the engine's two command channels, answering as the
// product does and configuring the network itself when the vpnc-script asks.
class ClientSide : public QObject
{
public:
    QString password = PASSWORD;
    int passwordAnswers = 1000; // how many password requests get an answer
    QStringList lines;
    QStringList scriptReasons;
    QMap<QString, QString> environment;
    QTcpSocket *command = nullptr;
    QTcpSocket *commandWrite = nullptr;

    ClientSide()
    {
        m_commandServer.listen(QHostAddress::LocalHost);
        m_commandWriteServer.listen(QHostAddress::LocalHost);
        connect(&m_commandServer, &QTcpServer::newConnection, this, [this] {
            command = m_commandServer.nextPendingConnection();
            connect(command, &QTcpSocket::readyRead, this, &ClientSide::read);
        });
        connect(&m_commandWriteServer, &QTcpServer::newConnection, this,
                [this] { commandWrite = m_commandWriteServer.nextPendingConnection(); });
    }

    static constexpr char SECRET[] = "0123456789abcdef0123456789abcdef";

    // Starts the engine as the helper does: these arguments, and the run's
    // secret as its whole environment.
    void start(QProcess &engine) const
    {
        engine.setProcessChannelMode(QProcess::ForwardedChannels);
        QProcessEnvironment environment;
        environment.insert("VYX_CHANNEL_SECRET", SECRET);
        engine.setProcessEnvironment(environment);
        engine.start(ORVAL_OPENCONNECT_ENGINE, engineArguments());
    }

    QStringList engineArguments() const
    {
        return {QStringLiteral("https://%1:%2/").arg(Lab::serverAddress()).arg(VPN_PORT),
                "--vyx-port-cmd-fd",
                QString::number(m_commandServer.serverPort()),
                "--vyx-port-cmd-fd-write",
                QString::number(m_commandWriteServer.serverPort()),
                "--script",
                ORVAL_VPNC_SCRIPT,
                "--no-dtls",
                "--reconnect-timeout",
                "30"};
    }

    bool seen(const QString &prefix) const
    {
        return std::any_of(lines.begin(), lines.end(), [&](const QString &l) { return l.startsWith(prefix); });
    }

    int count(const QString &prefix) const
    {
        return std::count_if(lines.begin(), lines.end(), [&](const QString &l) { return l.startsWith(prefix); });
    }

    void send(QTcpSocket *socket, const QByteArray &text)
    {
        socket->write(text + "\n");
        socket->flush();
    }

private:
    void read()
    {
        m_buffer += command->readAll();
        int newline;
        while ((newline = m_buffer.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(m_buffer.left(newline)).trimmed();
            m_buffer.remove(0, newline + 1);
            lines << line;
            handle(line);
        }
    }

    void handle(const QString &line)
    {
        const QString envPrefix = QStringLiteral(">VPNINFO_PROGRESS >VPNC_SCRIPT_ENV ");
        if (line.startsWith(">REQUEST_TO_TRUST_CERTIFICATE"))
            send(command, "yes\n");
        else if (line.startsWith(">REQUEST_USERNAME"))
            send(command, USER.toUtf8() + "\n");
        else if (line.startsWith(">REQUEST_PASSWORD") && passwordAnswers-- > 0)
            send(command, password.toUtf8() + "\n");
        else if (line.startsWith(envPrefix)) {
            const QString assignment = line.mid(envPrefix.size());
            environment.insert(assignment.section('=', 0, 0), assignment.section('=', 1));
        } else if (line.startsWith(">VPNC_SCRIPT_START")) {
            runScript();
        }
    }

    void runScript()
    {
        const QString reason = environment.value("reason");
        scriptReasons << reason;
        const QString device = environment.value("TUNDEV");
        bool ok = true;
        if (reason == "connect") {
            ok = QProcess::execute("ip",
                                   {"addr", "add", environment.value("INTERNAL_IP4_ADDRESS") + "/32", "dev", device})
                     == 0
                 && QProcess::execute("ip", {"link", "set", device, "up"}) == 0
                 && QProcess::execute("ip", {"route", "add", "198.18.0.0/24", "dev", device}) == 0;
        }
        send(command, ok ? ">VPNC_SCRIPT_OK\n" : ">VPNC_SCRIPT_FAILED\n");
    }

    QTcpServer m_commandServer;
    QTcpServer m_commandWriteServer;
    QByteArray m_buffer;
};

} // namespace

// The bundled OpenConnect engine against a real ocserv across the lab.
class TestOpenConnectEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        LAB_REQUIRE({"ocserv"});
        QVERIFY2(Lab::startOcserv(m_server, USER, PASSWORD, VPN_PORT), "ocserv did not start");
    }

    void cleanupTestCase() { Lab::stop(m_server); }

    void connectsCarriesTrafficAndDisconnectsCleanly()
    {
        ClientSide client;
        QProcess engine;
        client.start(engine);

        QTRY_VERIFY_WITH_TIMEOUT(client.seen(">VPNINFO_PROGRESS >DNS_UP END"), 30000);
        // Each channel opens with the secret, before anything else.
        QCOMPARE(client.lines.first(), QStringLiteral(">CHANNEL_SECRET:") + ClientSide::SECRET);
        QCOMPARE(client.commandWrite->readLine(), QByteArray(">CHANNEL_SECRET:") + ClientSide::SECRET + '\n');
        QVERIFY(client.seen(">VPNINFO_PROGRESS --servercert "));
        QVERIFY(client.seen(">VPNINFO_PROGRESS CSTP connected"));
        QVERIFY(client.seen(">VPNINFO_PROGRESS Connected as 198.18.0."));
        QVERIFY(client.seen(">VPNINFO_PROGRESS >REMOTEIP " + Lab::serverAddress()));
        QVERIFY(client.seen(">VPNINFO_PROGRESS >DNS_0_UP " + Lab::serverAddress()));
        QCOMPARE(client.scriptReasons, QStringList({"pre-init", "connect"}));
        QCOMPARE(client.environment.value("VPNGATEWAY"), Lab::serverAddress());
        QVERIFY(client.environment.value("INTERNAL_IP4_ADDRESS").startsWith("198.18.0."));

        QCOMPARE(QProcess::execute("ping", {"-c", "2", "-W", "3", "198.18.0.1"}), 0);
        client.send(client.commandWrite, "s");
        QTRY_VERIFY_WITH_TIMEOUT(client.seen(">VPNINFO_PROGRESS >VYXSTATS "), 10000);
        const QString stats = client.lines.filter(">VPNINFO_PROGRESS >VYXSTATS ").last().section(' ', 2);
        QVERIFY2(stats.section(',', 0, 0).toULongLong() > 0, qPrintable(stats));

        client.send(client.commandWrite, "x");
        client.send(client.command, "");
        QTRY_VERIFY_WITH_TIMEOUT(engine.state() == QProcess::NotRunning, 20000);
        QCOMPARE(engine.exitCode(), 0);
        QCOMPARE(client.scriptReasons.last(), QStringLiteral("disconnect"));
        QVERIFY(!client.seen(">VPNINFO_PROGRESS >VYXERR"));
    }

    void wrongPasswordIsAskedForAgain()
    {
        ClientSide client;
        client.password = QStringLiteral("wrong");
        QProcess engine;
        client.start(engine);
        QTRY_VERIFY_WITH_TIMEOUT(client.count(">REQUEST_PASSWORD") >= 2, 30000);
        client.send(client.commandWrite, "x");
        QTRY_VERIFY_WITH_TIMEOUT(engine.state() == QProcess::NotRunning, 20000);
        QVERIFY(!client.seen(">VPNINFO_PROGRESS CSTP connected"));
        QVERIFY(client.scriptReasons.isEmpty());
    }

    // The product stops the engine instead of answering a repeated request.
    void noSecretNoStart()
    {
        ClientSide client;
        QProcess engine;
        engine.setProcessChannelMode(QProcess::ForwardedChannels);
        engine.setProcessEnvironment(QProcessEnvironment());
        engine.start(ORVAL_OPENCONNECT_ENGINE, client.engineArguments());
        QVERIFY(engine.waitForFinished(10000));
        QCOMPARE(engine.exitCode(), 2);
        QVERIFY(!client.command);
    }

    void stopWhileAskedForCredentials()
    {
        ClientSide client;
        client.password = QStringLiteral("wrong");
        client.passwordAnswers = 1;
        QProcess engine;
        client.start(engine);
        QTRY_VERIFY_WITH_TIMEOUT(client.count(">REQUEST_PASSWORD") >= 2, 30000);
        client.send(client.commandWrite, "x");
        client.send(client.command, "");
        QTRY_VERIFY_WITH_TIMEOUT(engine.state() == QProcess::NotRunning, 5000);
    }

private:
    QProcess m_server;
};

QTEST_GUILESS_MAIN(TestOpenConnectEngine)
#include "tst_openconnect_engine.moc"
