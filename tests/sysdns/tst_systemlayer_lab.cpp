#include "Lab.h"
#include "core/NetworkInterface.h"
#include "prefs/Settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>

// The system layer for real: the real helper and the platform's stand-ins,
// inside the lab's client namespace (whose /etc/resolv.conf is its own). The
// probe is the main program of a bundle of the test's own; the clean-up run is
// the real OrvalVPN from a second bundle. Both share the settings store.
class TestSystemLayerLab : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_probeProgram;
    QString m_realProgram;
    QByteArray m_originalResolvConf;
    const QStringList markedServices {"orvks0", "orvks1"};

    // A bundle whose main program is a copy of `mainProgram`.
    QString makeBundle(const QString &name, const QString &mainProgram)
    {
        const QString contents =
            Lab::makeBundle(ORVAL_BUNDLE_DIR, m_dir.path(), name, mainProgram, {"Helpers/Stelvane", "Platform"});
        return contents.isEmpty() ? QString() : contents + "/MacOS/OrvalVPN";
    }

    static QString run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(120000))
            return QStringLiteral("did not finish");
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }

    QString probe(const QStringList &arguments) { return run(m_probeProgram, arguments); }

    static QString shell(const QString &command)
    {
        QProcess process;
        process.start("sh", {"-c", command});
        process.waitForFinished(10000);
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }

    static QByteArray resolvConf()
    {
        QFile file("/etc/resolv.conf");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
    }

    static QString blackHoles() { return shell("ip -4 route show type blackhole; ip -6 route show type unreachable"); }

    static QString linkState(const QString &name)
    {
        return shell("ip -o link show dev " + name).contains(QRegularExpression("[<,]UP[,>]")) ? "up" : "down";
    }

    // Starts a probe that keeps its changes until told to go.
    bool startHolding(QProcess &process, const QStringList &arguments)
    {
        process.start(m_probeProgram, arguments);
        return process.waitForReadyRead(120000) && process.readAllStandardOutput().startsWith("ready");
    }

    static void release(QProcess &process)
    {
        process.write("go\n");
        process.closeWriteChannel();
        process.waitForFinished(120000);
    }

private slots:
    void initTestCase()
    {
        if (!Lab::isActive())
            QSKIP("runs only inside the test network");
        QVERIFY(m_dir.isValid());
        QCoreApplication::setOrganizationName("OrvalVPN");
        QCoreApplication::setApplicationName("OrvalVPN");
        m_probeProgram = makeBundle("Probe", SYSDNS_PROBE);
        m_realProgram = makeBundle("Real", ORVAL_BUNDLE_DIR "/MacOS/OrvalVPN");
        QVERIFY(!m_probeProgram.isEmpty() && !m_realProgram.isEmpty());
        // Two more network services: the ends of a veth pair.
        QCOMPARE(shell("ip link add orvks0 type veth peer name orvks1 && ip link set orvks0 up && ip link set orvks1 up"
                       " && echo ok"),
                 QStringLiteral("ok"));
        m_originalResolvConf = resolvConf();
    }

    void init()
    {
        QSettings().clear();
        QSettings().sync();
    }

    void cleanup()
    {
        // Whatever a failed test left, the next one starts from the lab's own state.
        shell("ip route del 0.0.0.0/1 2>/dev/null; ip route del 128.0.0.0/1 2>/dev/null;"
              "ip -6 route del ::/1 2>/dev/null; ip -6 route del 8000::/1 2>/dev/null;"
              "ip route del 192.0.2.77 2>/dev/null;"
              "ip link set orvks0 up; ip link set orvks1 up");
        QFile file("/etc/resolv.conf");
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(m_originalResolvConf);
    }

    void nameServersPerStage()
    {
        QCOMPARE(probe({"dns-push", "start"}), QStringLiteral("ready"));
        QCOMPARE(resolvConf(), m_originalResolvConf);
        QCOMPARE(probe({"dns-push", "beforeConnect", "192.0.2.1", "192.0.2.2"}), QStringLiteral("ready"));
        const QString changed = QString::fromLocal8Bit(resolvConf());
        const int services = shell("ip -o link show | grep -vc ': lo:'").toInt();
        QCOMPARE(changed.count("nameserver 192.0.2.1\nnameserver 192.0.2.2\n"), services);
        QCOMPARE(probe({"dns-push", "afterConnect", "198.51.100.53"}), QStringLiteral("ready"));
        QVERIFY(resolvConf().contains("nameserver 198.51.100.53\n"));
        QVERIFY(!resolvConf().contains("192.0.2.1"));
        QCOMPARE(Settings().getDnsStackNames(), (QStringList {"start", "beforeConnect", "afterConnect"}));

        QCOMPARE(probe({"dns-popto", "afterConnect"}), QStringLiteral("popped afterConnect\nready"));
        QCOMPARE(QString::fromLocal8Bit(resolvConf()), changed);
        QCOMPARE(probe({"dns-popto", "beforeConnect"}), QStringLiteral("popped beforeConnect\nready"));
        QCOMPARE(resolvConf(), m_originalResolvConf);
        QCOMPARE(Settings().getDnsStackNames(), QStringList {"start"});
        QCOMPARE(probe({"dns-popall"}), QStringLiteral("popped start\nready"));
        QVERIFY(Settings().getDnsStackNames().isEmpty());
    }

    void dhcpStageIsRestoredAsDhcp()
    {
        QCOMPARE(probe({"dns-push", "start", "192.0.2.9"}), QStringLiteral("ready"));
        QCOMPARE(probe({"dns-push", "afterConnect", "192.0.2.10"}), QStringLiteral("ready"));
        QCOMPARE(probe({"dns-popto", "afterConnect"}), QStringLiteral("popped afterConnect\nready"));
        QVERIFY(resolvConf().contains("nameserver 192.0.2.9\n"));
        QVERIFY(!resolvConf().contains("192.0.2.10"));
        // Back to DHCP: every service's servers go ("empty" to the helper).
        QCOMPARE(probe({"dns-popall"}), QStringLiteral("popped start\nready"));
        QCOMPARE(resolvConf(), m_originalResolvConf);
    }

    void blackHoleRoutesLiveAsLongAsTheirObject_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("seamless");
        QTest::addColumn<bool>("ipv6");
        QTest::addColumn<QStringList>("routes");
        const QStringList v4 {"blackhole 0.0.0.0/1", "blackhole 128.0.0.0/1"};
        const QStringList v6 {"unreachable ::/1", "unreachable 8000::/1"};
        QTest::newRow("global IPv4") << QStringList {"blackhole-global"} << false << false << v4;
        QTest::newRow("global both") << QStringList {"blackhole-global", "ipv6"} << false << false << v4 + v6;
        QTest::newRow("connection, both preferences")
            << QStringList {"blackhole-connection"} << true << true << v4 + v6;
        QTest::newRow("connection, IPv6 only") << QStringList {"blackhole-connection"} << false << true << v6;
        QTest::newRow("connection, none") << QStringList {"blackhole-connection"} << false << false << QStringList();
    }

    void blackHoleRoutesLiveAsLongAsTheirObject()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, seamless);
        QFETCH(bool, ipv6);
        QFETCH(QStringList, routes);
        {
            Settings settings;
            settings.setSeamlessReconnect(seamless);
            settings.setPreventIPv6Leak(ipv6);
        }
        QVERIFY(blackHoles().isEmpty());
        QProcess holder;
        QVERIFY(startHolding(holder, arguments));
        const QString present = blackHoles();
        for (const QString &route : routes)
            QVERIFY2(present.contains(route), qPrintable(present));
        QCOMPARE(present.split('\n', Qt::SkipEmptyParts).size(), routes.size());
        release(holder);
        QCOMPARE(blackHoles(), QString());
    }

    void killSwitchDisablesAndReenablesTheMarkedServices()
    {
        Settings().setInternetKillSwitchInterface(NetworkInterface("orvks0"));
        QCOMPARE(probe({"killswitch-disable"}), QStringLiteral("ready"));
        QCOMPARE(linkState("orvks0"), QStringLiteral("down"));
        QCOMPARE(linkState("orvks1"), QStringLiteral("up"));
        QCOMPARE(probe({"killswitch-enable"}), QStringLiteral("ready"));
        QCOMPARE(linkState("orvks0"), QStringLiteral("up"));
    }

    void hostRoutesToTheNameServersThroughTheDefaultGateway()
    {
        const QString server = Lab::serverAddress();
        QCOMPARE(probe({"default-route"}), QStringLiteral("default route\nready"));
        QCOMPARE(probe({"protect-dns"}), QStringLiteral("ready"));
        QCOMPARE(shell("ip -4 route show " + server), QStringLiteral("%1 via %1 dev eth0").arg(server));
        QCOMPARE(probe({"release-dns"}), QStringLiteral("ready"));
        QCOMPARE(shell("ip -4 route show " + server), QString());
        const QString defaultRoute = shell("ip -4 route show default");
        QCOMPARE(shell("ip route del default && echo ok"), QStringLiteral("ok"));
        const QString without = probe({"default-route"});
        QCOMPARE(shell("ip route add " + defaultRoute + " && echo ok"), QStringLiteral("ok"));
        QCOMPARE(without, QStringLiteral("no default route\nready"));
    }

    // The host routes of all name servers are made by helper runs at the same time.
    void everyNameServerGetsItsHostRoute()
    {
        const QStringList servers {Lab::serverAddress(), "192.0.2.77"};
        {
            QFile file("/etc/resolv.conf");
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(("nameserver " + servers.join("\nnameserver ") + "\n").toUtf8());
        }
        QCOMPARE(probe({"protect-dns"}), QStringLiteral("ready"));
        const QString gateway = shell("ip -4 route show default | awk '{print $3}'");
        const QString server = servers.at(0);
        QCOMPARE(shell("ip -4 route show " + server), QStringLiteral("%1 via %1 dev eth0").arg(server));
        QCOMPARE(shell("ip -4 route show 192.0.2.77"), QStringLiteral("192.0.2.77 via %1 dev eth0").arg(gateway));
        QCOMPARE(probe({"release-dns"}), QStringLiteral("ready"));
        QCOMPARE(shell("ip -4 route show " + server + "; ip -4 route show 192.0.2.77"), QString());
    }

    void cleanUpRunUndoesAKilledRun_data()
    {
        QTest::addColumn<bool>("removeOnClose");
        QTest::newRow("services re-enabled") << true;
        QTest::newRow("services left off as the preferences say") << false;
    }

    void cleanUpRunUndoesAKilledRun()
    {
        QFETCH(bool, removeOnClose);
        {
            Settings settings;
            settings.setInternetKillSwitch(true);
            settings.setRemoveInternetKillSwitchOnClose(removeOnClose);
            for (const QString &service : markedServices)
                settings.setInternetKillSwitchInterface(NetworkInterface(service));
        }
        QProcess crashed;
        QVERIFY(startHolding(crashed, QStringList {"crash-scene", "192.0.2.1", "192.0.2.2"}));
        QVERIFY(resolvConf() != m_originalResolvConf);
        QVERIFY(!blackHoles().isEmpty());
        for (const QString &service : markedServices)
            QCOMPARE(linkState(service), QStringLiteral("down"));
        QCOMPARE(::kill(pid_t(crashed.processId()), SIGKILL), 0);
        QVERIFY(crashed.waitForFinished(10000));

        QProcess cleanUp;
        cleanUp.start(m_realProgram, {"--cleanup"});
        QVERIFY(cleanUp.waitForFinished(120000));
        QCOMPARE(cleanUp.exitCode(), 0);
        QCOMPARE(resolvConf(), m_originalResolvConf);
        QCOMPARE(blackHoles(), QString());
        const QString expectedState = removeOnClose ? "up" : "down";
        for (const QString &service : markedServices)
            QCOMPARE(linkState(service), expectedState);
        Settings after;
        QVERIFY(after.getDnsStackNames().isEmpty());
        QStringList record = after.internetKillSwitchDisabledInterfaces();
        record.sort();
        QCOMPARE(record, removeOnClose ? QStringList() : markedServices);
    }
};

QTEST_GUILESS_MAIN(TestSystemLayerLab)
#include "tst_systemlayer_lab.moc"
