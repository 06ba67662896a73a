#include "AttackerRun.h"
#include "ConnectionLab.h"
#include "LocalAttacker.h"

#include <QtTest>

#include <csignal>
#include <functional>

namespace {
const QByteArray RACE_RANGE = "45000 45015";

// The client namespace's ephemeral port range (its own: the setting is one
// per network namespace), narrowed while this lives.
class EphemeralRange
{
public:
    explicit EphemeralRange(const QByteArray &narrow)
        : m_original(read())
    {
        write(narrow);
    }
    ~EphemeralRange() { write(m_original); }
    EphemeralRange(const EphemeralRange &) = delete;
    EphemeralRange &operator=(const EphemeralRange &) = delete;

private:
    static QByteArray read()
    {
        QFile file(PATH);
        return file.open(QIODevice::ReadOnly) ? file.readAll().simplified() : QByteArray();
    }
    static bool write(const QByteArray &range)
    {
        QFile file(PATH);
        return file.open(QIODevice::WriteOnly) && file.write(range + '\n') > 0;
    }
    static constexpr const char *PATH = "/proc/sys/net/ipv4/ip_local_port_range";
    const QByteArray m_original;
};
} // namespace

// The client runs as an ordinary user, as the product is installed, and
// another ordinary user attacks it while it connects, with the same power as
// code loaded into the client (which any user can do): the attacker's own
// installed bundle runs the real helper with any arguments. The client must
// connect with its own engine all the same, tell the attacker nothing, and
// not be stopped.
class TestOrdinaryUserLab : public QObject
{
    Q_OBJECT

    QScopedPointer<ConnectionLab> m_lab;
    QScopedPointer<LocalAttacker> m_attacker;

    // Connects through `tunnel` while `attack` runs (`argument` its
    // ARGUMENT; `onceItRuns` called once it runs, before the client starts),
    // and checks the outcome the user must see: connected, the tunnel to the
    // lab's server carrying traffic, nothing of the client's at the
    // attacker's. ORVAL_ATTACK_REPORT set prints the attacker's report and
    // the client's log even when the case passes.
    void connectDespite(const QString &attack, const QStringList &tunnel, const QString &tunnelServer,
                        const QString &argument = QString(), const std::function<void()> &onceItRuns = {})
    {
        QVERIFY(m_attacker->start(attack, m_lab->clientUid(), argument));
        if (onceItRuns)
            onceItRuns();
        QVERIFY(m_lab->startDriver(QStringList {"--site", ConnectionLab::SITE, "--user", ConnectionLab::USER,
                                                "--password", ConnectionLab::PASSWORD}
                                   + tunnel));
        // The bound counts from the engine's start: the start-up before it
        // takes its own time on a loaded machine.
        const int engineStarted = m_lab->waitFor("engine started", 60000);
        const bool connected = engineStarted >= 0 && m_lab->waitFor("connected", 15000, engineStarted) >= 0;
        const bool carries = connected && ConnectionLab::run("ping", {"-c", "1", "-W", "5", tunnelServer}) == 0;
        const int exitCode = m_lab->quit(10000);
        const QStringList report = m_attacker->stop();
        const QString all = "Attacker's report:\n" + report.join('\n') + "\nWhat the client said of its engine:\n"
                            + clientOnItsEngine() + "\n" + m_lab->diagnostics();
        const auto dump = qScopeGuard([&] {
            if (QTest::currentTestFailed() || qEnvironmentVariableIsSet("ORVAL_ATTACK_REPORT"))
                qWarning().noquote() << all;
        });
        qInfo().noquote() << "The attack:" << summary(report);
        // The attack ran: it found the client's ports and went for them.
        QVERIFY2(!report.filter(QRegularExpression("^aimed at ")).isEmpty(), qPrintable(all));
        QVERIFY2(report.filter(QRegularExpression("^(won|contact) ")).isEmpty(), qPrintable(all));
        QVERIFY2(connected, qPrintable(all));
        QVERIFY2(carries, qPrintable(all));
        QCOMPARE(exitCode, 0);
        QVERIFY2(m_lab->eventsStartingWith("error").isEmpty(), qPrintable(all));
    }

    // The driver's log lines on the engine's connections, without the
    // strangers it turned away while it started no engine.
    QString clientOnItsEngine() const
    {
        QStringList lines;
        for (const QString &line : m_lab->driverLog().split('\n')) {
            if (line.contains(
                    QRegularExpression("ManagementSocket|LoopbackPeer|connectionAccepted|Failure creating command"))
                && !line.contains("no engine is being started"))
                lines << line;
        }
        return lines.mid(0, 40).join('\n');
    }

    // How often each kind of line came in the attacker's report.
    static QString summary(const QStringList &report)
    {
        QMap<QString, int> counts;
        for (const QString &line : report)
            ++counts[line.section(QRegularExpression("[ :]"), 0, 1)];
        QStringList parts;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            parts << QString("%1 x%2").arg(it.key()).arg(it.value());
        return parts.join(", ");
    }

    static QString openVpnTunnelServer(ConnectionLab &lab) { return Lab::tunnelAddress(lab.server(true)); }

private slots:
    void initTestCase()
    {
        const QString reason = ConnectionLab::unavailableReason();
        if (!reason.isEmpty())
            QSKIP(qPrintable(reason));
        m_lab.reset(new ConnectionLab);
        m_lab->runClientAsOrdinaryUser();
        QVERIFY(m_lab->setUp());
        m_attacker.reset(new LocalAttacker);
        QVERIFY(m_attacker->setUp());
    }

    void cleanupTestCase()
    {
        m_attacker.reset();
        m_lab.reset();
    }

    void init() { m_lab->resetHome(); }

    // Whatever an attack left: the driver, the attacker and its root engines.
    void cleanup()
    {
        m_lab->quit(5000);
        m_attacker->stop();
        for (const char *engine : {"openvpn", "openvpn_v2_4", "openconnect"}) {
            for (const qint64 pid : Lab::clientProcesses(engine))
                ::kill(pid_t(pid), SIGKILL);
        }
    }

    void engineAimedAtTheManagementPort_data()
    {
        QTest::addColumn<QString>("aim");
        QTest::newRow("configuration's remote") << "remote";
        QTest::newRow("engine's HTTP proxy") << "http-proxy";
    }
    // The attacker's root engines, started through the helper with a
    // management listener of the attacker's, connect to the client's
    // management port again and again while the client starts its engine.
    void engineAimedAtTheManagementPort()
    {
        QFETCH(QString, aim);
        connectDespite(aim, {"--protocol", "udp"}, openVpnTunnelServer(*m_lab));
    }

    // No check of the helper's sees this remote: the engine asks the
    // attacker's management for it, and is told the port the client's helper
    // run names (its arguments are anyone's to read) the moment that run
    // shows.
    void remoteChangedByTheAttackersManagement()
    {
        connectDespite("changed-remote", {"--protocol", "udp"}, openVpnTunnelServer(*m_lab));
    }

    void listenerBesideTheClientsPorts_data()
    {
        QTest::addColumn<QStringList>("tunnel");
        QTest::addColumn<QString>("tunnelServer");
        QTest::newRow("OpenVPN") << QStringList {"--protocol", "udp"} << "10.8.0.1";
        QTest::newRow("OpenConnect") << QStringList {"--tunnel", "openconnect", "--protocol", "tcp"} << "198.18.0.1";
    }
    // The attacker listens on [::] (IPv6 only) at each of the client's
    // loopback ports as they appear: the client's engine reaches 127.0.0.1
    // only, so nothing of the client's ever comes to the attacker's listener,
    // and the client's own runs must not be refused for it.
    void listenerBesideTheClientsPorts()
    {
        QFETCH(QStringList, tunnel);
        QFETCH(QString, tunnelServer);
        connectDespite("v6-only", tunnel, tunnelServer);
    }

    // The helper's check of an engine's ports and the engine's connections
    // are apart in time, as long as the caller likes (its engine holds until
    // released): every port of a range gets an engine of the attacker's,
    // checked while the attacker listens there; then the attacker lets go,
    // and, the namespace's ephemeral range narrowed to those ports, the
    // client's listeners open on some of them.
    void engineCheckedAgainstAPortTheClientTakesNext()
    {
        QScopedPointer<EphemeralRange> narrow;
        connectDespite("race", {"--protocol", "udp"}, openVpnTunnelServer(*m_lab), RACE_RANGE,
                       [&] { narrow.reset(new EphemeralRange(RACE_RANGE)); });
    }
};

int main(int argc, char **argv)
{
    // The attacker's run: this program as its bundle's main program.
    if (qEnvironmentVariableIsSet(AttackerRun::ATTACK))
        return AttackerRun::main(argc, argv);
    QCoreApplication app(argc, argv);
    TestOrdinaryUserLab test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ordinary_user_lab.moc"
