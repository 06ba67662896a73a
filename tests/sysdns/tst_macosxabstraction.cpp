#include "RecordingStelvaneRunner.h"
#include "core/HandlerList.h"
#include "prefs/Settings.h"
#include "system/MacOSXAbstractionImpl.h"
#include "system/SigTermHandler.h"

#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

void dropDebugLines(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

// The helper and networksetup of the test (fake-helper, fake-networksetup)
// work over files in the directory they are copied to:
// "services" lists the services, "dns-SERVICE" holds a service's name
// servers, "up-SERVICE" exists while it is enabled, "fail-SERVICE" makes every
// helper run naming the service a refused one. The helper logs each run to
// "runs", one line per run.
class TestMacOSXAbstraction : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QScopedPointer<MacOSXAbstractionImpl> m_os;
    // Over the same networksetup, with a runner that records the waves of helper runs.
    QSharedPointer<RecordingStelvaneRunner> m_runner;
    QScopedPointer<MacOSXAbstractionImpl> m_recorded;

    void copyProgram(const QString &from, const QString &to)
    {
        QVERIFY(QFile::copy(QStringLiteral(FAKES_DIR "/") + from, m_dir.filePath(to)));
        QVERIFY(QFile::setPermissions(m_dir.filePath(to), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    void write(const QString &name, const QByteArray &content)
    {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    void setServices(const QStringList &services) { write("services", services.join('\n').toUtf8() + '\n'); }
    void setDns(const QString &service, const QStringList &servers)
    {
        write("dns-" + service, servers.isEmpty() ? QByteArray() : servers.join('\n').toUtf8() + '\n');
    }
    QStringList dnsOf(const QString &service)
    {
        QFile file(m_dir.filePath("dns-" + service));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    void failOn(const QString &word) { write("fail-" + word, {}); }
    QStringList lines(const QString &name)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    QStringList runs() { return lines("runs"); }
    QStringList queries() { return lines("queries"); }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler(dropDebugLines);
        QVERIFY(m_dir.isValid());
        copyProgram("fake-helper", "helper");
        copyProgram("fake-networksetup", "networksetup");
        m_os.reset(new MacOSXAbstractionImpl({m_dir.filePath("helper"), m_dir.filePath("networksetup")}));
        m_runner = QSharedPointer<RecordingStelvaneRunner>::create();
        m_recorded.reset(new MacOSXAbstractionImpl(m_dir.filePath("networksetup"), m_runner));
    }

    void init()
    {
        QSettings().clear();
        for (const QString &file :
             QDir(m_dir.path()).entryList({"runs", "queries", "dns-*", "up-*", "fail-*"}, QDir::Files))
            QFile::remove(m_dir.filePath(file));
        m_runner->waves.clear();
        m_runner->refused.clear();
        m_runner->onWave = nullptr;
        setServices({"Wi-Fi", "Ethernet", "USB"});
    }

    void emptyServerListChangesNothing()
    {
        m_os->setNameServers({});
        QVERIFY(runs().isEmpty());
    }

    void setRunsOnlyWhereTheListDiffers()
    {
        setDns("Wi-Fi", {"10.0.0.1", "10.0.0.2"});
        setDns("Ethernet", {"10.0.0.2", "10.0.0.1"});
        m_os->setNameServers({"10.0.0.1", "10.0.0.2"});
        QCOMPARE(runs(),
                 (QStringList {"SetNameServers Ethernet 10.0.0.1 10.0.0.2", "SetNameServers USB 10.0.0.1 10.0.0.2"}));
    }

    void pushSavesEveryServiceThenSets()
    {
        setDns("Wi-Fi", {"192.0.2.53"});
        m_os->pushNameServers("afterConnect", {}, 1);
        QVERIFY(runs().isEmpty());
        m_os->pushNameServers("beforeConnect", {"10.8.0.1"}, 2);
        QCOMPARE(runs().size(), 3);
        QSettings saved;
        saved.beginGroup("saved-network-adapter-state/afterConnect");
        QCOMPARE(saved.value("Wi-Fi/staticNameServers").toStringList(), QStringList {"192.0.2.53"});
        QVERIFY(saved.contains("Ethernet/staticNameServers"));
        QVERIFY(saved.value("Ethernet/staticNameServers").toStringList().isEmpty());
    }

    void savingAStageAgainKeepsOnlyTheNewPicture()
    {
        m_os->pushNameServers("start", {}, 2);
        setServices({"Wi-Fi"});
        m_os->pushNameServers("start", {}, 2);
        QSettings saved;
        saved.beginGroup("saved-network-adapter-state/start");
        QCOMPARE(saved.childGroups(), QStringList {"Wi-Fi"});
    }

    // Restoring a DHCP service sends "empty", never the service name alone.
    void restorePutsBackEachService()
    {
        setDns("Wi-Fi", {"192.0.2.53"});
        m_os->pushNameServers("beforeConnect", {"10.8.0.1"}, 2);
        setServices({"Wi-Fi", "Ethernet", "USB", "New"});
        QFile::remove(m_dir.filePath("runs"));
        m_os->restoreNameServers("beforeConnect");
        QCOMPARE(runs(), (QStringList {"SetNameServers Wi-Fi 192.0.2.53", "SetNameServers Ethernet empty",
                                       "SetNameServers USB empty"}));
        QCOMPARE(dnsOf("Wi-Fi"), QStringList {"192.0.2.53"});
        QVERIFY(dnsOf("Ethernet").isEmpty());
        QFile::remove(m_dir.filePath("runs"));
        m_os->restoreNameServers("beforeConnect");
        QVERIFY(runs().isEmpty()); // up to date
        m_os->restoreNameServers("never saved");
        QVERIFY(runs().isEmpty());
    }

    void removeSwitchesEveryServiceToDhcp()
    {
        m_os->removeNameServers();
        QCOMPARE(runs(), (QStringList {"SetNameServers Wi-Fi empty", "SetNameServers Ethernet empty",
                                       "SetNameServers USB empty"}));
    }

    void helperFailureStopsTheRestAndIsReportedOnce_data()
    {
        QTest::addColumn<bool>("enable");
        QTest::newRow("enable") << true;
        QTest::newRow("disable") << false;
    }

    void helperFailureStopsTheRestAndIsReportedOnce()
    {
        QFETCH(bool, enable);
        failOn("Ethernet");
        QSignalSpy errors(m_os.data(), &OsAbstraction::errorMessage);
        const QStringList services {"Wi-Fi", "Ethernet", "USB"};
        if (enable)
            m_os->enableInterfaces(services);
        else
            m_os->disableInterfaces(services);
        const QString state = enable ? " up" : " down";
        QCOMPARE(runs(), (QStringList {"Interface Wi-Fi" + state, "Interface Ethernet" + state}));
        QCOMPARE(errors.count(), 1);
        QVERIFY(errors.at(0).at(0).toString().contains("refused"));
    }

    void interfaceStateQueries()
    {
        write("up-Wi-Fi", {});
        QVERIFY(m_os->areInterfacesEnabled({"Wi-Fi"}));
        QVERIFY(!m_os->areInterfacesEnabled({"Wi-Fi", "Ethernet", "USB"}));
        QCOMPARE(runs().size(), 3); // stopped at Ethernet
        QVERIFY(m_os->areInterfacesDisabled({"Ethernet", "USB"}));
        QVERIFY(!m_os->areInterfacesDisabled({"Ethernet", "Wi-Fi"}));
        QFile::remove(m_dir.filePath("runs"));
        QVERIFY(m_os->areInterfacesDisabled({}));
        QVERIFY(runs().isEmpty());
    }

    void unreadableStateCountsAsTrueAfterTwoReports()
    {
        failOn("Wi-Fi");
        QSignalSpy errors(m_os.data(), &OsAbstraction::errorMessage);
        QVERIFY(m_os->areInterfacesEnabled({"Wi-Fi"}));
        QCOMPARE(errors.count(), 2);
        QCOMPARE(errors.at(1).at(0).toString(), QStringLiteral("Network Interfaces state can not be checked."));
        QVERIFY(errors.at(1).at(1).toString().isEmpty());
    }

    void killSwitchRecordsEveryDisabledServiceAsItGoes()
    {
        {
            Settings settings;
            settings.setInternetKillSwitchInterface(NetworkInterface("Wi-Fi"));
            settings.setInternetKillSwitchInterface(NetworkInterface("USB"));
        }
        failOn("Wi-Fi");
        QSignalSpy errors(m_os.data(), &OsAbstraction::errorMessage);
        m_os->disableKillSwitchInterfaces();
        QCOMPARE(runs(), (QStringList {"Interface Wi-Fi down", "Interface USB down"}));
        QCOMPARE(errors.count(), 1);
        // Also the service whose run failed is recorded: it may be down all the same.
        QCOMPARE(Settings().internetKillSwitchDisabledInterfaces(), (QStringList {"Wi-Fi", "USB"}));
    }

    void listsTheServices()
    {
        QCOMPARE(m_os->listNetworkInterfaces(),
                 (QList<NetworkInterface> {NetworkInterface("Wi-Fi"), NetworkInterface("Ethernet"),
                                           NetworkInterface("USB")}));
    }

    void connectionsShareTheHeldTerminationHandler()
    {
        HandlerList first;
        HandlerList second;
        m_os->addSigTermHandler(first);
        m_os->addSigTermHandler(second);
        QCOMPARE(first.list.size(), 1);
        QVERIFY(first.list.at(0));
        QCOMPARE(first.list.at(0), second.list.at(0));
        QVERIFY(!first.list.at(0).dynamicCast<SigTermHandler>());

        m_os->installSigTermHandler();
        HandlerList third;
        m_os->addSigTermHandler(third);
        QVERIFY(third.list.at(0).dynamicCast<SigTermHandler>());
        // Nothing may act on a signal in the test: the installed function replaces the process.
        for (const int signal : {SIGINT, SIGTERM, SIGABRT, SIGQUIT})
            std::signal(signal, SIG_DFL);
    }

    // A removal's wave ends before its add's wave starts: two calls.
    void splitRoutesGoInTwoWaves()
    {
        m_recorded->remove4SplittedRoutes();
        m_recorded->add4SplittedRoutesToGateway(QHostAddress("10.8.0.1"));
        QCOMPARE(
            m_runner->waves,
            (QList<QStringList> {{"Remove4SplittedRoute 1", "Remove4SplittedRoute 2", "Remove4SplittedRoute 3",
                                  "Remove4SplittedRoute 4"},
                                 {"Add4SplittedRouteToGateway 10.8.0.1 1", "Add4SplittedRouteToGateway 10.8.0.1 2",
                                  "Add4SplittedRouteToGateway 10.8.0.1 3", "Add4SplittedRouteToGateway 10.8.0.1 4"}}));
    }

    // Both sets are one wave; a set with a failed run is reported once, the
    // sets in order, and every run is made.
    void protectiveRoutesAreOneWave_data()
    {
        QTest::addColumn<bool>("add");
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QStringList>("reported");
        const QString v4 = "AddSimpleSplittedRouteToBlackhole ";
        const QString v6 = "AddSimpleSplittedIPV6RouteToUnreachable ";
        QTest::newRow("all made") << true << QStringList() << QStringList();
        QTest::newRow("one set failed twice") << true << QStringList {v4 + "1", v4 + "2"} << QStringList {v4 + "1"};
        QTest::newRow("both sets failed")
            << true << QStringList {v6 + "1", v4 + "2"} << QStringList {v4 + "2", v6 + "1"};
        QTest::newRow("removal") << false << QStringList {"RemoveSimpleSplittedIPV6RouteToUnreachable 2"}
                                 << QStringList {"RemoveSimpleSplittedIPV6RouteToUnreachable 2"};
    }

    void protectiveRoutesAreOneWave()
    {
        QFETCH(bool, add);
        QFETCH(QStringList, refused);
        QFETCH(QStringList, reported);
        m_runner->refused = QSet<QString>(refused.begin(), refused.end());
        QSignalSpy errors(m_recorded.data(), &OsAbstraction::errorMessage);
        if (add)
            m_recorded->addProtectiveRoutes(true, true);
        else
            m_recorded->removeProtectiveRoutes(true, true);
        const QString v4 = add ? "AddSimpleSplittedRouteToBlackhole " : "RemoveSimpleSplittedRouteToBlackhole ";
        const QString v6 =
            add ? "AddSimpleSplittedIPV6RouteToUnreachable " : "RemoveSimpleSplittedIPV6RouteToUnreachable ";
        QCOMPARE(m_runner->waves, (QList<QStringList> {{v4 + "1", v4 + "2", v6 + "1", v6 + "2"}}));
        QStringList texts;
        for (const QList<QVariant> &error : errors)
            texts << error.at(1).toString();
        QCOMPARE(texts, reported);
    }

    void namedHostsAreReleasedInOneWave()
    {
        m_runner->refused = {"ReleaseHost 192.0.2.53"};
        QSignalSpy errors(m_recorded.data(), &OsAbstraction::errorMessage);
        m_recorded->releaseHosts({QHostAddress("192.0.2.53"), QHostAddress("198.51.100.53")});
        QCOMPARE(m_runner->waves, (QList<QStringList> {{"ReleaseHost 192.0.2.53", "ReleaseHost 198.51.100.53"}}));
        QCOMPARE(errors.count(), 1);
        m_recorded->releaseHosts({});
        QCOMPARE(m_runner->waves.size(), 1);
    }

    // One listing serves the save and the set, and the stage is on disk
    // before the first service changes.
    void pushListsOnceAndSavesBeforeItSets()
    {
        setDns("Wi-Fi", {"192.0.2.53"});
        bool savedFirst = false;
        m_runner->onWave = [&](const QStringList &) {
            if (m_runner->waves.isEmpty())
                savedFirst = QSettings().value("saved-network-adapter-state/beforeConnect/Wi-Fi/staticNameServers")
                             == QStringList {"192.0.2.53"};
        };
        m_recorded->pushNameServers("beforeConnect", {"10.8.0.1"}, 2);
        QCOMPARE(queries(), (QStringList {"listallnetworkservices", "getdnsservers Wi-Fi", "getdnsservers Ethernet",
                                          "getdnsservers USB"}));
        QVERIFY(savedFirst);
        // One service after the other: each rewrites the system's one store of network settings.
        QCOMPARE(m_runner->waves, (QList<QStringList> {{"SetNameServers Wi-Fi 10.8.0.1"},
                                                       {"SetNameServers Ethernet 10.8.0.1"},
                                                       {"SetNameServers USB 10.8.0.1"}}));
    }

    void aRefusedNameServerChangeStopsTheLaterServices()
    {
        m_runner->refused = {"SetNameServers Ethernet 10.8.0.1"};
        QSignalSpy errors(m_recorded.data(), &OsAbstraction::errorMessage);
        m_recorded->pushNameServers("afterConnect", {"10.8.0.1"}, 1);
        QCOMPARE(m_runner->waves,
                 (QList<QStringList> {{"SetNameServers Wi-Fi 10.8.0.1"}, {"SetNameServers Ethernet 10.8.0.1"}}));
        QCOMPARE(errors.count(), 1);
    }

    void loginItemNames_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<bool>("listed");
        QTest::newRow("only item") << QByteArray("OrvalVPN\n") << true;
        QTest::newRow("among others") << QByteArray("Mail, OrvalVPN, Notes\n") << true;
        QTest::newRow("longer name") << QByteArray("OrvalVPN Helper, Notes\n") << false;
        QTest::newRow("name inside another") << QByteArray("MyOrvalVPN\n") << false;
        QTest::newRow("none") << QByteArray("\n") << false;
        QTest::newRow("after a NUL") << QByteArray("Mail\0OrvalVPN", 13) << false;
    }

    void loginItemNames()
    {
        QFETCH(QByteArray, output);
        QFETCH(bool, listed);
        QCOMPARE(MacOSXAbstractionImpl::listsLoginItem(output, "OrvalVPN"), listed);
    }

    void loginItemScripts()
    {
        using S = MacOSXAbstractionImpl::LoginItemScript;
        QCOMPARE(MacOSXAbstractionImpl::loginItemScript(S::Add, "OrvalVPN", "/A/OrvalVPN.app/Contents/MacOS"),
                 QStringLiteral("tell application \"System Events\" to make login item at end with properties "
                                "{name:\"OrvalVPN\",path:\"/A/OrvalVPN.app/Contents/MacOS/../../\",hidden:false}"));
        QCOMPARE(MacOSXAbstractionImpl::loginItemScript(S::Remove, "OrvalVPN", "/A"),
                 QStringLiteral("tell application \"System Events\" to delete login item \"OrvalVPN\""));
        QCOMPARE(MacOSXAbstractionImpl::loginItemScript(S::List, "OrvalVPN", "/A"),
                 QStringLiteral("tell application \"System Events\" to get the name of every login item"));
        // A quote in a path must not end the string and add code to the script.
        QCOMPARE(
            MacOSXAbstractionImpl::loginItemScript(S::Add, "Orval\"VPN", "/A\\\",hidden:true} & \"x"),
            QStringLiteral("tell application \"System Events\" to make login item at end with properties "
                           "{name:\"Orval\\\"VPN\",path:\"/A\\\\\\\",hidden:true} & \\\"x/../../\",hidden:false}"));
        QCOMPARE(MacOSXAbstractionImpl::loginItemScript(S::Remove, "a\"b", "/A"),
                 QStringLiteral("tell application \"System Events\" to delete login item \"a\\\"b\""));
    }
};

QTEST_GUILESS_MAIN(TestMacOSXAbstraction)
#include "tst_macosxabstraction.moc"
