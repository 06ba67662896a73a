#include "RecordingOsAbstraction.h"
#include "prefs/Settings.h"
#include "system/InternetKillSwitchManager.h"

#include <QSettings>
#include <QTest>

class TestKillSwitchManager : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void enablesTheRecordInOrderAndEmptiesIt()
    {
        Settings settings;
        settings.setInternetKillSwitchDisabledInterfaces({"Wi-Fi", "Ethernet"});
        RecordingOsAbstraction os;
        os.failures.insert("enableInterfaces", {"failed", "text"});
        InternetKillSwitchManager::enableInterfaces(os, settings);
        QCOMPARE(os.calls, (QStringList {"enableInterfaces [Wi-Fi]", "enableInterfaces [Ethernet]"}));
        QVERIFY(Settings().internetKillSwitchDisabledInterfaces().isEmpty());
    }

    void destructionFollowsThePreferences_data()
    {
        QTest::addColumn<bool>("killSwitch");
        QTest::addColumn<bool>("removeOnClose");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("both on") << true << true << true;
        QTest::newRow("not removed on close") << true << false << false;
        QTest::newRow("kill switch off") << false << true << false;
    }

    void destructionFollowsThePreferences()
    {
        QFETCH(bool, killSwitch);
        QFETCH(bool, removeOnClose);
        QFETCH(bool, enabled);
        {
            Settings settings;
            settings.setInternetKillSwitch(killSwitch);
            settings.setRemoveInternetKillSwitchOnClose(removeOnClose);
            settings.setInternetKillSwitchDisabledInterfaces({"Wi-Fi"});
        }
        RecordingOsAbstraction os;
        {
            InternetKillSwitchManager manager(os);
        }
        QCOMPARE(os.calls, enabled ? QStringList {"enableInterfaces [Wi-Fi]"} : QStringList());
        QCOMPARE(Settings().internetKillSwitchDisabledInterfaces(), enabled ? QStringList() : QStringList {"Wi-Fi"});
    }
};

QTEST_GUILESS_MAIN(TestKillSwitchManager)
#include "tst_killswitchmanager.moc"
