#include "DeadSocket.h"

#include "app/CleanUpRunnable.h"
#include "app/SimpleProtocolMessageHandlerFactory.h"
#include "app/VpnBackendLocalSocketServer.h"
#include "prefs/Settings.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
// Records the system-layer steps in the order the clean-up asks for them.
class RecordingSystemLayer : public CleanUpSystemLayer
{
public:
    explicit RecordingSystemLayer(QStringList &steps)
        : steps(steps)
    {
    }

    void recoverDnsStack(const QStringList &stageNames) override { steps << "dns:" + stageNames.join(','); }
    void removeRoutesToDns() override { steps << "routes"; }
    void cleanUpBlackHoleRoutes() override { steps << "blackholes"; }
    void enableKillSwitchInterfaces() override { steps << "interfaces"; }

    QStringList &steps;
};

QString serverName()
{
    return VpnBackendAbstractServer::socketPath(QCoreApplication::applicationName());
}

// The lock file that a replaced image of this process leaves behind: it
// names this process, and no one holds it.
bool leaveLockOfThisProcess(const QString &lockPath)
{
    QByteArray content;
    {
        QLockFile held(lockPath);
        QFile file(lockPath);
        if (!held.tryLock() || !file.open(QIODevice::ReadOnly))
            return false;
        content = file.readAll();
    }
    QFile file(lockPath);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

int runCleanUp()
{
    QStringList done;
    CleanUpRunnable runnable([&] { return QSharedPointer<RecordingSystemLayer>::create(done); });
    return runnable.run();
}
} // namespace

class TestCleanUpRunnable : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime;

private slots:
    void initTestCase()
    {
        // The single-instance folder lies under it.
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_runtime.path()));
    }

    void init() { Settings().clear(); }

    void steps_data()
    {
        QTest::addColumn<QStringList>("dnsStack");
        QTest::addColumn<bool>("killSwitch");
        QTest::addColumn<bool>("removeOnClose");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("nothing recorded") << QStringList() << false << false << QStringList {"routes", "blackholes"};
        QTest::newRow("dns stack recorded") << QStringList {"Connect", "Custom"} << false << false
                                            << QStringList {"dns:Connect,Custom", "routes", "blackholes"};
        QTest::newRow("kill switch removed on close")
            << QStringList() << true << true << QStringList {"routes", "blackholes", "interfaces"};
        QTest::newRow("kill switch kept") << QStringList() << true << false << QStringList {"routes", "blackholes"};
        QTest::newRow("removal without kill switch")
            << QStringList() << false << true << QStringList {"routes", "blackholes"};
    }

    void steps()
    {
        QFETCH(QStringList, dnsStack);
        QFETCH(bool, killSwitch);
        QFETCH(bool, removeOnClose);
        QFETCH(QStringList, steps);
        {
            Settings settings;
            settings.setDnsStackNames(dnsStack);
            settings.setInternetKillSwitch(killSwitch);
            settings.setRemoveInternetKillSwitchOnClose(removeOnClose);
        }
        QStringList done;
        bool built = false;
        CleanUpRunnable runnable([&] {
            built = true;
            return QSharedPointer<RecordingSystemLayer>::create(done);
        });
        QVERIFY2(!built, "the system layer is built when the run starts");
        QCOMPARE(runnable.run(), 0);
        QCOMPARE(done, steps);
    }

    // A termination signal replaces the process image with the clean-up run
    // (same process id) while the old image may hold the settings' lock: the
    // lock file then names a live process, and every settings write of the
    // clean-up would wait for it to turn stale.
    void settingsLockOfTheReplacedImageIsRemoved()
    {
        const QString lockPath = QSettings().fileName() + ".lock";
        QVERIFY(leaveLockOfThisProcess(lockPath));

        QStringList done;
        QElapsedTimer clock;
        clock.start();
        CleanUpRunnable runnable([&] { return QSharedPointer<RecordingSystemLayer>::create(done); });
        QCOMPARE(runnable.run(), 0);
        QVERIFY(!QFile::exists(lockPath));
        {
            Settings settings;
            settings.setDnsStackNames({"AfterTheCleanUp"});
        }
        QVERIFY2(clock.elapsed() < 10000, "a settings write waited for the lock of the replaced image");
        QFile store(QSettings().fileName());
        QVERIFY(store.open(QIODevice::ReadOnly));
        QVERIFY(store.readAll().contains("AfterTheCleanUp"));
    }

    void lockOfAnotherProcessIsKept()
    {
        const QString lockPath = QSettings().fileName() + ".lock";
        QFile file(lockPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("1\ninit\nsomehost\n");
        file.close();
        Settings::removeLockLeftByThisProcess();
        QVERIFY(QFile::exists(lockPath));
        QVERIFY(QFile::remove(lockPath));
    }

    void staleServerNameIsRemoved()
    {
        const QString path = serverName();
        QVERIFY(DeadSocket::bindAt(path));
        QCOMPARE(runCleanUp(), 0);
        QVERIFY(!QFile::exists(path));
    }

    // A termination signal replaced the instance by this clean-up run: the
    // old image's server lock names this very process, and no one holds it.
    void staleServerNameOfTheReplacedImageIsRemoved()
    {
        const QString path = serverName();
        QVERIFY(DeadSocket::bindAt(path));
        QVERIFY(leaveLockOfThisProcess(path + ".lock"));

        QCOMPARE(runCleanUp(), 0);
        QVERIFY(!QFile::exists(path));
        QVERIFY(!QFile::exists(path + ".lock"));
    }

    // A clean-up started beside a running instance leaves its name alone,
    // so no second instance can start beside it.
    void runningInstanceKeepsItsName()
    {
        SimpleProtocolMessageHandlerFactory factory;
        VpnBackendLocalSocketServer running(factory);
        QVERIFY(running.startingServer());
        QCOMPARE(runCleanUp(), 0);
        QVERIFY(QFile::exists(serverName()));
        QLocalSocket probe;
        probe.connectToServer(serverName());
        QVERIFY(probe.waitForConnected(3000));
    }
};

QTEST_GUILESS_MAIN(TestCleanUpRunnable)
#include "tst_cleanuprunnable.moc"
