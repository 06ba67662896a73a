// An OpenConnect connection through the whole backend against the lab's
// ocserv: the backend main object with the run mode's services, its real
// start-up pipeline and handlers, the real helper, engine and system layer.
// Like the driver's own lab test it runs from a bundle of its own.
#include "OpenConnectBackendWorld.h"
#include "OpenConnectLab.h"
#include "RecordingMessageBoxFactory.h"

#include "catalogue/LocalConfigSource.h"
#include "gui/OpenConnectLoginFailedBox.h"
#include "system/MacOSXAbstractionImpl.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTest>

using namespace OpenConnectLab;

namespace {

using World = OpenConnectBackendWorld<MacOSXAbstractionImpl>;

QString tunnelDevices()
{
    return run("ip", {"-o", "link", "show", "type", "tun"}).trimmed();
}

} // namespace

class TestOpenConnectBackendLab : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        LAB_REQUIRE({"ocserv"});
        QVERIFY(m_config.isValid());
        // The backend installs the built-in catalogue into an empty
        // configuration directory; install it first so that the lab's site
        // written over it stays.
        QSettings().setValue("config/configDir", m_config.path());
        LocalConfigSource().execute();
        QVERIFY(writeSite(m_config.path()));
        QVERIFY2(Lab::startOcserv(m_server, USER, PASSWORD, VPN_PORT), "ocserv did not start");
    }

    void init()
    {
        m_boxes = QSharedPointer<RecordingMessageBoxFactory>::create();
        MessageBoxFactory::setInstance(m_boxes);
        OpenConnectLoginFailedBox::install();
    }

    void cleanup()
    {
        OpenConnectManagementSocket::setLoginFailedNotifier({});
        MessageBoxFactory::setInstance({});
    }

    void cleanupTestCase()
    {
        m_server.kill();
        m_server.waitForFinished(5000);
    }

    void connectsCarriesTrafficStopsOnceAndStartsAgain()
    {
        World world;
        RecordingFrontend &frontend = world.frontend;

        world.backend.startVPN(OpenConnectLab::parameters(m_config.path()), USER, PASSWORD);
        QCOMPARE(frontend.results, QList<int> {VpnStartupResult::STARTED});
        using P = VpnStartupProgress;
        const auto step = &RecordingFrontend::step;
        const QStringList stages {step(P::INIT_CONNECTION, P::INITIAL),
                                  step(P::PRELIMINARY_CHECKS, P::RUNNING),
                                  step(P::PRELIMINARY_CHECKS, P::SUCCESS),
                                  step(P::CHECKING_DEFAULT_ROUTE, P::RUNNING),
                                  step(P::CHECKING_DEFAULT_ROUTE, P::SUCCESS),
                                  step(P::PREPARE_OPENCONNECT_ENVIRONMENT, P::RUNNING),
                                  step(P::PREPARE_OPENCONNECT_ENVIRONMENT, P::SUCCESS),
                                  step(P::OPENCONNECT_STARTING, P::RUNNING),
                                  step(P::OPENCONNECT_STARTING, P::SUCCESS)};
        QVERIFY2(isSubsequence(frontend.progress, stages), qPrintable(frontend.progress.join(" | ")));
        QVERIFY2(frontend.progress.filter(QStringLiteral(" %1").arg(P::FAILED)).isEmpty(),
                 qPrintable(frontend.progress.join(" | ")));

        QTRY_VERIFY_WITH_TIMEOUT(frontend.reached("CONNECTED"), 60000);
        QVERIFY2(frontend.errors.isEmpty(), qPrintable(frontend.errors.join(" | ")));
        const QString connected = frontend.states.filter(QRegularExpression("^CONNECTED ")).first();
        QVERIFY2(connected.contains(" 198.18.0.") && connected.endsWith(" " + Lab::serverAddress()),
                 qPrintable(connected));
        // The OpenVPN-style states came first, in the order of an OpenVPN start.
        QVERIFY2(isSubsequence(stateNames(frontend.states), {"CONNECTING", "ASSIGN_IP", "ADD_ROUTES", "CONNECTED"}),
                 qPrintable(frontend.states.join(" | ")));
        QCOMPARE(frontend.connected, 1);

        QCOMPARE(QProcess::execute("ping", {"-c", "2", "-W", "3", "198.18.0.1"}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(frontend.bytesReceived > 0 && frontend.bytesSent > 0, 10000);

        world.backend.stopVPN();
        QTRY_COMPARE_WITH_TIMEOUT(frontend.terminations.size(), 1, 30000);
        QTest::qWait(1000);
        QCOMPARE(frontend.terminations.size(), 1);
        QVERIFY(!frontend.terminations.first().getFailedToStartFlag());
        QCOMPARE(world.extra->count("terminated"), 1);
        QCOMPARE(tunnelDevices(), QString());
        const QString routes = run("ip", {"-4", "route", "show"});
        QVERIFY2(!routes.contains("0.0.0.0/2"), qPrintable(routes));

        // The backend takes the next start and connects again.
        world.backend.startVPN(OpenConnectLab::parameters(m_config.path()), USER, PASSWORD);
        QCOMPARE(frontend.results.size(), 2);
        QCOMPARE(frontend.results.last(), int(VpnStartupResult::STARTED));
        QTRY_COMPARE_WITH_TIMEOUT(frontend.connected, 2, 60000);
        world.backend.stopVPN();
        QTRY_COMPARE_WITH_TIMEOUT(frontend.terminations.size(), 2, 30000);
        QCOMPARE(tunnelDevices(), QString());
    }

    void wrongPasswordShowsTheLoginFailedBoxAndLeavesNoEngine()
    {
        World world;
        RecordingFrontend &frontend = world.frontend;
        world.backend.startVPN(OpenConnectLab::parameters(m_config.path()), USER, QStringLiteral("wrong"));
        QCOMPARE(frontend.results, QList<int> {VpnStartupResult::STARTED});

        QTRY_COMPARE_WITH_TIMEOUT(m_boxes->shown.size(), 1, 60000);
        QCOMPARE(m_boxes->shown.first().text, QStringLiteral("Login Failed. Please try to connect again."));
        QCOMPARE(m_boxes->shown.first().icon, QMessageBox::Information);
        QTRY_COMPARE_WITH_TIMEOUT(frontend.terminations.size(), 1, 30000);
        QTest::qWait(1000);
        QCOMPARE(frontend.terminations.size(), 1);
        QCOMPARE(m_boxes->shown.size(), 1);
        // The box is the whole answer: nobody asks the user for a password again.
        QCOMPARE(frontend.passwordRequests, 0);
        QVERIFY(!frontend.reached("CONNECTED"));
        QCOMPARE(tunnelDevices(), QString());

        // No engine is left: the backend takes the next start at once.
        world.backend.startVPN(OpenConnectLab::parameters(m_config.path()), USER, PASSWORD);
        QCOMPARE(frontend.results.size(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(frontend.connected, 1, 60000);
        world.backend.stopVPN();
        QTRY_COMPARE_WITH_TIMEOUT(frontend.terminations.size(), 2, 30000);
    }

private:
    static bool isSubsequence(const QStringList &all, const QStringList &wanted)
    {
        int next = 0;
        for (const QString &line : all) {
            if (next < wanted.size() && line == wanted.at(next))
                ++next;
        }
        return next == wanted.size();
    }

    static QStringList stateNames(const QStringList &states)
    {
        QStringList names;
        for (const QString &state : states)
            names << state.section(' ', 0, 0);
        return names;
    }

    QTemporaryDir m_config;
    QProcess m_server;
    QSharedPointer<RecordingMessageBoxFactory> m_boxes;
};

int main(int argc, char **argv)
{
    if (!runsInBundle())
        return runFromBundle(argc, argv, QStringLiteral(ORVAL_BUNDLE_DIR));
    QApplication app(argc, argv);
    TestOpenConnectBackendLab test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_openconnect_backend_lab.moc"
