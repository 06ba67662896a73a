#include "RecordingOsAbstraction.h"
#include "core/NullVpnFrontend.h"
#include "core/VpnStartupProgress.h"
#include "prefs/Settings.h"
#include "system/BlackHoleRouteImpl.h"
#include "system/BlackHoleRouteManager.h"

#include <QSettings>
#include <QTest>

namespace {

// Writes the progress messages into the same log as the system calls.
class ProgressLog : public NullVpnFrontend
{
public:
    explicit ProgressLog(QStringList &log)
        : m_log(log)
    {
    }
    void onVpnStartupProgress(const VpnStartupProgress &progress) override
    {
        m_log << QStringLiteral("progress %1 %2").arg(progress.getProgressMessageKey()).arg(progress.getState());
    }

private:
    QStringList &m_log;
};

const QString AddV4 = "addProtectiveSimpleSplittedDefaultRoute";
const QString RemoveV4 = "removeProtectiveSimpleSplittedDefaultRoute";
const QString AddV6 = "addProtectiveSimpleSplittedIPV6DefaultRoute";
const QString RemoveV6 = "removeProtectiveSimpleSplittedIPV6DefaultRoute";

} // namespace

class TestBlackHoleRoutes : public QObject
{
    Q_OBJECT

    QStringList m_log;
    RecordingOsAbstraction m_os;
    ProgressLog m_frontend {m_log};

    QStringList routeCalls() const
    {
        QStringList calls;
        for (const QString &line : m_log) {
            if (!line.startsWith("progress"))
                calls << line;
        }
        return calls;
    }

private slots:
    void init()
    {
        QSettings().clear();
        m_log.clear();
        m_os.onCall = [this](const QString &line) { m_log << line; };
    }

    void routeObjectAddsAndRemovesWithProgress_data()
    {
        QTest::addColumn<bool>("ipv4");
        QTest::addColumn<bool>("ipv6");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("removed");
        QTest::newRow("both") << true
                              << true
                              // Both sets change together; no line is done before its set is.
                              << QStringList {"progress ENABLE_SEAMLESS_RECONNECT 4",
                                              AddV4,
                                              AddV6,
                                              "progress ENABLE_SEAMLESS_RECONNECT 1",
                                              "progress ENABLE_IPV6_PROTECTION 4",
                                              "progress ENABLE_IPV6_PROTECTION 1"}
                              << QStringList {"progress DISABLE_SEAMLESS_RECONNECT 4",
                                              RemoveV4,
                                              RemoveV6,
                                              "progress DISABLE_SEAMLESS_RECONNECT 1",
                                              "progress DISABLE_IPV6_PROTECTION 4",
                                              "progress DISABLE_IPV6_PROTECTION 1"};
        QTest::newRow("IPv4 only") << true << false
                                   << QStringList {"progress ENABLE_SEAMLESS_RECONNECT 4", AddV4,
                                                   "progress ENABLE_SEAMLESS_RECONNECT 1"}
                                   << QStringList {"progress DISABLE_SEAMLESS_RECONNECT 4", RemoveV4,
                                                   "progress DISABLE_SEAMLESS_RECONNECT 1"};
        QTest::newRow("IPv6 only") << false << true
                                   << QStringList {"progress ENABLE_IPV6_PROTECTION 4", AddV6,
                                                   "progress ENABLE_IPV6_PROTECTION 1"}
                                   << QStringList {"progress DISABLE_IPV6_PROTECTION 4", RemoveV6,
                                                   "progress DISABLE_IPV6_PROTECTION 1"};
        QTest::newRow("neither") << false << false << QStringList() << QStringList();
    }

    void routeObjectAddsAndRemovesWithProgress()
    {
        QFETCH(bool, ipv4);
        QFETCH(bool, ipv6);
        QFETCH(QStringList, added);
        QFETCH(QStringList, removed);
        {
            BlackHoleRouteImpl route(m_frontend, {}, m_os, ipv4, ipv6);
            QVERIFY(route.isActive());
            QCOMPARE(m_log, added);
            m_log.clear();
        }
        QCOMPARE(m_log, removed);
    }

    void globalRoutesServeEveryConnection()
    {
        BlackHoleRouteManager manager(m_os, m_frontend);
        QVERIFY(!manager.isNetworkGloballyProtected());
        manager.enableGlobalBlackHoleRoutes(false);
        QVERIFY(manager.isNetworkGloballyProtected());
        QCOMPARE(routeCalls(), QStringList {AddV4});

        Settings settings;
        settings.setSeamlessReconnect(true);
        QSharedPointer<BlackHoleRoute> first = manager.getBlackHoleRoutes(settings, {});
        QSharedPointer<BlackHoleRoute> second = manager.getBlackHoleRoutes(settings, {});
        QCOMPARE(first, second);
        first.reset();
        second.reset();
        QCOMPARE(routeCalls(), QStringList {AddV4});
    }

    void reconnectKeepsTheHeldRoutes()
    {
        BlackHoleRouteManager manager(m_os, m_frontend);
        Settings settings;
        settings.setSeamlessReconnect(true);
        settings.setPreventIPv6Leak(false);
        QSharedPointer<BlackHoleRoute> held = manager.getBlackHoleRoutes(settings, {});
        settings.setPreventIPv6Leak(true);
        QCOMPARE(manager.getBlackHoleRoutes(settings, {}), held);
        QCOMPARE(routeCalls(), QStringList {AddV4});
        held.reset();
        QCOMPARE(routeCalls(), (QStringList {AddV4, RemoveV4}));
        QSharedPointer<BlackHoleRoute> fresh = manager.getBlackHoleRoutes(settings, {});
        QCOMPARE(routeCalls(), (QStringList {AddV4, RemoveV4, AddV4, AddV6}));
    }

    // The routes of the new global object must survive the replacement.
    void replacingTheGlobalRoutesNeverRemovesTheNewOnes_data()
    {
        QTest::addColumn<bool>("secondIpv6");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("same sets: kept") << false << QStringList {AddV4};
        QTest::newRow("other sets: old removed first") << true << QStringList {AddV4, RemoveV4, AddV4, AddV6};
    }

    void replacingTheGlobalRoutesNeverRemovesTheNewOnes()
    {
        QFETCH(bool, secondIpv6);
        QFETCH(QStringList, calls);
        BlackHoleRouteManager manager(m_os, m_frontend);
        manager.enableGlobalBlackHoleRoutes(false);
        manager.enableGlobalBlackHoleRoutes(secondIpv6);
        QCOMPARE(routeCalls(), calls);
        QVERIFY(manager.isNetworkGloballyProtected());
    }

    void managerReleasesTheGlobalRoutes()
    {
        {
            BlackHoleRouteManager manager(m_os, m_frontend);
            manager.enableGlobalBlackHoleRoutes(true);
        }
        QCOMPARE(routeCalls(), (QStringList {AddV4, AddV6, RemoveV4, RemoveV6}));
    }

    void cleanUpRemovesBothSetsUnconditionally()
    {
        BlackHoleRouteManager manager(m_os, m_frontend);
        manager.cleanUpBlackHoleRoutes();
        QCOMPARE(m_log, (QStringList {RemoveV4, RemoveV6}));
    }
};

QTEST_GUILESS_MAIN(TestBlackHoleRoutes)
#include "tst_blackholeroutes.moc"
