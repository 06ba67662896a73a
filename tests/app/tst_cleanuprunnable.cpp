#include "app/CleanUpRunnable.h"
#include "prefs/Settings.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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
} // namespace

class TestCleanUpRunnable : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime;

private slots:
    void initTestCase() { qputenv("TMPDIR", m_runtime.path().toUtf8()); }

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
        QByteArray leftOver;
        {
            QLockFile held(lockPath);
            QVERIFY(held.tryLock());
            QFile file(lockPath);
            QVERIFY(file.open(QIODevice::ReadOnly));
            leftOver = file.readAll();
        }
        QFile file(lockPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(leftOver);
        file.close();

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
        const QString path = m_runtime.filePath(QCoreApplication::applicationName() + "-Service");
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.toUtf8().constData(), sizeof(address.sun_path));
        QCOMPARE(bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
        close(fd);
        QVERIFY(QFile::exists(path));

        QStringList done;
        CleanUpRunnable runnable([&] { return QSharedPointer<RecordingSystemLayer>::create(done); });
        QCOMPARE(runnable.run(), 0);
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestCleanUpRunnable)
#include "tst_cleanuprunnable.moc"
