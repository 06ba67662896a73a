#include "LogCapture.h"
#include "helper/SharedKey.h"
#include "system/StelvaneRunner.h"
#include "system/StelvaneRunnerFailed.h"
#include "system/StelvaneSecurityCheck.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using Operation = std::function<void(StelvaneRunner &)>;
Q_DECLARE_METATYPE(Operation)

namespace {

// A stand-in helper: records every run's arguments and authentication lines,
// then prints, sleeps or exits as the test's environment asks.
const char *FakeHelper = R"(#!/bin/sh
IFS= read -r stamp
IFS= read -r digest
for a in "$@"; do printf '[%s]' "$a"; done >> "$FAKE_HELPER_DIR/runs"
echo >> "$FAKE_HELPER_DIR/runs"
printf '%s\n%s\n' "$stamp" "$digest" > "$FAKE_HELPER_DIR/auth"
for a in "$@"; do last="$a"; done
[ -n "$FAKE_HELPER_STDOUT" ] && printf "$FAKE_HELPER_STDOUT"
[ -n "$FAKE_HELPER_STDERR" ] && printf "$FAKE_HELPER_STDERR" >&2
[ "$last" = "$FAKE_HELPER_HANG_ON" ] && exec sleep 30
exit "${FAKE_HELPER_EXIT:-0}"
)";

const char *EnvNames[] = {"FAKE_HELPER_STDOUT", "FAKE_HELPER_STDERR", "FAKE_HELPER_HANG_ON", "FAKE_HELPER_EXIT"};

} // namespace

class TestStelvaneRunner : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_helper;

    StelvaneRunner runner(int finishSeconds = 5) const { return StelvaneRunner(m_helper, {5, finishSeconds}); }

    QStringList runs() const
    {
        QFile file(m_dir.filePath("runs"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_helper = m_dir.filePath("Stelvane");
        QFile file(m_helper);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(FakeHelper);
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("FAKE_HELPER_DIR", m_dir.path().toUtf8());
    }

    void init()
    {
        QFile::remove(m_dir.filePath("runs"));
        for (const char *name : EnvNames)
            qunsetenv(name);
    }

    void commandLines_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QStringList>("expected");
        const QHostAddress v4("192.0.2.10");
        const QHostAddress v6("2001:0db8:0000:0000:0000:0000:0000:0001");
        QTest::newRow("execute a") << Operation([](StelvaneRunner &r) { r.execute("ReleaseHost", "x"); })
                                   << QStringList {"[ReleaseHost][x]"};
        QTest::newRow("execute a b") << Operation([](StelvaneRunner &r) { r.execute("Interface", "Wi-Fi 2", "up"); })
                                     << QStringList {"[Interface][Wi-Fi 2][up]"};
        QTest::newRow("execute a rest") << Operation([](StelvaneRunner &r) {
            r.execute("SetNameServers", "Eth/0", QStringList {"1.1.1.1", "::1"});
        }) << QStringList {"[SetNameServers][Eth/0][1.1.1.1][::1]"};
        QTest::newRow("interface up") << Operation([](StelvaneRunner &r) { r.setInterfaceUp("utun3"); })
                                      << QStringList {"[SetInterfaceUp][utun3]"};
        QTest::newRow("ipv4 address") << Operation([=](StelvaneRunner &r) {
            r.setIPv4AddressAndGateway("utun3", v4, QHostAddress("255.255.255.0"), QHostAddress("192.0.2.1"));
        }) << QStringList {"[SetIPv4Address][utun3][192.0.2.10][255.255.255.0][192.0.2.1]"};
        QTest::newRow("delete ipv4") << Operation([=](StelvaneRunner &r) { r.deleteIPv4Address("utun3", v4); })
                                     << QStringList {"[DeleteIPv4Address][utun3][192.0.2.10]"};
        QTest::newRow("ipv6 address") << Operation([=](StelvaneRunner &r) { r.setIPv6Address("utun3", v6, 64); })
                                      << QStringList {"[SetIPv6Address][utun3][2001:db8::1][64]"};
        QTest::newRow("delete ipv6") << Operation([=](StelvaneRunner &r) { r.deleteIPv6Address("utun3", v6); })
                                     << QStringList {"[DeleteIPv6Address][utun3][2001:db8::1]"};
        QTest::newRow("split to gateway") << Operation([=](StelvaneRunner &r) { r.add4SplittedRoutesToGateway(v4); })
                                          << QStringList {"[Add4SplittedRouteToGateway][192.0.2.10][1]",
                                                          "[Add4SplittedRouteToGateway][192.0.2.10][2]",
                                                          "[Add4SplittedRouteToGateway][192.0.2.10][3]",
                                                          "[Add4SplittedRouteToGateway][192.0.2.10][4]"};
        QTest::newRow("split to interface")
            << Operation([](StelvaneRunner &r) { r.add4SplittedRoutesToInterface("utun3"); })
            << QStringList {"[Add4SplittedRouteToInterface][utun3][1]", "[Add4SplittedRouteToInterface][utun3][2]",
                            "[Add4SplittedRouteToInterface][utun3][3]", "[Add4SplittedRouteToInterface][utun3][4]"};
        QTest::newRow("remove split") << Operation([](StelvaneRunner &r) { r.remove4SplittedRoutes(); })
                                      << QStringList {"[Remove4SplittedRoute][1]", "[Remove4SplittedRoute][2]",
                                                      "[Remove4SplittedRoute][3]", "[Remove4SplittedRoute][4]"};
        QTest::newRow("add blackhole") << Operation([](StelvaneRunner &r) {
            r.addProtectiveSimpleSplittedDefaultRoute();
        }) << QStringList {"[AddSimpleSplittedRouteToBlackhole][1]", "[AddSimpleSplittedRouteToBlackhole][2]"};
        QTest::newRow("remove blackhole")
            << Operation([](StelvaneRunner &r) { r.removeProtectiveSimpleSplittedDefaultRoute(); })
            << QStringList {"[RemoveSimpleSplittedRouteToBlackhole][1]", "[RemoveSimpleSplittedRouteToBlackhole][2]"};
        QTest::newRow("add unreachable") << Operation(
            [](StelvaneRunner &r) { r.addProtectiveSimpleSplittedIPV6DefaultRoute(); })
                                         << QStringList {"[AddSimpleSplittedIPV6RouteToUnreachable][1]",
                                                         "[AddSimpleSplittedIPV6RouteToUnreachable][2]"};
        QTest::newRow("remove unreachable")
            << Operation([](StelvaneRunner &r) { r.removeProtectiveSimpleSplittedIPV6DefaultRoute(); })
            << QStringList {"[RemoveSimpleSplittedIPV6RouteToUnreachable][1]",
                            "[RemoveSimpleSplittedIPV6RouteToUnreachable][2]"};
        QTest::newRow("protect host") << Operation([=](StelvaneRunner &r) {
            r.protectHost(v4, QHostAddress("192.0.2.1"));
        }) << QStringList {"[ProtectHost][192.0.2.10][192.0.2.1]"};
        QTest::newRow("release host") << Operation([=](StelvaneRunner &r) { r.releaseHost(v4); })
                                      << QStringList {"[ReleaseHost][192.0.2.10]"};
        QTest::newRow("name servers to dhcp") << Operation([](StelvaneRunner &r) { r.removeNameServers("Wi-Fi"); })
                                              << QStringList {"[SetNameServers][Wi-Fi][empty]"};
        QTest::newRow("interface state") << Operation([](StelvaneRunner &r) { r.isInterfaceEnabled("Wi-Fi"); })
                                         << QStringList {"[CheckInterfaceState][Wi-Fi]"};
        QTest::newRow("dock visible") << Operation([](StelvaneRunner &r) { r.sendDockIconVisible(); })
                                      << QStringList {"[SetDockIconVisibility][true]"};
        QTest::newRow("dock hidden") << Operation([](StelvaneRunner &r) { r.sendDockIconHidden(); })
                                     << QStringList {"[SetDockIconVisibility][false]"};
    }

    void commandLines()
    {
        QFETCH(Operation, operation);
        QFETCH(QStringList, expected);
        StelvaneRunner r = runner();
        operation(r);
        QCOMPARE(runs(), expected);
    }

    void authenticationLinesReachTheHelper()
    {
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        runner().releaseHost(QHostAddress("192.0.2.10"));
        const qint64 after = QDateTime::currentMSecsSinceEpoch();
        QFile file(m_dir.filePath("auth"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 3);
        const QByteArray stamp = lines.at(0);
        QVERIFY(!stamp.startsWith('0') && !stamp.startsWith('+') && !stamp.contains(' '));
        QVERIFY(stamp.toLongLong() >= before && stamp.toLongLong() <= after);
        const QByteArray key(reinterpret_cast<const char *>(stelvane::SHARED_KEY), int(stelvane::SHARED_KEY_SIZE));
        QCOMPARE(lines.at(1), QCryptographicHash::hash(stamp + key, QCryptographicHash::Sha256).toHex());
    }

    void authenticationLinesFormat()
    {
        const QList<QByteArray> lines = StelvaneSecurityCheck::authenticationLines(1700000000123).split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0), QByteArray("1700000000123"));
        QCOMPARE(lines.at(1).size(), 64);
        QCOMPARE(lines.at(1), lines.at(1).toLower());
        QCOMPARE(lines.at(2), QByteArray());
    }

    void standardOutput_data()
    {
        QTest::addColumn<QString>("printed");
        QTest::addColumn<bool>("wanted");
        QTest::addColumn<QString>("returned");
        QTest::newRow("wanted") << "Wi-Fi is Enabled\\n" << true << "Wi-Fi is Enabled\n";
        QTest::newRow("not wanted") << "Wi-Fi is Enabled\\n" << false << "";
        QTest::newRow("up to the first nul") << "abc\\0def" << true << "abc";
    }

    void standardOutput()
    {
        QFETCH(QString, printed);
        QFETCH(bool, wanted);
        QFETCH(QString, returned);
        qputenv("FAKE_HELPER_STDOUT", printed.toUtf8());
        QCOMPARE(runner().execute(QStringList {"CheckInterfaceState", "Wi-Fi"}, wanted), returned);
    }

    void interfaceState_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("enabled") << "Wi-Fi is Enabled" << true;
        QTest::newRow("disabled") << "Wi-Fi is Disabled" << false;
        QTest::newRow("empty") << "" << false;
    }

    void interfaceState()
    {
        QFETCH(QString, answer);
        QFETCH(bool, enabled);
        qputenv("FAKE_HELPER_STDOUT", answer.toUtf8());
        QCOMPARE(runner().isInterfaceEnabled("Wi-Fi"), enabled);
    }

    void outputIsLoggedLineByLine()
    {
        qputenv("FAKE_HELPER_STDOUT", "route: writing to routing socket\\nadd net 0.0.0.0: gateway 192.0.2.1\\n");
        qputenv("FAKE_HELPER_STDERR", "Missing argument\\n");
        qputenv("FAKE_HELPER_EXIT", "255");
        LogCapture log;
        runner().execute("ReleaseHost", "192.0.2.10"); // a failing command is only logged
        QVERIFY2(log.contains(R"("Stelvane" === "stdout" ==>> "route: writing to routing socket")"),
                 qPrintable(log.messages().join(QChar(10))));
        QVERIFY(log.contains(R"("Stelvane" === "stdout" ==>> "add net 0.0.0.0: gateway 192.0.2.1")"));
        QVERIFY(log.contains(R"("Stelvane" === "stderr" ==>> "Missing argument")"));
        QVERIFY(log.contains(R"("Stelvane" === process finished with exit code: 255, exit status: NormalExit ===)"));
    }

    void refusalIsAFailure()
    {
        qputenv("FAKE_HELPER_STDERR", "Err 302\\n");
        qputenv("FAKE_HELPER_EXIT", "10");
        try {
            runner().remove4SplittedRoutes();
            QFAIL("no exception");
        } catch (const StelvaneRunnerFailed &e) {
            QCOMPARE(e.title(), QStringLiteral("Stelvane Failed: The program Stelvane refused to run the command."));
            QCOMPARE(e.text(), QStringLiteral("Arguments:\nRemove4SplittedRoute 1\nError code: 302"));
        }
        QCOMPARE(runs(), QStringList {"[Remove4SplittedRoute][1]"});
    }

    void statusTenWithoutRefusalIsOnlyLogged()
    {
        // A program the helper ran in its place may exit with 10 too.
        qputenv("FAKE_HELPER_STDERR", "route: bad address\\n");
        qputenv("FAKE_HELPER_EXIT", "10");
        runner().remove4SplittedRoutes();
        QCOMPARE(runs().size(), 4);
    }

    void missingHelperFailsToStart()
    {
        StelvaneRunner missing(m_dir.filePath("NoSuchStelvane"), {30, 60});
        LogCapture log;
        QElapsedTimer clock;
        clock.start();
        try {
            missing.releaseHost(QHostAddress("192.0.2.10"));
            QFAIL("no exception");
        } catch (const StelvaneRunnerFailed &e) {
            QCOMPARE(e.title(), QStringLiteral("Stelvane Failed: The program Stelvane failed to start."));
            QCOMPARE(e.text(), QStringLiteral("Arguments:\nReleaseHost 192.0.2.10"));
        }
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(log.contains("StelvaneRunner failed to start after 30 seconds, args: ReleaseHost 192.0.2.10"));
    }

    void multiRunStopsAtTheFirstTimeOut()
    {
        qputenv("FAKE_HELPER_HANG_ON", "2");
        LogCapture log;
        QElapsedTimer clock;
        clock.start();
        try {
            runner(3).remove4SplittedRoutes();
            QFAIL("no exception");
        } catch (const StelvaneRunnerFailed &e) {
            QCOMPARE(e.title(), QStringLiteral("Stelvane Failed: The program Stelvane failed to finish."));
            QCOMPARE(e.text(), QStringLiteral("Arguments:\nRemove4SplittedRoute 2"));
        }
        QVERIFY(clock.elapsed() < 15000); // not the hanging helper's 30 s
        QCOMPARE(runs(), QStringList({"[Remove4SplittedRoute][1]", "[Remove4SplittedRoute][2]"}));
        QVERIFY(log.contains("StelvaneRunner did not finish after 3 seconds, it will be killed, args: "
                             "Remove4SplittedRoute 2"));
    }

    void defaultsAreTheBundlesHelperAndThirtySixty()
    {
        QCOMPARE(StelvaneRunner::bundledHelperPath(),
                 QCoreApplication::applicationDirPath() + QStringLiteral("/../Helpers/Stelvane"));
        const StelvaneRunner::Timeouts timeouts;
        QCOMPARE(timeouts.startSeconds, 30);
        QCOMPARE(timeouts.finishSeconds, 60);
    }
};

QTEST_GUILESS_MAIN(TestStelvaneRunner)
#include "tst_stelvanerunner.moc"
