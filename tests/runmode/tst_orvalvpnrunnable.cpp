#include "app/RunnableConstructorException.h"
#include "core/GeoLocation.h"
#include "gui/OrvalVPNRunnable.h"
#include "prefs/Settings.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <stdexcept>
#include <sys/stat.h>

// The GUI run mode before its run: what it builds and answers. The single-
// instance socket lives in a folder under a cache folder of this test's own.
class TestOrvalVPNRunnable : public QObject
{
    Q_OBJECT

    QTemporaryDir m_socketDir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_socketDir.isValid());
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_socketDir.path()));
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

    // No private folder for the socket: the start ends with the reason, which
    // the process entry shows in a box and on standard error, not with the
    // silent refusal of a second instance.
    void noPrivateFolderIsToldToTheUser()
    {
        QTemporaryDir open;
        QCOMPARE(::chmod(QFile::encodeName(open.path()).constData(), 0777), 0);
        qputenv("XDG_CACHE_HOME", QFile::encodeName(open.path()));
        QString reason;
        try {
            OrvalVPNRunnable runnable(*qApp);
        } catch (const RunnableConstructorException &e) {
            QFAIL(qPrintable("refused as a second instance: " + e.message));
        } catch (const std::runtime_error &e) {
            reason = QString::fromUtf8(e.what());
        }
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_socketDir.path()));
        QVERIFY2(reason.startsWith(QCoreApplication::applicationName()
                                   + " cannot start: it has no private folder for its single-instance socket: "),
                 qPrintable(reason));
        QVERIFY2(reason.contains(open.path() + " is writable by others than its owner (mode 0777)"),
                 qPrintable(reason));
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
