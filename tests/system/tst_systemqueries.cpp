#include "LogCapture.h"
#include "system/LsUtil.h"
#include "system/LsUtilException.h"
#include "system/NameServerFilter.h"
#include "system/NetworkSetup.h"
#include "system/NetworkSetupFailed.h"
#include "system/ProcessList.h"
#include "system/ResolvConf.h"
#include "system/SystemInfoLog.h"
#include "system/SystemProfiler.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using Addresses = QList<QHostAddress>;
Q_DECLARE_METATYPE(Addresses)

class TestSystemQueries : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString writeFile(const QString &name, const QByteArray &content, bool executable = false)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(content);
        file.close();
        if (executable)
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

private slots:
    void services_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QStringList>("services");
        const QByteArray header = "An asterisk (*) denotes that a network service is disabled.\n";
        QTest::newRow("disabled star removed") << header + "Wi-Fi\n*Bluetooth PAN\n"
                                               << QStringList {"Wi-Fi", "Bluetooth PAN"};
        QTest::newRow("empty output") << QByteArray() << QStringList();
        QTest::newRow("header only") << header << QStringList();
        QTest::newRow("blanks and slash kept") << header + "  USB 10/100/1000 LAN  \n"
                                               << QStringList {"USB 10/100/1000 LAN"};
        QTest::newRow("only a leading star") << header + "*Eth*ernet\n" << QStringList {"Eth*ernet"};
    }

    void services()
    {
        QFETCH(QByteArray, output);
        QFETCH(QStringList, services);
        QCOMPARE(NetworkSetup::servicesFromOutput(output), services);
    }

    void dnsServers_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QStringList>("servers");
        QTest::newRow("none set") << QByteArray("There aren't any DNS Servers set on Wi-Fi.\n") << QStringList();
        QTest::newRow("v4 and v6") << QByteArray("192.0.2.53\n2001:db8::53\n")
                                   << QStringList {"192.0.2.53", "2001:db8::53"};
        // An error sentence starts with a hex letter too; it must never be saved and replayed.
        QTest::newRow("error sentence") << QByteArray("Error: The parameters were not valid.\n") << QStringList();
        QTest::newRow("hex-looking word") << QByteArray("deadbeef\nface\n") << QStringList();
        QTest::newRow("address with trailing words") << QByteArray("192.0.2.53 (dhcp)\n") << QStringList();
        QTest::newRow("blanks around an address") << QByteArray("  192.0.2.53  \n\n") << QStringList {"192.0.2.53"};
        QTest::newRow("empty") << QByteArray() << QStringList();
    }

    void dnsServers()
    {
        QFETCH(QByteArray, output);
        QFETCH(QStringList, servers);
        QCOMPARE(NetworkSetup::dnsServersFromOutput(output), servers);
    }

    void networksetupArgumentsAndOutput()
    {
        const QString fake =
            writeFile("networksetup", "#!/bin/sh\nprintf 'header\\n'; for a in \"$@\"; do echo \"$a\"; done\n", true);
        NetworkSetup setup(fake);
        QCOMPARE(setup.listAllNetworkServices(), QStringList {"listallnetworkservices"});
        QCOMPARE(setup.execute({"getdnsservers", "Wi-Fi 2"}, false), QByteArray());
        QCOMPARE(setup.execute({"getdnsservers", "Wi-Fi 2"}, true), QByteArray("header\ngetdnsservers\nWi-Fi 2\n"));
    }

    void networksetupMissing()
    {
        NetworkSetup setup(m_dir.filePath("no-networksetup"));
        try {
            setup.listAllNetworkServices();
            QFAIL("no exception");
        } catch (const NetworkSetupFailed &e) {
            QCOMPARE(e.title(), QStringLiteral("NetworkSetup Failed: The program networksetup failed to start."));
            QCOMPARE(e.text(),
                     QStringLiteral("Please check that networksetup utility is correctly installed in your system."));
        }
    }

    void resolvConf_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Addresses>("addresses");
        QTest::newRow("one server") << QByteArray("nameserver 192.168.1.1\n")
                                    << Addresses {QHostAddress("192.168.1.1")};
        QTest::newRow("zero address dropped") << QByteArray("nameserver 0.0.0.0\n") << Addresses();
        QTest::newRow("tab, blank, capital ignored")
            << QByteArray("nameserver\t192.0.2.1\n nameserver 192.0.2.2\nNameserver 192.0.2.3\n") << Addresses();
        QTest::newRow("scoped link-local")
            << QByteArray("nameserver fe80::1%lo\n") << Addresses {QHostAddress("fe80::1%lo")};
        QTest::newRow("duplicates stay") << QByteArray("# resolv\nsearch example\nnameserver 192.0.2.1\n"
                                                       "nameserver 192.0.2.1\noptions ndots:1\n")
                                         << Addresses {QHostAddress("192.0.2.1"), QHostAddress("192.0.2.1")};
        QTest::newRow("garbage skipped, rest read")
            << QByteArray("nameserver bogus\nnameserver 2001:db8::1\n") << Addresses {QHostAddress("2001:db8::1")};
    }

    void resolvConf()
    {
        QFETCH(QByteArray, content);
        QFETCH(Addresses, addresses);
        ResolvConf conf(writeFile("resolv.conf", content));
        QCOMPARE(conf.getCurrentDNSAddresses(), addresses);
    }

    void resolvConfLogLines()
    {
        LogCapture log;
        ResolvConf conf(writeFile("resolv.conf", "nameserver 0.0.0.0\n"));
        conf.getCurrentDNSAddresses();
        QCOMPARE(log.messages(),
                 QStringList({"Getting current DNS list", "DNS found: 0.0.0.0",
                              "Warning nameserver address could not be added. Line: nameserver 0.0.0.0"}));
    }

    void resolvConfMissing()
    {
        ResolvConf conf(m_dir.filePath("no-resolv.conf"));
        QVERIFY(conf.currentContentAsLines().isEmpty());
        QVERIFY(conf.getCurrentDNSAddresses().isEmpty());
    }

    void invalidNameServersFiltered()
    {
        Addresses list {QHostAddress(), QHostAddress("0.0.0.0"), QHostAddress("8.8.4.4")};
        NameServerFilter::filterInvalidDNSAddresses(list);
        QCOMPARE(list, Addresses {QHostAddress("8.8.4.4")});
    }

    void onlyIPv4NameServersGetHostRoutes()
    {
        LogCapture log;
        const Addresses routable =
            NameServerFilter::hostRoutableNameServers({QHostAddress("192.0.2.53"), QHostAddress("2001:db8::53"),
                                                       QHostAddress("fe80::1%lo"), QHostAddress("198.51.100.53")});
        QCOMPARE(routable, Addresses({QHostAddress("192.0.2.53"), QHostAddress("198.51.100.53")}));
        QCOMPARE(log.matching("is not an IPv4 address").size(), 2);
        QVERIFY(log.messages().first().contains("2001:db8::53"));
    }

    void psLines_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QStringList>("names");
        const QByteArray header = "  UID COMM\n";
        QTest::newRow("header only") << header << QStringList();
        QTest::newRow("bundle path with blanks, twice")
            << header
                   + "  501 /Applications/Some App.app/Contents/MacOS/Some App\n"
                     "  501 /Applications/Some App.app/Contents/MacOS/Some App\n"
            << QStringList {"Some App"};
        QTest::newRow("other users and root left out")
            << header + "    0 /sbin/launchd\n   502 /usr/bin/ssh\n 5010 /bin/zsh\n  501 /bin/bash\n"
            << QStringList {"bash"};
        QTest::newRow("no slash unchanged") << header + "501 sleep\n" << QStringList {"sleep"};
        QTest::newRow("case-insensitive order, both kept") << header + "501 /a/zeta\n501 /a/Alpha\n501 /a/alpha\n"
                                                           << QStringList {"Alpha", "alpha", "zeta"};
        QTest::newRow("carriage returns") << header + "501 /bin/zsh\r\n501 /x/Mail\r\n" << QStringList {"Mail", "zsh"};
    }

    void psLines()
    {
        QFETCH(QByteArray, output);
        QFETCH(QStringList, names);
        const ProcessList list(501);
        const QSet<QString> selected = list.selectUnqiueProcessNames(ProcessList::splitLines(output));
        QStringList sorted(selected.cbegin(), selected.cend());
        std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
            const int c = a.compare(b, Qt::CaseInsensitive);
            return c != 0 ? c < 0 : a < b;
        });
        QCOMPARE(sorted, names);
    }

    void splitPsLines()
    {
        QCOMPARE(ProcessList::splitLines("a\r\n b \n\nc"), QStringList({"a", "b", "", "c"}));
        QCOMPARE(ProcessList::splitLines(QByteArray("x\0y\n", 4)), QStringList({"x", ""}));
    }

    void realPsListsThisProgram()
    {
        const QStringList names = ProcessList().getProcessNames();
        QVERIFY2(names.contains(QStringLiteral("tst_systemqueri"))
                     || names.contains(QStringLiteral("tst_systemqueries")),
                 qPrintable(names.join(',')));
        for (int i = 1; i < names.size(); ++i)
            QVERIFY(names.at(i - 1).compare(names.at(i), Qt::CaseInsensitive) <= 0);
    }

    void profilerArguments_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("word");
        QTest::newRow("mini") << 0 << "mini";
        QTest::newRow("basic") << 1 << "basic";
        QTest::newRow("full") << 2 << "full";
        QTest::newRow("out of range") << 7 << "mini";
        QTest::newRow("negative") << -1 << "mini";
    }

    void profilerArguments()
    {
        QFETCH(int, level);
        QFETCH(QString, word);
        QCOMPARE(SystemProfiler(level, {"SPHardwareDataType", "SPNetworkDataType"}).arguments(),
                 QStringList({"-detailLevel", word, "SPHardwareDataType", "SPNetworkDataType"}));
    }

    // Runs a started step to its finished() signal.
    static bool finishes(QObject *step, int seconds = 10)
    {
        QSignalSpy finished(step, SIGNAL(finished()));
        return finished.count() == 1 || finished.wait(seconds * 1000);
    }

    void profilerOutputIsLogged()
    {
        const QString fake = writeFile("system_profiler", "#!/bin/sh\necho \"Hardware: $2 $3\"\n", true);
        LogCapture log;
        SystemProfiler profiler(SystemProfiler::Mini, {"SPHardwareDataType"}, fake, 30);
        QSignalSpy finished(&profiler, &SystemProfiler::finished);
        profiler.execute();
        QVERIFY(log.contains("Starting system_profiler -detailLevel mini SPHardwareDataType"));
        QVERIFY(finished.wait(10000));
        QVERIFY(log.contains(R"("system_profiler" === "stdout" ==>> "Hardware: mini SPHardwareDataType")"));
        QVERIFY(log.matching("SystemProfiler failed").isEmpty());
    }

    void profilerFailures_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("failure");
        QTest::newRow("never ends") << "exec sleep 30"
                                    << "systemprofiler did not finish after 1 seconds, it will be killed"
                                    << "failed to finish.";
        QTest::newRow("cannot start") << QString() << "systemprofiler failed to start after 1 seconds"
                                      << "failed to start.";
    }

    void profilerFailures()
    {
        QFETCH(QString, program);
        QFETCH(QString, line);
        QFETCH(QString, failure);
        const QString path = program.isEmpty()
                                 ? m_dir.filePath("no_such_profiler")
                                 : writeFile("slow_profiler", "#!/bin/sh\n" + program.toUtf8() + "\n", true);
        QElapsedTimer clock;
        clock.start();
        LogCapture log;
        SystemProfiler profiler(SystemProfiler::Mini, {"SPHardwareDataType"}, path, 1);
        profiler.execute();
        QVERIFY(finishes(&profiler));
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY2(log.contains(line), qPrintable(log.messages().join('\n')));
        QVERIFY(log.contains("SystemProfiler failed - Error: SystemProfiler Failed: The program systemprofiler "
                             + failure
                             + " - Info: Please check that systemprofiler utility is correctly installed in your "
                               "system."));
    }

    void lsMissing()
    {
        try {
            LsUtil ls({m_dir.filePath("sbin/ls"), m_dir.filePath("bin/ls")});
            QFAIL("no exception");
        } catch (const LsUtilException &e) {
            QCOMPARE(e.text(), QStringLiteral("program \"ls\" not found in %1 nor in %2")
                                   .arg(m_dir.filePath("sbin"), m_dir.filePath("bin")));
        }
    }

    void lsListsRecursivelyWithThisPlatformsOptions()
    {
        QVERIFY(QDir(m_dir.path()).mkpath("Contents/MacOS"));
        writeFile("Contents/MacOS/Program", "x");
        const LsUtil ls;
        QCOMPARE(ls.program(), QStringLiteral("/bin/ls")); // no /sbin/ls here
        LogCapture log;
        LsUtil listing;
        listing.applyLsToPath(m_dir.filePath("Contents"));
        QVERIFY(finishes(&listing));
        QVERIFY(log.contains("Applying ls to path: " + m_dir.filePath("Contents")));
        QVERIFY2(log.matching("Program\"").size() == 1, qPrintable(log.messages().join('\n')));
        QVERIFY(log.matching("=== process finished with exit code: 0,").size() == 1);
    }

    void bundlePathIsCanonical()
    {
        const QString path = SystemInfoLog::bundlePath();
        QVERIFY(!path.contains(".."));
        QCOMPARE(path, QDir(QCoreApplication::applicationDirPath() + "/../..").canonicalPath());
    }

    void qtSystemInfo()
    {
        LogCapture log;
        SystemInfoLog::printQtSystemInfo();
        const QStringList lines = log.messages();
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines.first(), QStringLiteral("Qt System Info ==>> [init]"));
        QCOMPARE(lines.at(1), "Qt System Info ==>> currentCpuArchitecture " + QSysInfo::currentCpuArchitecture());
        QCOMPARE(lines.last(), QStringLiteral("Qt System Info ==>> [end]"));
    }
};

QTEST_GUILESS_MAIN(TestSystemQueries)
#include "tst_systemqueries.moc"
