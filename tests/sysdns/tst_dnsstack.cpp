#include "RecordingOsAbstraction.h"
#include "prefs/DnsListEntry.h"
#include "prefs/DnsPreferenceAction.h"
#include "prefs/Settings.h"
#include "system/DnsStack.h"

#include <QSettings>
#include <QTest>

// The DNS stack over the recording system layer; the crash record is read
// back from the real settings store.
class TestDnsStack : public QObject
{
    Q_OBJECT

    static QStringList persisted() { return Settings().getDnsStackNames(); }
    static bool persistedValueExists() { return QSettings().contains(QStringLiteral("dns/current-dns-stack")); }

private slots:
    void init() { QSettings().clear(); }

    void pushPassesTheStageMode_data()
    {
        QTest::addColumn<QString>("stage");
        QTest::addColumn<int>("mode");
        QTest::newRow("start") << "start" << 2;
        QTest::newRow("beforeConnect") << "beforeConnect" << 2;
        QTest::newRow("afterConnect") << "afterConnect" << 1;
        QTest::newRow("other name") << "custom" << 1;
        QTest::newRow("case-sensitive") << "Start" << 1;
    }

    void pushPassesTheStageMode()
    {
        QFETCH(QString, stage);
        QFETCH(int, mode);
        RecordingOsAbstraction os;
        DnsStack stack(os);
        stack.push(stage, {"10.0.0.1"});
        QCOMPARE(os.calls, QStringList {QStringLiteral("pushNameServers %1 [10.0.0.1] %2").arg(stage).arg(mode)});
        QCOMPARE(stack.getStack(), QStringList {stage});
        QCOMPARE(persisted(), QStringList {stage});
    }

    // A crash while the name servers change must leave a record of the stage.
    void stageIsRecordedBeforeTheSystemChanges()
    {
        RecordingOsAbstraction os;
        DnsStack stack(os);
        QStringList recordAtCall;
        os.onCall = [&](const QString &) { recordAtCall = persisted(); };
        stack.push(DnsStack::start, {});
        QCOMPARE(recordAtCall, QStringList {"start"});
        stack.push(DnsStack::beforeConnect, {"10.0.0.1"});
        QCOMPARE(recordAtCall, (QStringList {"start", "beforeConnect"}));
    }

    void popToUnwindsDownToTheStage()
    {
        RecordingOsAbstraction os;
        DnsStack stack(os);
        stack.push(DnsStack::start, {});
        stack.push(DnsStack::beforeConnect, {"10.0.0.1"});
        stack.push(DnsStack::afterConnect, {"10.8.0.1"});
        os.calls.clear();
        QCOMPARE(stack.popTo(DnsStack::beforeConnect), QStringLiteral("beforeConnect"));
        QCOMPARE(os.calls, (QStringList {"restoreNameServers afterConnect", "restoreNameServers beforeConnect"}));
        QCOMPARE(stack.getStack(), QStringList {"start"});
        QCOMPARE(persisted(), QStringList {"start"});
    }

    void popToOfAnAbsentStageChangesNothing()
    {
        RecordingOsAbstraction os;
        DnsStack stack(os);
        stack.push(DnsStack::start, {});
        stack.push(DnsStack::beforeConnect, {});
        os.calls.clear();
        QVERIFY(stack.popTo(DnsStack::afterConnect).isNull());
        QVERIFY(os.calls.isEmpty());
        QCOMPARE(persisted(), (QStringList {"start", "beforeConnect"}));
    }

    void popsOnAnEmptyStackWriteNothing()
    {
        RecordingOsAbstraction os;
        DnsStack stack(os);
        QVERIFY(stack.popAll().isNull());
        QVERIFY(stack.popTo(DnsStack::start).isNull());
        QVERIFY(os.calls.isEmpty());
        QVERIFY(!persistedValueExists());
    }

    void sameStagePushedTwiceStopsAtTheUpperOne()
    {
        RecordingOsAbstraction os;
        DnsStack stack(os);
        stack.push(DnsStack::start, {});
        stack.push(DnsStack::afterConnect, {});
        stack.push(DnsStack::afterConnect, {});
        QCOMPARE(stack.popTo(DnsStack::afterConnect), QStringLiteral("afterConnect"));
        QCOMPARE(persisted(), (QStringList {"start", "afterConnect"}));
    }

    void recoveryRestoresTheRecordTopFirst()
    {
        Settings().setDnsStackNames({"start", "beforeConnect", "afterConnect"});
        RecordingOsAbstraction os;
        DnsStack stack(os);
        stack.setStack(persisted());
        QCOMPARE(persisted().size(), 3); // setStack writes nothing
        QVERIFY(os.calls.isEmpty());
        QCOMPARE(stack.popAll(), QStringLiteral("start"));
        QCOMPARE(os.calls, (QStringList {"restoreNameServers afterConnect", "restoreNameServers beforeConnect",
                                         "restoreNameServers start"}));
        QVERIFY(persisted().isEmpty());
        QVERIFY(persistedValueExists());
    }

    void systemNameServers_data()
    {
        QTest::addColumn<DnsListEntry>("entry");
        QTest::addColumn<QString>("change");
        const auto entry = [](const QString &dns1, const QString &dns2) {
            return DnsListEntry(QStringLiteral("mine"), QHostAddress(dns1), QHostAddress(dns2), true);
        };
        QTest::newRow("DHCP") << DnsListEntry::DHCPDEFAULT << "removeNameServers";
        QTest::newRow("addresses") << entry("192.0.2.1", "192.0.2.2") << "setNameServers [192.0.2.1,192.0.2.2]";
        // The helper refuses an empty name server, so none may be passed on.
        QTest::newRow("Quad9, one address")
            << DnsListEntry(QStringLiteral("Quad9"), QHostAddress("9.9.9.9"), QHostAddress(), false)
            << "setNameServers [9.9.9.9]";
        QTest::newRow("custom, only DNS 1") << entry("192.0.2.1", "") << "setNameServers [192.0.2.1]";
    }

    void systemNameServers()
    {
        QFETCH(DnsListEntry, entry);
        QFETCH(QString, change);
        Settings settings;
        RecordingOsAbstraction os;
        DnsStack stack(os);
        stack.push(DnsStack::start, {});
        os.calls.clear();
        stack.setSystemNameServers(settings, entry);
        QCOMPARE(os.calls.value(0), QStringLiteral("restoreNameServers start"));
        QCOMPARE(os.calls.value(1), change);
        QVERIFY(os.calls.value(2).startsWith("pushNameServers start "));
        QCOMPARE(os.calls.size(), 3);
        QCOMPARE(persisted(), QStringList {"start"});
    }

    // The start stage sets the name servers of the start action.
    void startStageWithACustomEntryOfOneAddress()
    {
        Settings settings;
        settings.setDnsPreferenceActionOnStart(DnsPreferenceAction::getDnsPreferenceActionCustom(
            DnsListEntry(QStringLiteral("mine"), QHostAddress("192.0.2.1"), QHostAddress(), true)));
        RecordingOsAbstraction os;
        DnsStack stack(os);
        stack.push(DnsStack::start, {});
        os.calls.clear();
        stack.setSystemNameServers(settings, DnsListEntry::DHCPDEFAULT);
        QCOMPARE(os.calls.value(2), QStringLiteral("pushNameServers start [192.0.2.1] 2"));
    }
};

QTEST_GUILESS_MAIN(TestDnsStack)
#include "tst_dnsstack.moc"
