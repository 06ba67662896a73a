#include "LogCapture.h"
#include "helper/SharedKey.h"
#include "system/StelvaneRunner.h"
#include "system/StelvaneRunnerFailed.h"
#include "system/StelvaneSecurityCheck.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using Operation = std::function<void(StelvaneRunner &)>;
Q_DECLARE_METATYPE(Operation)

namespace {

// A stand-in helper: records every run's arguments (one whole line per run:
// runs of a wave write at the same time) and authentication lines, then
// prints, sleeps or exits as the test's environment asks. With
// FAKE_HELPER_BARRIER=N a run, once it has read its input, waits until N runs
// have read theirs (10 s at most) and records whether they all did.
const char *FakeHelper = R"sh(#!/bin/bash
IFS= read -r stamp
IFS= read -r digest
line=
for a in "$@"; do line="$line[$a]"; last="$a"; done
echo "$line" >> "$FAKE_HELPER_DIR/runs"
printf '%s\n%s\n' "$stamp" "$digest" > "$FAKE_HELPER_DIR/auth-$last"
if [ -n "$FAKE_HELPER_BARRIER" ]; then
  echo "$last" >> "$FAKE_HELPER_DIR/read"
  for _ in $(seq 1 200); do
    [ "$(wc -l < "$FAKE_HELPER_DIR/read")" -ge "$FAKE_HELPER_BARRIER" ] && break
    sleep 0.05
  done
  if [ "$(wc -l < "$FAKE_HELPER_DIR/read")" -ge "$FAKE_HELPER_BARRIER" ]; then r=met; else r=missed; fi
  echo "$last $r" >> "$FAKE_HELPER_DIR/barrier"
fi
[ -n "$FAKE_HELPER_STDOUT" ] && printf "$FAKE_HELPER_STDOUT"
[ -n "$FAKE_HELPER_ECHO" ] && printf 'run %s line 1\nrun %s line 2\n' "$last" "$last"
[ -n "$FAKE_HELPER_STDERR" ] && printf "$FAKE_HELPER_STDERR" >&2
[ "$last" = "$FAKE_HELPER_HANG_ON" ] && exec sleep 30
if [ "$last" = "$FAKE_HELPER_REFUSE_ON" ]; then echo "Err 302" >&2; exit 10; fi
exit "${FAKE_HELPER_EXIT:-0}"
)sh";

const char *EnvNames[] = {"FAKE_HELPER_STDOUT",  "FAKE_HELPER_STDERR",    "FAKE_HELPER_HANG_ON", "FAKE_HELPER_EXIT",
                          "FAKE_HELPER_BARRIER", "FAKE_HELPER_REFUSE_ON", "FAKE_HELPER_ECHO"};

} // namespace

class TestStelvaneRunner : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_helper;

    StelvaneRunner runner(int finishSeconds = 5) const { return StelvaneRunner(m_helper, {5, finishSeconds}); }

    QStringList lines(const QString &name) const
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    QStringList runs() const { return lines("runs"); }
    // The runs of a wave start together: their order is not theirs to keep.
    QStringList sortedRuns() const
    {
        QStringList made = runs();
        made.sort();
        return made;
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
        for (const QString &name : QDir(m_dir.path()).entryList({"runs", "read", "barrier", "auth-*"}, QDir::Files))
            QFile::remove(m_dir.filePath(name));
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
        QCOMPARE(sortedRuns(), expected);
    }

    void authenticationLinesReachTheHelper()
    {
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        runner().execute("ReleaseHost", "192.0.2.10");
        const qint64 after = QDateTime::currentMSecsSinceEpoch();
        QFile file(m_dir.filePath("auth-192.0.2.10"));
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
            runner().execute("ReleaseHost", "192.0.2.10");
            QFAIL("no exception");
        } catch (const StelvaneRunnerFailed &e) {
            QCOMPARE(e.title(), QStringLiteral("Stelvane Failed: The program Stelvane refused to run the command."));
            QCOMPARE(e.text(), QStringLiteral("Arguments:\nReleaseHost 192.0.2.10\nError code: 302"));
        }
    }

    // The runs of a wave go on when one fails; the first failure in run order
    // is the one reported, once all have ended.
    void aFailedRunOfAWaveIsReportedAfterAllRan_data()
    {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("logLine");
        QTest::newRow("refused") << QByteArray("FAKE_HELPER_REFUSE_ON")
                                 << "Stelvane Failed: The program Stelvane refused to run the command."
                                 << "Arguments:\nRemove4SplittedRoute 2\nError code: 302" << QString();
        QTest::newRow("time-out") << QByteArray("FAKE_HELPER_HANG_ON")
                                  << "Stelvane Failed: The program Stelvane failed to finish."
                                  << "Arguments:\nRemove4SplittedRoute 2"
                                  << "StelvaneRunner did not finish after 3 seconds, it will be killed, args: "
                                     "Remove4SplittedRoute 2";
    }

    void aFailedRunOfAWaveIsReportedAfterAllRan()
    {
        QFETCH(QByteArray, variable);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(QString, logLine);
        qputenv(variable.constData(), "2");
        qputenv("FAKE_HELPER_ECHO", "1");
        LogCapture log;
        QElapsedTimer clock;
        clock.start();
        try {
            runner(3).remove4SplittedRoutes();
            QFAIL("no exception");
        } catch (const StelvaneRunnerFailed &e) {
            QCOMPARE(e.title(), title);
            QCOMPARE(e.text(), text);
        }
        QVERIFY(clock.elapsed() < 15000); // not the hanging helper's 30 s
        QCOMPARE(sortedRuns(), (QStringList {"[Remove4SplittedRoute][1]", "[Remove4SplittedRoute][2]",
                                             "[Remove4SplittedRoute][3]", "[Remove4SplittedRoute][4]"}));
        // The runs after the failed one were awaited too: their output is in the log.
        QVERIFY(log.contains(R"("Stelvane" === "stdout" ==>> "run 4 line 2")"));
        if (!logLine.isEmpty())
            QVERIFY(log.contains(logLine));
    }

    // Every run of a wave gets its authentication lines while the others
    // still run: a helper does not wait to be awaited for its input.
    void theRunsOfAWaveOverlap()
    {
        qputenv("FAKE_HELPER_BARRIER", "4");
        runner(30).remove4SplittedRoutes();
        QStringList barrier = lines("barrier");
        barrier.sort();
        QCOMPARE(barrier, (QStringList {"1 met", "2 met", "3 met", "4 met"}));
        const QByteArray key(reinterpret_cast<const char *>(stelvane::SHARED_KEY), int(stelvane::SHARED_KEY_SIZE));
        for (const QString &index : QStringList {"1", "2", "3", "4"}) {
            const QStringList auth = lines("auth-" + index);
            QCOMPARE(auth.size(), 2);
            QCOMPARE(auth.at(1).toLatin1(),
                     QCryptographicHash::hash(auth.at(0).toLatin1() + key, QCryptographicHash::Sha256).toHex());
        }
    }

    // Each run's lines stay together in the log, in run order, after the
    // wave's "Starting" lines.
    void eachRunsLogLinesStayTogether()
    {
        qputenv("FAKE_HELPER_ECHO", "1");
        LogCapture log;
        runner().remove4SplittedRoutes();
        QStringList kept;
        for (const QString &line : log.messages()) {
            if (line.startsWith("Starting") || line.contains("==>> \"run") || line.contains("process finished"))
                kept << line;
        }
        QStringList expected;
        for (const QString &index : QStringList {"1", "2", "3", "4"})
            expected << "Starting " + m_helper + " Remove4SplittedRoute " + index;
        for (const QString &index : QStringList {"1", "2", "3", "4"}) {
            expected << QString(R"("Stelvane" === "stdout" ==>> "run %1 line 1")").arg(index)
                     << QString(R"("Stelvane" === "stdout" ==>> "run %1 line 2")").arg(index)
                     << R"("Stelvane" === process finished with exit code: 0, exit status: NormalExit ===)";
        }
        QCOMPARE(kept, expected);
    }

    void statusTenWithoutRefusalIsOnlyLogged()
    {
        // A program the helper ran in its place may exit with 10 too.
        qputenv("FAKE_HELPER_STDERR", "route: bad address\\n");
        qputenv("FAKE_HELPER_EXIT", "10");
        runner().remove4SplittedRoutes();
        QCOMPARE(runs().size(), 4);
    }

    void missingHelperFailsEveryRunOfAWave()
    {
        StelvaneRunner missing(m_dir.filePath("NoSuchStelvane"), {30, 60});
        LogCapture log;
        try {
            missing.remove4SplittedRoutes();
            QFAIL("no exception");
        } catch (const StelvaneRunnerFailed &e) {
            QCOMPARE(e.text(), QStringLiteral("Arguments:\nRemove4SplittedRoute 1"));
        }
        QCOMPARE(log.matching("StelvaneRunner failed to start after 30 seconds").size(), 4);
    }

    void missingHelperFailsToStart()
    {
        StelvaneRunner missing(m_dir.filePath("NoSuchStelvane"), {30, 60});
        LogCapture log;
        QElapsedTimer clock;
        clock.start();
        try {
            missing.execute("ReleaseHost", "192.0.2.10");
            QFAIL("no exception");
        } catch (const StelvaneRunnerFailed &e) {
            QCOMPARE(e.title(), QStringLiteral("Stelvane Failed: The program Stelvane failed to start."));
            QCOMPARE(e.text(), QStringLiteral("Arguments:\nReleaseHost 192.0.2.10"));
        }
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(log.contains("StelvaneRunner failed to start after 30 seconds, args: ReleaseHost 192.0.2.10"));
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
