#include "RecordingOsAbstraction.h"
#include "prefs/DnsListEntry.h"
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
    static bool persistedValueExists()
    {
        return QSettings().contains(QStringLiteral("dns/current-dns-stack"));
    }

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
        QCOMPARE(os.calls, QStringList{QStringLiteral("pushNameServers %1 [10.0.0.1] %2").arg(stage).arg(mode)});
        QCOMPARE(stack.getStack(), QStringList{stage});
        QCOMPARE(persisted(), QStringList{stage});
    }

    // A crash while the name servers change must leave a record of the stage.
    void stageIsRecordedBeforeTheSystemChanges()
    {
        RecordingOsAbstraction os;
        DnsStack stack(os);
        QStringList recordAtCall;
        os.onCall = [&](const QString&) { recordAtCall = persisted(); };
        stack.push(DnsStack::start, {});
        QCOMPARE(recordAtCall, QStringList{"start"});
        stack.push(DnsStack::beforeConnect, {"10.0.0.1"});
        QCOMPARE(recordAtCall, (QStringList{"start", "beforeConnect"}));
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
        QCOMPARE(os.calls,
                 (QStringList{"restoreNameServers afterConnect", "restoreNameServers beforeConnect"}));
        QCOMPARE(stack.getStack(), QStringList{"start"});
        QCOMPARE(persisted(), QStringList{"start"});
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
        QCOMPARE(persisted(), (QStringList{"start", "beforeConnect"}));
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
        QCOMPARE(persisted(), (QStringList{"start", "afterConnect"}));
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
        QCOMPARE(os.calls, (QStringList{"restoreNameServers afterConnect", "restoreNameServers beforeConnect",
                                        "restoreNameServers start"}));
        QVERIFY(persisted().isEmpty());
        QVERIFY(persistedValueExists());
    }

    void systemNameServers_data()
    {
        QTest::addColumn<bool>("dhcp");
        QTest::addColumn<QString>("change");
        QTest::newRow("DHCP") << true << "removeNameServers";
        QTest::newRow("addresses") << false << "setNameServers [192.0.2.1,192.0.2.2]";
    }

    void systemNameServers()
    {
        QFETCH(bool, dhcp);
        QFETCH(QString, change);
        Settings settings;
        RecordingOsAbstraction os;
        DnsStack stack(os);
        stack.push(DnsStack::start, {});
        os.calls.clear();
        const DnsListEntry entry = dhcp ? DnsListEntry::DHCPDEFAULT
                                        : DnsListEntry(QStringLiteral("mine"), QHostAddress("192.0.2.1"),
                                                       QHostAddress("192.0.2.2"), true);
        stack.setSystemNameServers(settings, entry);
        QCOMPARE(os.calls.value(0), QStringLiteral("restoreNameServers start"));
        QCOMPARE(os.calls.value(1), change);
        QVERIFY(os.calls.value(2).startsWith("pushNameServers start "));
        QCOMPARE(os.calls.size(), 3);
        QCOMPARE(persisted(), QStringList{"start"});
    }
};

QTEST_GUILESS_MAIN(TestDnsStack)
#include "tst_dnsstack.moc"
