#include "EngineProbe.h"
#include "Lab.h"
#include "RecordingOsAbstraction.h"


#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// The client as the bundle's main program: starts the engine through the
// real helper and stops it once it is up and has counted traffic.
int runProbe(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    RecordingOsAbstraction os;
    RecordingLifeCycleHandler handler;
    ManagementSocket socket(os, handler);
    handler.onPrepare = EngineProbe::prepare;
    int passwordRequests = 0;
    handler.passwordAction = [&] {
        // The first answer is wrong on purpose: the engine must ask again.
        socket.sendUsernamePassword("alice", ++passwordRequests == 1 ? "wrong" : "s3cret");
    };
    bool up = false, counted = false, stopping = false;
    return EngineProbe::run(app, socket, handler, QSharedPointer<ConnectionParameters>(new EngineProbe::Parameters),
                            [&](const QString& event) {
                                up = up || event == "up";
                                counted = counted || (event.startsWith("bytecount") && event != "bytecount 0 0");
                                if (up && counted && !stopping) {
                                    stopping = true;
                                    socket.sendSigTerm();
                                }
                            });
}
} // namespace

// The real helper starts the real engine (through the bundle's adapter)
// against a real OpenVPN server in the lab's server namespace.
class TestOpenVpnHelperLab : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QProcess server;
    OpenVpnServerOptions options;
    QString bundle;

    QString path(const QString& name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        LAB_REQUIRE({"openvpn"});
        QVERIFY(dir.isValid());
        QVERIFY(Lab::makePki(path("pki")));
        bundle = Lab::makeProbeBundle(QStringLiteral(ORVAL_BUNDLE_DIR), dir.path());
        QVERIFY(!bundle.isEmpty());
        options.network = "10.99.0.0";
        options.user = "alice";
        options.password = "s3cret";
        options.pushes = QStringList{"dhcp-option DNS 10.99.0.1", "route 192.0.2.0 255.255.255.0"};
        QVERIFY(Lab::writeOpenVpnClientConfig(path("config/lab.ovpn"), path("pki"), Lab::serverAddress(), options.port));
        QVERIFY(Lab::startOpenVpnServer(server, path("pki"), options));
    }

    void cleanupTestCase()
    {
        Lab::stop(server);
    }

    void helperRunsTheEngineFromHoldToConnectedToOneEnd()
    {
        const EngineProbe::Result probe = EngineProbe::start(bundle, path("config/lab.ovpn"));
        QVERIFY(probe.finished);
        const QStringList& events = probe.events;
        QFile serverLog(Lab::openVpnServerLog(path("pki"), options));
        serverLog.open(QIODevice::ReadOnly);
        const QString log = probe.log + "\nSERVER:\n" + QString::fromLocal8Bit(serverLog.readAll());
        if (probe.exitCode != 0 || !events.contains("state CONNECTED"))
            qWarning().noquote() << "Client and server log:\n" << log;
        QVERIFY2(probe.exitCode == 0, "the probe did not end by itself (log above)");
        QVERIFY(events.contains("state CONNECTED"));
        QCOMPARE(events.filter("password"), (QStringList{"password 0", "password 1"}));
        QVERIFY(events.contains("hold 0"));
        QVERIFY(events.contains("up"));
        QVERIFY(log.contains("signal SIGTERM") || log.contains("Send SigTerm"));
        QCOMPARE(events.filter("terminated").size(), 1);
        QVERIFY(events.indexOf("closed") < events.indexOf("terminated"));
    }
};

ENGINE_PROBE_MAIN(TestOpenVpnHelperLab, runProbe)

#include "tst_openvpn_helper_lab.moc"
