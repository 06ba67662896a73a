#include "OpenConnectTestDoubles.h"
#include "RecordingOsAbstraction.h"

#include "openconnect/VpncScript.h"

#include <QTest>

namespace {

PushedOptions environment(const QStringList &assignments)
{
    PushedOptions options;
    for (const QString &assignment : assignments)
        options.addOption(assignment);
    return options;
}

const QStringList CONNECT = {"reason=connect",
                             "TUNDEV=tun0",
                             "VPNGATEWAY=192.0.2.1",
                             "INTERNAL_IP4_ADDRESS=198.18.0.2",
                             "INTERNAL_IP4_NETMASK=255.255.255.0",
                             "INTERNAL_IP4_MTU=1400"};

const QString CONFIG_ERROR = "An error occurred while configuring the network. / VPN connection could not work.";
const QString SETUP_ERROR = "A problem occurred while setting up the network. / Aborting connection...";

} // namespace

class TestVpncScript : public QObject
{
    Q_OBJECT

private slots:
    void steps_data()
    {
        QTest::addColumn<QStringList>("env");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("error");

        const QStringList connectCalls = {"protectHost 192.0.2.1", "setInterfaceUp tun0",
                                          "setIPv4AddressAndGateway tun0 198.18.0.2 255.255.255.0 198.18.0.2",
                                          "add4SplittedRoutesToInterface tun0"};
        QTest::newRow("connect") << CONNECT << true << connectCalls << "";
        QTest::newRow("CONNECT in capitals")
            << (QStringList(CONNECT) << "reason=CONNECT") << true << connectCalls << "";
        QTest::newRow("TUNIDX before TUNDEV")
            << (QStringList(CONNECT) << "TUNIDX=utun3") << true
            << QStringList({"protectHost 192.0.2.1", "setInterfaceUp utun3",
                            "setIPv4AddressAndGateway utun3 198.18.0.2 255.255.255.0 198.18.0.2",
                            "add4SplittedRoutesToInterface utun3"})
            << "";
        QTest::newRow("no reason") << QStringList({"TUNDEV=tun0"}) << false << QStringList() << CONFIG_ERROR;
        QTest::newRow("connect without gateway") << QStringList(
            {"reason=connect", "TUNDEV=tun0", "INTERNAL_IP4_ADDRESS=198.18.0.2", "INTERNAL_IP4_NETMASK=255.255.255.0"})
                                                 << false << QStringList() << CONFIG_ERROR;
        QTest::newRow("connect with garbled address")
            << (QStringList(CONNECT) << "INTERNAL_IP4_ADDRESS=198.18.0") << false << QStringList() << CONFIG_ERROR;
        QTest::newRow("connect with non-contiguous netmask")
            << (QStringList(CONNECT) << "INTERNAL_IP4_NETMASK=255.0.255.0") << false << QStringList() << CONFIG_ERROR;
        QTest::newRow("connect with garbled gateway")
            << (QStringList(CONNECT) << "VPNGATEWAY=server") << false << QStringList() << CONFIG_ERROR;
        QTest::newRow("connect with a device name holding a blank")
            << (QStringList(CONNECT) << "TUNDEV=tun0 up") << false << QStringList() << CONFIG_ERROR;
        QTest::newRow("connect with empty device")
            << (QStringList(CONNECT) << "TUNIDX=") << false << QStringList() << CONFIG_ERROR;
        QTest::newRow("pre-init") << QStringList({"reason=pre-init", "TUNDEV=x"}) << true << QStringList() << "";
        QTest::newRow("reconnect") << QStringList({"reason=reconnect"}) << true << QStringList() << "";
        QTest::newRow("reconnecting") << QStringList({"reason=reconnecting", "VPNGATEWAY=192.0.2.1"}) << true
                                      << QStringList({"releaseHost 192.0.2.1", "protectHost 192.0.2.1"}) << "";
        QTest::newRow("reconnecting without gateway")
            << QStringList({"reason=reconnecting"}) << false << QStringList() << CONFIG_ERROR;
        QTest::newRow("Disconnect") << QStringList({"reason=Disconnect", "TUNDEV=tun0", "VPNGATEWAY=192.0.2.1",
                                                    "INTERNAL_IP4_ADDRESS=198.18.0.2",
                                                    "INTERNAL_IP4_NETMASK=255.255.255.0"})
                                    << true
                                    << QStringList({"remove4SplittedRoutes", "releaseHost 192.0.2.1",
                                                    "deleteIPv4Address tun0 198.18.0.2 255.255.255.0",
                                                    "setInterfaceDown tun0"})
                                    << "";
        QTest::newRow("disconnect without addresses")
            << QStringList({"reason=disconnect", "TUNDEV=tun0"}) << true
            << QStringList(
                   {"remove4SplittedRoutes", "releaseHost ", "deleteIPv4Address tun0  ", "setInterfaceDown tun0"})
            << "";
        QTest::newRow("disconnect without device")
            << QStringList({"reason=disconnect"}) << false << QStringList() << CONFIG_ERROR;
        QTest::newRow("unknown reason") << QStringList({"reason=attempt-reconnect"}) << false << QStringList()
                                        << SETUP_ERROR;
    }

    void steps()
    {
        QFETCH(QStringList, env);
        QFETCH(bool, result);
        QFETCH(QStringList, calls);
        QFETCH(QString, error);
        RecordingOsAbstraction os;
        RecordingFrontend frontend;
        QCOMPARE(VpncScript::createAndExecuteVpncScript(os, {}, frontend, environment(env)), result);
        QCOMPARE(os.calls, calls);
        QCOMPARE(frontend.errors, error.isEmpty() ? QStringList() : QStringList {error});
    }

    void failingSystemChangeFailsConnectAndTakesBackTheRest_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<int>("attempted");
        QTest::newRow("host route") << "protectHost" << 1;
        QTest::newRow("address") << "setIPv4AddressAndGateway" << 3;
        QTest::newRow("split routes") << "add4SplittedRoutesToInterface" << 4;
    }

    void failingSystemChangeFailsConnectAndTakesBackTheRest()
    {
        QFETCH(QString, failing);
        QFETCH(int, attempted);
        RecordingOsAbstraction os;
        os.failures.insert(failing, {"Error", "helper failed"});
        RecordingFrontend frontend;
        QVERIFY(!VpncScript::createAndExecuteVpncScript(os, {}, frontend, environment(CONNECT)));
        const QStringList calls = os.calls;
        QVERIFY2(calls.size() == attempted + 4, qPrintable(calls.join(" | ")));
        QCOMPARE(calls.mid(attempted),
                 QStringList({"remove4SplittedRoutes", "releaseHost 192.0.2.1",
                              "deleteIPv4Address tun0 198.18.0.2 255.255.255.0", "setInterfaceDown tun0"}));
        QCOMPARE(frontend.errors, QStringList {SETUP_ERROR});
    }

    void failingHostRouteFailsReconnecting()
    {
        RecordingOsAbstraction os;
        os.failures.insert("protectHost", {"Error", "helper failed"});
        RecordingFrontend frontend;
        QVERIFY(!VpncScript::createAndExecuteVpncScript(os, {}, frontend,
                                                        environment({"reason=reconnecting", "VPNGATEWAY=192.0.2.1"})));
        QCOMPARE(frontend.errors, QStringList {SETUP_ERROR});
    }

    void disconnectStaysBestEffort()
    {
        RecordingOsAbstraction os;
        os.failures.insert("remove4SplittedRoutes", {"Error", "helper failed"});
        os.failures.insert("releaseHost", {"Error", "helper failed"});
        RecordingFrontend frontend;
        QVERIFY(VpncScript::createAndExecuteVpncScript(
            os, {}, frontend, environment({"reason=disconnect", "TUNDEV=tun0", "VPNGATEWAY=192.0.2.1"})));
        QCOMPARE(os.calls.size(), 4);
        QVERIFY(frontend.errors.isEmpty());
    }

    void deviceNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("tun0") << "tun0" << true;
        QTest::newRow("utun12") << "utun12" << true;
        QTest::newRow("15 chars") << "abcdefghijklmno" << true;
        QTest::newRow("16 chars") << "abcdefghijklmnop" << false;
        QTest::newRow("slash") << "tun/0" << false;
        QTest::newRow("leading dash") << "-tun" << false;
        QTest::newRow("empty") << "" << false;
    }

    void deviceNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(VpncScript::isValidDeviceName(name), valid);
    }
};

QTEST_GUILESS_MAIN(TestVpncScript)
#include "tst_vpncscript.moc"
