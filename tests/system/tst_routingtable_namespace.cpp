#include "NetnsSandbox.h"
#include "system/RoutingTableIPv4.h"

#include <QTest>

// The real kernel table, read through the platform's route dump, inside a
// network namespace of the test's own.
class TestRoutingTableNamespace : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { NETNS_SANDBOX_OR_SKIP(); }

    void emptyNamespaceHasNoDefaultRoute()
    {
        Routes4 routes = RoutingTableIPv4().getRoutes4();
        routes.retainDefaultRoutes();
        QVERIFY(!routes.containsDefaultRoute());
    }

    void findsDefaultGatewayAndMetric()
    {
        QVERIFY(NetnsSandbox::ip("link add orvtst0 type veth peer name orvtst1"));
        QVERIFY(NetnsSandbox::ip("addr add 10.231.0.2/24 dev orvtst0"));
        QVERIFY(NetnsSandbox::ip("link set orvtst0 up"));
        QVERIFY(NetnsSandbox::ip("link set orvtst1 up"));
        QVERIFY(NetnsSandbox::ip("route add default via 10.231.0.9 dev orvtst0 metric 300"));
        QVERIFY(NetnsSandbox::ip("route add default via 10.231.0.1 dev orvtst0 metric 100"));

        const RoutingTableIPv4 table;
        const Routes4 all = table.getRoutes4();
        const Route4Entry network("orvtst0", QHostAddress("10.231.0.0"), 0xffffff00, QHostAddress(), 1);
        QVERIFY(all.entries().contains(network));

        Routes4 defaults = all;
        defaults.retainDefaultRoutes();
        defaults.sortByMetric();
        QCOMPARE(defaults.entries().size(), 2);
        QCOMPARE(defaults.getFirstRoute(),
                 Route4Entry("orvtst0", QHostAddress("0.0.0.0"), 0, QHostAddress("10.231.0.1"), 1));
        QCOMPARE(defaults.entries().at(1),
                 Route4Entry("orvtst0", QHostAddress("0.0.0.0"), 0, QHostAddress("10.231.0.9"), 2));
    }
};

QTEST_GUILESS_MAIN(TestRoutingTableNamespace)
#include "tst_routingtable_namespace.moc"
