#include "EngineProbe.h"
#include "Lab.h"
#include "RecordingOsAbstraction.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Set when a local program of another user is to connect to the management
// port first, before the engine is started.
const char *const INTRUDER = "ORVAL_PROBE_INTRUDER";

// The client as the bundle's main program: starts the engine through the
// real helper and stops it once it is up and has counted traffic.
int runProbe(int argc, char **argv)
{
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
    }

    void cleanupTestCase() { Lab::stop(m_server); }

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
    // port before the engine: it is turned away without being told anything
    // (it would be given the credentials), and the engine still connects.
    void aForeignConnectionThatComesFirstIsRefused()
    {
        QProcessEnvironment environment;
        environment.insert(INTRUDER, "1");
        const EngineProbe::Result probe = EngineProbe::start(m_bundle, path("config/lab.ovpn"), environment);
        QVERIFY(probe.finished);
        if (probe.exitCode != 0 || !probe.events.contains("state CONNECTED"))
            qWarning().noquote() << probe.events.join('\n') << probe.log;
        QCOMPARE(probe.exitCode, 0);
        QCOMPARE(probe.events.filter("intruder"), (QStringList {"intruder connected", "intruder closed"}));
        QVERIFY2(probe.log.contains("refused a management connection") && probe.log.contains("not the engine"),
                 qPrintable(probe.log));
        QCOMPARE(probe.events.filter("accepted").size(), 1);
        QVERIFY(probe.events.contains("state CONNECTED"));
        QCOMPARE(probe.events.filter("password"), (QStringList {"password 0", "password 1"}));
    }
};

ENGINE_PROBE_MAIN(TestOpenVpnHelperLab, runProbe)

#include "tst_openvpn_helper_lab.moc"
