#include "openvpn/PushedOptions.h"

#include <QTest>

class TestPushedOptions : public QObject
{
    Q_OBJECT

private slots:
    void emptyInstance()
    {
        const PushedOptions options;
        QVERIFY(options.getForeignOptions().isEmpty());
        QVERIFY(options.getDnsServers().isEmpty());
        QVERIFY(!options.hasDnsServers());
        QVERIFY(options.getRouteVPNGateway().isNull());
        QVERIFY(options.getUpDown().isEmpty());
        QVERIFY(options.getOptions().isEmpty());
    }

    void addOption_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << "route_vpn_gateway=10.8.0.1"
                               << "route_vpn_gateway"
                               << "10.8.0.1";
        QTest::newRow("later separators stay") << "a=b=c"
                                               << "a"
                                               << "b=c";
        QTest::newRow("double separator") << "a==b"
                                          << "a"
                                          << "b";
        QTest::newRow("empty value") << "a="
                                     << "a"
                                     << "";
        QTest::newRow("empty name") << "=x"
                                    << "x"
                                    << "";
        QTest::newRow("no separator") << "lonely"
                                      << "lonely"
                                      << "";
    }

    void addOption()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QString, value);
        PushedOptions options;
        options.addOption(text);
        QCOMPARE(options.getOptions().size(), 1);
        QVERIFY(options.getOptions().contains(name));
        QCOMPARE(options.getOption(name), value);
    }

    void dnsServers_data()
    {
        QTest::addColumn<QStringList>("foreign"); // foreign_option_1, _2, ... in order
        QTest::addColumn<QStringList>("servers");
        QTest::newRow("one") << QStringList {"dhcp-option DNS 10.8.0.1"} << QStringList {"10.8.0.1"};
        QTest::newRow("IPv6") << QStringList {"dhcp-option DNS6 fd00::1"} << QStringList {"fd00::1"};
        QTest::newRow("domain skipped") << QStringList {"dhcp-option DOMAIN corp", "dhcp-option DNS 10.8.0.1"}
                                        << QStringList {"10.8.0.1"};
        QTest::newRow("two blanks") << QStringList {"dhcp-option DNS  10.8.0.1"} << QStringList {"10.8.0.1"};
        QTest::newRow("trailing blank") << QStringList {"dhcp-option DNS 10.8.0.1 "} << QStringList {""};
        QTest::newRow("case-sensitive") << QStringList {"dhcp-option dns 10.8.0.1"} << QStringList {};
        QTest::newRow("order kept") << QStringList {"dhcp-option DNS 10.8.0.2", "dhcp-option DNS 10.8.0.1"}
                                    << QStringList {"10.8.0.2", "10.8.0.1"};
    }

    void dnsServers()
    {
        QFETCH(QStringList, foreign);
        QFETCH(QStringList, servers);
        PushedOptions options;
        for (int i = 0; i < foreign.size(); ++i)
            options.addOption(QStringLiteral("foreign_option_%1=%2").arg(i + 1).arg(foreign.at(i)));
        QCOMPARE(options.getForeignOptions(), foreign);
        QCOMPARE(options.getDnsServers(), servers);
        QCOMPARE(options.hasDnsServers(), !servers.isEmpty());
    }

    void gapEndsTheForeignOptions()
    {
        PushedOptions options;
        options.addOption(QStringLiteral("foreign_option_1=dhcp-option DNS 10.0.0.1"));
        options.addOption(QStringLiteral("foreign_option_3=dhcp-option DNS 10.0.0.3"));
        QCOMPARE(options.getForeignOptions(), QStringList {"dhcp-option DNS 10.0.0.1"});
    }

    void repeatedNameReplaces()
    {
        PushedOptions options;
        options.addOption(QStringLiteral("foreign_option_1=dhcp-option DNS 10.0.0.1"));
        options.addOption(QStringLiteral("foreign_option_1=dhcp-option DNS 10.0.0.2"));
        QCOMPARE(options.getDnsServers(), QStringList {"10.0.0.2"});
    }

    void gateway_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("gateway"); // empty: null address
        QTest::newRow("IPv4") << "10.8.0.1"
                              << "10.8.0.1";
        QTest::newRow("IPv6") << "fd00::1"
                              << "fd00::1";
        QTest::newRow("not an address") << "gateway.example"
                                        << "";
    }

    void gateway()
    {
        QFETCH(QString, value);
        QFETCH(QString, gateway);
        PushedOptions options;
        options.addOption("route_vpn_gateway=" + value);
        const QHostAddress address = options.getRouteVPNGateway();
        if (gateway.isEmpty())
            QVERIFY(address.isNull());
        else
            QCOMPARE(address, QHostAddress(gateway));
    }

    void copiesAreIndependent()
    {
        PushedOptions options;
        options.setUpDown(QStringLiteral("UP"));
        options.addOption(QStringLiteral("a=1"));
        PushedOptions copy = options;
        copy.addOption(QStringLiteral("a=2"));
        copy.setUpDown(QStringLiteral("DOWN"));
        QCOMPARE(options.getOption(QStringLiteral("a")), QStringLiteral("1"));
        QCOMPARE(options.getUpDown(), QStringLiteral("UP"));
        QCOMPARE(copy.getOption(QStringLiteral("a")), QStringLiteral("2"));
    }
};

QTEST_GUILESS_MAIN(TestPushedOptions)
#include "tst_pushedoptions.moc"
