#include "AnotherUser.h"
#include "EngineProbe.h"
#include "Lab.h"
#include "RecordingOsAbstraction.h"

#include "openvpn/OpenVpnCommand.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Set when a local program of another user is to connect to the management
// port first, before the engine is started.
const char *const INTRUDER = "ORVAL_PROBE_INTRUDER";
// Set, to an engine configuration that reaches the attacker's server, when
// the probe is to face another local user who wants its login: first
// through the helper, then with a root engine of the attacker's already
// waiting at the management port when the probe's own engine starts.
const char *const ATTACKER_CONFIG = "ORVAL_PROBE_ATTACKER_CONFIG";
// Set, to the probe's management port, when this program runs as the
// attacker's client (as nobody), having the helper aim an engine there.
const char *const AIMED_AT = "ORVAL_PROBE_AIMED_AT";

// The attacker's client: the helper's OpenVPN command as the client sends it,
// with the probe's management port in place of a port of its own.
int aimHelperAtTheProbe(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    RecordingOsAbstraction os;
    OpenVpnCommand command(os, QFileInfo(qEnvironmentVariable(ATTACKER_CONFIG)),
                           qEnvironmentVariableIntValue(AIMED_AT));
    EngineProbe::prepare(command);
    return AnotherUser::runHelper(command);
}

// Plays the attack on the probe's management port before its run starts.
// False when a step of the attack itself fails.
bool attack(quint16 port, QProcess &impostor)
{
    EngineProbe::say(QStringLiteral("management port %1").arg(port));
    QProcess attacker;
    AnotherUser::startThisProgram(attacker, AIMED_AT, QString::number(port));
    if (!attacker.waitForFinished(40000))
        return false;
    EngineProbe::say(QStringLiteral("attacker exit %1").arg(attacker.exitCode()));
    for (const QByteArray &line : attacker.readAllStandardOutput().split('\n')) {
        if (!line.isEmpty())
            EngineProbe::say("attacker said " + QString::fromLocal8Bit(line));
    }
    // What a helper without that check would have started for the attacker:
    // a root engine, aimed at the probe and at the attacker's server. Its
    // connection waits in the server's queue, so the probe judges it first.
    impostor.setProcessChannelMode(QProcess::MergedChannels);
    impostor.start(Lab::openVpnProgram(),
                   QStringList {"--config", qEnvironmentVariable(ATTACKER_CONFIG)} + Lab::managementArguments(port));
    return Lab::waitForConnectionTo(port);
}

// The client as the bundle's main program: starts the engine through the
// real helper and stops it once it is up and has counted traffic.
int runProbe(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(AIMED_AT))
        return aimHelperAtTheProbe(argc, argv);
    QCoreApplication app(argc, argv);
    RecordingOsAbstraction os;
    RecordingLifeCycleHandler handler;
    ManagementSocket socket(os, handler);
    QProcess intruder;
    if (qEnvironmentVariableIsSet(INTRUDER)) {
        // Connected (waiting in the server's queue) before the run starts:
        // the client takes it first.
        if (!Lab::connectAsAnotherUser(intruder, socket.serverPort()))
            return 3;
    }
    QProcess impostor;
    if (qEnvironmentVariableIsSet(ATTACKER_CONFIG) && !attack(socket.serverPort(), impostor))
        return 4;
    handler.onPrepare = EngineProbe::prepare;
    int passwordRequests = 0;
    handler.passwordAction = [&] {
        // The first answer is wrong on purpose: the engine must ask again.
        socket.sendUsernamePassword("alice", ++passwordRequests == 1 ? "wrong" : "s3cret");
    };
    bool up = false, counted = false, stopping = false;
    const int exitCode =
        EngineProbe::run(app, socket, handler, QSharedPointer<ConnectionParameters>(new EngineProbe::Parameters),
                         [&](const QString &event) {
                             up = up || event == "up";
                             counted = counted || (event.startsWith("bytecount") && event != "bytecount 0 0");
                             if (up && counted && !stopping) {
                                 stopping = true;
                                 socket.sendSigTerm();
                             }
                         });
    if (intruder.state() != QProcess::NotRunning) {
        intruder.waitForFinished(5000);
        intruder.kill();
        intruder.waitForFinished();
    }
    for (const QByteArray &line : intruder.readAllStandardOutput().split('\n')) {
        if (!line.isEmpty())
            EngineProbe::say("intruder " + QString::fromLatin1(line));
    }
    Lab::stop(impostor);
    return exitCode;
}
} // namespace

// The real helper starts the real engine (through the bundle's adapter)
// against a real OpenVPN server in the lab's server namespace.
class TestOpenVpnHelperLab : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcess m_server;
    OpenVpnServerOptions m_options;
    // Another local user's server, where that user wants the probe's login.
    QProcess m_attackerServer;
    OpenVpnServerOptions m_attackerOptions;
    QString m_bundle;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        LAB_REQUIRE({"openvpn"});
        QVERIFY(m_dir.isValid());
        QVERIFY(Lab::makePki(path("pki")));
        m_bundle = Lab::makeProbeBundle(QStringLiteral(ORVAL_BUNDLE_DIR), m_dir.path());
        QVERIFY(!m_bundle.isEmpty());
        m_options.network = "10.99.0.0";
        m_options.user = "alice";
        m_options.password = "s3cret";
        m_options.pushes = QStringList {"dhcp-option DNS 10.99.0.1", "route 192.0.2.0 255.255.255.0"};
        QVERIFY(
            Lab::writeOpenVpnClientConfig(path("config/lab.ovpn"), path("pki"), Lab::serverAddress(), m_options.port));
        QVERIFY(Lab::startOpenVpnServer(m_server, path("pki"), m_options));
        m_attackerOptions.port = 1195;
        m_attackerOptions.network = "10.98.0.0";
        m_attackerOptions.user = "mallory";
        m_attackerOptions.password = "mallory's";
        QVERIFY(Lab::writeOpenVpnClientConfig(path("attacker/attacker.ovpn"), path("pki"), Lab::serverAddress(),
                                              m_attackerOptions.port));
        QVERIFY(Lab::startOpenVpnServer(m_attackerServer, path("pki"), m_attackerOptions));
    }

    void cleanupTestCase()
    {
        Lab::stop(m_attackerServer);
        Lab::stop(m_server);
    }

    void helperRunsTheEngineFromHoldToConnectedToOneEnd()
    {
        const EngineProbe::Result probe = EngineProbe::start(m_bundle, path("config/lab.ovpn"));
        QVERIFY(probe.finished);
        const QStringList &events = probe.events;
        QFile serverLog(Lab::openVpnServerLog(path("pki"), m_options));
        serverLog.open(QIODevice::ReadOnly);
        const QString log = probe.log + "\nSERVER:\n" + QString::fromLocal8Bit(serverLog.readAll());
        if (probe.exitCode != 0 || !events.contains("state CONNECTED"))
            qWarning().noquote() << "Client and server log:\n" << log;
        QVERIFY2(probe.exitCode == 0, "the probe did not end by itself (log above)");
        QVERIFY(events.contains("state CONNECTED"));
        QCOMPARE(events.filter("password"), (QStringList {"password 0", "password 1"}));
        QVERIFY(events.contains("hold 0"));
        QVERIFY(events.contains("up"));
        QVERIFY(log.contains("signal SIGTERM") || log.contains("Send SigTerm"));
        QCOMPARE(events.filter("terminated").size(), 1);
        QVERIFY(events.indexOf("closed") < events.indexOf("terminated"));
    }

    // A program of another user on this machine connects to the management
    // port before the engine: it hears nothing but the question for the
    // engine's secret (it would be given the credentials), is turned away
    // once the engine has shown it, and the engine still connects.
    void aForeignConnectionThatComesFirstIsRefused()
    {
        QProcessEnvironment environment;
        environment.insert(INTRUDER, "1");
        const EngineProbe::Result probe = EngineProbe::start(m_bundle, path("config/lab.ovpn"), environment);
        QVERIFY(probe.finished);
        if (probe.exitCode != 0 || !probe.events.contains("state CONNECTED"))
            qWarning().noquote() << probe.events.join('\n') << probe.log;
        QCOMPARE(probe.exitCode, 0);
        QCOMPARE(probe.events.filter("intruder"),
                 (QStringList {"intruder connected", "intruder echo on all", "intruder closed"}));
        QVERIFY2(probe.log.contains("refused a management connection") && probe.log.contains("not the engine"),
                 qPrintable(probe.log));
        QCOMPARE(probe.events.filter("accepted").size(), 1);
        QVERIFY(probe.events.contains("state CONNECTED"));
        QCOMPARE(probe.events.filter("password"), (QStringList {"password 0", "password 1"}));
    }

    // Another local user wants the probe's login. Through the helper, aimed
    // at the probe's management port, the attacker's run is refused before
    // anything starts; a root engine of the attacker's that waits at that
    // port when the probe's own engine starts (what a helper without that
    // check would have started) is turned away before it hears a word, and
    // the probe's own engine connects. The attacker's server hears nothing.
    void anotherUsersEngineNeverGetsTheLogin()
    {
        QProcessEnvironment environment;
        environment.insert(ATTACKER_CONFIG, path("attacker/attacker.ovpn"));
        const EngineProbe::Result probe = EngineProbe::start(m_bundle, path("config/lab.ovpn"), environment);
        QVERIFY(probe.finished);
        QFile attackerLog(Lab::openVpnServerLog(path("pki"), m_attackerOptions));
        QVERIFY(attackerLog.open(QIODevice::ReadOnly));
        const QString heard = QString::fromLocal8Bit(attackerLog.readAll());
        const QString all = probe.events.join('\n') + "\n" + probe.log + "\nATTACKER'S SERVER:\n" + heard;
        QVERIFY2(probe.exitCode == 0, qPrintable(all));

        const QString port = probe.events.filter(QRegularExpression("^management port ")).value(0).section(' ', 2);
        QVERIFY(!port.isEmpty());
        QCOMPARE(probe.events.filter("attacker exit"), QStringList {"attacker exit 255"});
        const QStringList said = probe.events.filter("attacker said");
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().startsWith("attacker said Failure creating command 'OpenVPN' with arguments: ")
                     && said.first().endsWith("error message: IllegalArgumentException: ManagementPort=" + port
                                              + " (the loopback listener at this port is not the calling user's)"),
                 qPrintable(said.first()));

        QVERIFY2(probe.log.contains("refused a management connection") && probe.log.contains("not the engine"),
                 qPrintable(all));
        QCOMPARE(probe.events.filter("accepted").size(), 1);
        QVERIFY2(probe.events.contains("state CONNECTED"), qPrintable(all));
        QCOMPARE(probe.events.filter("password"), (QStringList {"password 0", "password 1"}));
        QVERIFY2(!heard.contains("TLS: Initial packet") && !heard.contains("alice"), qPrintable(all));
    }
};

ENGINE_PROBE_MAIN(TestOpenVpnHelperLab, runProbe)

#include "tst_openvpn_helper_lab.moc"
