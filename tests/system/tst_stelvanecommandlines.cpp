#include "system/StelvaneCommandLines.h"

#include <QTest>

using Lines = QList<QStringList>;
Q_DECLARE_METATYPE(Lines)

// The argument lists built without running anything; the runner's own test
// shows that its operations reach the helper as built.
class TestStelvaneCommandLines : public QObject
{
    Q_OBJECT

private slots:
    void lines_data()
    {
        using C = StelvaneCommandLines;
        QTest::addColumn<Lines>("built");
        QTest::addColumn<Lines>("expected");
        QTest::newRow("name servers") << Lines {C::setNameServers("Wi-Fi", {"10.8.0.1", "::1"})}
                                      << Lines {{"SetNameServers", "Wi-Fi", "10.8.0.1", "::1"}};
        // The service name alone is no valid command.
        QTest::newRow("DHCP") << Lines {C::setNameServers("USB 2", {})} << Lines {{"SetNameServers", "USB 2", "empty"}};
        QTest::newRow("interface up") << Lines {C::setInterfaceState("Wi-Fi", true)}
                                      << Lines {{"Interface", "Wi-Fi", "up"}};
        QTest::newRow("interface down") << Lines {C::setInterfaceState("Wi-Fi", false)}
                                        << Lines {{"Interface", "Wi-Fi", "down"}};
        QTest::newRow("IPv6 address written short")
            << Lines {C::setIPv6Address("utun3", QHostAddress("2001:0db8:0:0:0:0:0:1"), 64)}
            << Lines {{"SetIPv6Address", "utun3", "2001:db8::1", "64"}};
        QTest::newRow("split routes in index order") << C::add4SplittedRoutesToGateway(QHostAddress("10.8.0.1"))
                                                     << Lines {{"Add4SplittedRouteToGateway", "10.8.0.1", "1"},
                                                               {"Add4SplittedRouteToGateway", "10.8.0.1", "2"},
                                                               {"Add4SplittedRouteToGateway", "10.8.0.1", "3"},
                                                               {"Add4SplittedRouteToGateway", "10.8.0.1", "4"}};
        QTest::newRow("black holes") << C::addBlackHoleRoutes()
                                     << Lines {{"AddSimpleSplittedRouteToBlackhole", "1"},
                                               {"AddSimpleSplittedRouteToBlackhole", "2"}};
        QTest::newRow("black holes removed")
            << C::removeBlackHoleRoutes()
            << Lines {{"RemoveSimpleSplittedRouteToBlackhole", "1"}, {"RemoveSimpleSplittedRouteToBlackhole", "2"}};
        QTest::newRow("unreachable") << C::addIPv6UnreachableRoutes()
                                     << Lines {{"AddSimpleSplittedIPV6RouteToUnreachable", "1"},
                                               {"AddSimpleSplittedIPV6RouteToUnreachable", "2"}};
        QTest::newRow("protect host") << Lines {C::protectHost(QHostAddress("192.0.2.10"), QHostAddress("192.0.2.1"))}
                                      << Lines {{"ProtectHost", "192.0.2.10", "192.0.2.1"}};
        QTest::newRow("release host") << Lines {C::releaseHost(QHostAddress("192.0.2.10"))}
                                      << Lines {{"ReleaseHost", "192.0.2.10"}};
        QTest::newRow("unreachable pair") << C::removeIPv6UnreachableRoutes()
                                          << Lines {{"RemoveSimpleSplittedIPV6RouteToUnreachable", "1"},
                                                    {"RemoveSimpleSplittedIPV6RouteToUnreachable", "2"}};
    }

    void lines()
    {
        QFETCH(Lines, built);
        QFETCH(Lines, expected);
        QCOMPARE(built, expected);
    }
};

QTEST_GUILESS_MAIN(TestStelvaneCommandLines)
#include "tst_stelvanecommandlines.moc"
