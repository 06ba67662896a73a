#include "app/RunnableConstructorException.h"
#include "catalogue/GeoLocation.h"
#include "gui/OrvalVPNRunnable.h"
#include "prefs/Settings.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

// The GUI run mode before its run: what it builds and answers. The single-
// instance socket lives in a folder under a directory of this test's own.
class TestOrvalVPNRunnable : public QObject
{
    Q_OBJECT

    QTemporaryDir m_socketDir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_socketDir.isValid());
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", m_socketDir.path().toLocal8Bit());
    }

    void nothingRunsBeforeTheRun()
    {
        OrvalVPNRunnable runnable(*qApp);
        QVERIFY(!runnable.isVPNRunning());
        QVERIFY(!runnable.isNetworkGloballyProtected());
    }

    // A second run mode while the first one holds the single-instance server.
    void secondInstanceIsRefused()
    {
        OrvalVPNRunnable first(*qApp);
        try {
            OrvalVPNRunnable second(*qApp);
            QFAIL("the second instance was built");
        } catch (const RunnableConstructorException &e) {
            QCOMPARE(e.message,
                     QString("Error: client server negotiation failed. Please check the log for more details"));
            QCOMPARE(e.exitCode, 1);
        }
        // The first one still answers.
        QVERIFY(!first.isVPNRunning());
    }

    // Without a connection the location is this machine's own and is kept.
    void locationIsKeptWhileIdle()
    {
        OrvalVPNRunnable runnable(*qApp);
        runnable.updateMyLocation(GeoLocation(48.14, 11.58, "DE"));
        const GeoLocation stored = Settings().getMyLocation();
        QCOMPARE(stored.getCountryCode(), QString("DE"));
    }
};

QTEST_MAIN(TestOrvalVPNRunnable)
#include "tst_orvalvpnrunnable.moc"
