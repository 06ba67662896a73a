#include "../backend/RecordingFrontend.h"
#include "../openvpn/EngineProbe.h"
#include "Lab.h"
#include "RecordingOsAbstraction.h"

#include "core/HandlerList.h"
#include "openvpn/ConnectVia.h"
#include "prefs/Settings.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Set for the probe: the proxy the user chose ("HTTP 198.51.100.1 8888") and
// the address to ping through the tunnel.
const char *const PROBE_PROXY = "ORVAL_PROBE_PROXY";
const char *const PROBE_PING = "ORVAL_PROBE_PING";

const quint16 HTTP_PROXY_PORT = 8888;
const quint16 SOCKS_PROXY_PORT = 1080;
const quint16 DEAD_PORT = 1081;

// The user's choice as the preferences keep it.
void storeCustomProxy(const QStringList &proxy)
{
    Settings settings;
    settings.setProxySettings(Settings::CUSTOM);
    settings.setProxyProtocol(proxy.value(0) == "SOCKS5" ? Settings::SOCKS5 : Settings::HTTP);
    settings.setProxyAddress(proxy.value(1));
    settings.setProxyPort(proxy.value(2));
}

// The client as the bundle's main program: the custom-proxy transport sets the
// engine's proxy, the real helper starts the engine; on CONNECTED the probe
// pings through the tunnel and stops. Every engine event goes to standard output.
int runProbe(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    storeCustomProxy(qEnvironmentVariable(PROBE_PROXY).split(' '));
    RecordingOsAbstraction os;
    QStringList frontendLog;
    RecordingFrontend frontend("probe", frontendLog);
    const QSharedPointer<RecordingLifeCycleHandler> recorder(new RecordingLifeCycleHandler);
    const QSharedPointer<ConnectionParameters> parameters(new EngineProbe::Parameters);
    HandlerList handlers;
    handlers.list << recorder;
    ConnectVia::TCP_WITH_CUSTOM_PROXY().setUpHandler(os, handlers, parameters, frontend);
    EngineProbe::say(QStringLiteral("handlers %1").arg(handlers.list.size()));
    ManagementSocket socket(os, handlers);
    recorder->onPrepare = EngineProbe::prepare;
    recorder->passwordAction = [&] { socket.sendUsernamePassword("alice", "s3cret"); };
    bool stopping = false;
    return EngineProbe::run(app, socket, *recorder, parameters, [&](const QString &event) {
        if (event == "state CONNECTED" && !stopping) {
            stopping = true;
            const int ping = QProcess::execute("ping", {"-c", "1", "-W", "5", qEnvironmentVariable(PROBE_PING)});
            EngineProbe::say(QStringLiteral("ping %1").arg(ping));
            socket.sendSigTerm();
        }
    });
}
} // namespace

// The user's own HTTP or SOCKS5 proxy in the lab's server namespace, in front
// of a real OpenVPN server that listens on that namespace's loopback only: the
// engine, started by the real helper with the proxy the custom-proxy transport
// set, can reach the server through the proxy and nothing else.
class TestCustomProxyLab : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_bundle;
    QProcess m_openvpnServer;
    QProcess m_httpProxy;
    QProcess m_socksProxy;
    OpenVpnServerOptions m_server;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    static bool write(const QString &file, const QByteArray &content)
    {
        QFile out(file);
        return out.open(QIODevice::WriteOnly) && out.write(content) == content.size();
    }

private slots:
    void initTestCase()
    {
        LAB_REQUIRE({"openvpn", "tinyproxy", "microsocks"});
        QVERIFY(m_dir.isValid());
        QVERIFY(Lab::makePki(path("pki")));
        m_bundle = Lab::makeProbeBundle(QStringLiteral(ORVAL_BUNDLE_DIR), m_dir.path());
        QVERIFY(!m_bundle.isEmpty());

        m_server.network = "10.97.0.0";
        m_server.user = "alice";
        m_server.password = "s3cret";
        m_server.extraArguments = QStringList {"--local", "127.0.0.1"};
        QVERIFY(Lab::writeOpenVpnClientConfig(path("config/lab.ovpn"), path("pki"), "127.0.0.1", m_server.port));
        QVERIFY(Lab::startOpenVpnServer(m_openvpnServer, path("pki"), m_server));

        QVERIFY(write(path("tinyproxy.conf"), QStringLiteral("Port %1\nListen %2\nTimeout 60\nMaxClients 8\n"
                                                             "LogLevel Connect\nLogFile \"%3\"\n")
                                                  .arg(HTTP_PROXY_PORT)
                                                  .arg(Lab::serverAddress(), path("tinyproxy.log"))
                                                  .toUtf8()));
        m_httpProxy.setProcessChannelMode(QProcess::ForwardedChannels);
        Lab::startOnServer(m_httpProxy, "tinyproxy", {"-d", "-c", path("tinyproxy.conf")});
        QVERIFY(Lab::waitForServerPort(HTTP_PROXY_PORT));
        m_socksProxy.setProcessChannelMode(QProcess::ForwardedChannels);
        Lab::startOnServer(m_socksProxy, "microsocks",
                           {"-i", Lab::serverAddress(), "-p", QString::number(SOCKS_PROXY_PORT)});
        QVERIFY(Lab::waitForServerPort(SOCKS_PROXY_PORT));
    }

    void cleanupTestCase()
    {
        Lab::stop(m_socksProxy);
        Lab::stop(m_httpProxy);
        Lab::stop(m_openvpnServer);
    }

    void engineReachesTheServerOnlyThroughTheProxy_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("connects");
        QTest::newRow("HTTP through tinyproxy") << "HTTP" << int(HTTP_PROXY_PORT) << true;
        QTest::newRow("SOCKS5 through microsocks") << "SOCKS5" << int(SOCKS_PROXY_PORT) << true;
        QTest::newRow("HTTP proxy not answering") << "HTTP" << int(DEAD_PORT) << false;
        QTest::newRow("SOCKS5 proxy not answering") << "SOCKS5" << int(DEAD_PORT) << false;
    }

    void engineReachesTheServerOnlyThroughTheProxy()
    {
        QFETCH(QString, protocol);
        QFETCH(int, port);
        QFETCH(bool, connects);
        QProcessEnvironment environment;
        environment.insert(PROBE_PROXY, QStringLiteral("%1 %2 %3").arg(protocol, Lab::serverAddress()).arg(port));
        environment.insert(PROBE_PING, Lab::tunnelAddress(m_server));
        const EngineProbe::Result probe = EngineProbe::start(m_bundle, path("config/lab.ovpn"), environment);
        QVERIFY(probe.finished);
        const QStringList &events = probe.events;
        const bool connected = events.contains("state CONNECTED");
        if (probe.exitCode != 0 || connected != connects)
            qWarning().noquote() << "Events:\n" << events.join('\n') << "\nClient log:\n" << probe.log;
        QVERIFY2(probe.exitCode == 0, "the probe did not end by itself (log above)");
        // Only the custom-proxy transport's handler joins the list.
        QVERIFY(events.contains("handlers 2"));
        QCOMPARE(connected, connects);
        if (connects)
            QVERIFY(events.contains("ping 0"));
        // However the run went, it ends exactly once and leaves no engine behind.
        QCOMPARE(events.filter("terminated").size(), 1);
        QTRY_COMPARE(Lab::clientProcesses("openvpn"), QList<qint64>());
    }
};

ENGINE_PROBE_MAIN(TestCustomProxyLab, runProbe)

#include "tst_customproxy_lab.moc"
