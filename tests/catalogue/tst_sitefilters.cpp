#include "catalogue/ServerSitePortFilter.h"
#include "catalogue/ServerSitePortFilterException.h"
#include "catalogue/ServerSiteProtocolFilter.h"

#include <QTest>

namespace {

OpenVpnConfigCipher offer(const QString &protocol, int port, const QString &cipher = QStringLiteral("AES-128-GCM"))
{
    return OpenVpnConfigCipher(cipher, QStringList {cipher}, protocol, port, QString(), QString(), QString(), false,
                               QString(), QString(), 0);
}

QStringList displayStrings(const QList<ServerSitePortFilter> &filters)
{
    QStringList texts;
    for (const ServerSitePortFilter &filter : filters)
        texts << filter.displayString();
    return texts;
}

QStringList displayStrings(const QList<ServerSiteProtocolFilter> &filters)
{
    QStringList texts;
    for (const ServerSiteProtocolFilter &filter : filters)
        texts << filter.displayString();
    return texts;
}

} // namespace

class TestSiteFilters : public QObject
{
    Q_OBJECT

private slots:
    void portFilterConstruction_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("result");
        QTest::newRow("any") << 0 << "Any";
        QTest::newRow("1") << 1 << "1";
        QTest::newRow("443") << 443 << "443";
        QTest::newRow("65535") << 65535 << "65535";
        QTest::newRow("65536") << 65536 << "Wrong port detected: 65536";
        QTest::newRow("-1") << -1 << "Wrong port detected: -1";
    }

    void portFilterConstruction()
    {
        QFETCH(int, port);
        QFETCH(QString, result);
        QString outcome;
        try {
            outcome = ServerSitePortFilter(port).displayString();
        } catch (const ServerSitePortFilterException &e) {
            outcome = e.getMessage();
        }
        QCOMPARE(outcome, result);
    }

    void portDropDown_data()
    {
        QTest::addColumn<QList<int>>("ports");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("sorted distinct") << QList<int> {443, 1194, 443, 80} << QStringList {"Any", "80", "443", "1194"};
        QTest::newRow("numeric not textual") << QList<int> {9000, 10000} << QStringList {"Any", "9000", "10000"};
        QTest::newRow("no offers") << QList<int>() << QStringList {"Any"};
    }

    void portDropDown()
    {
        QFETCH(QList<int>, ports);
        QFETCH(QStringList, entries);
        QList<OpenVpnConfigCipher> offers;
        for (int port : ports)
            offers << offer(QStringLiteral("UDP"), port);
        QCOMPARE(displayStrings(ServerSitePortFilter::createPortFilterList(offers)), entries);
    }

    void portFiltering()
    {
        QList<OpenVpnConfigCipher> offers {offer("UDP", 443, "A"), offer("UDP", 1194, "B"), offer("TCP", 443, "C")};
        QList<OpenVpnConfigCipher> all = offers;
        ServerSitePortFilter().filterConfigCiphers(all);
        QCOMPARE(all, offers);

        ServerSitePortFilter(443).filterConfigCiphers(offers);
        QCOMPARE(offers, (QList<OpenVpnConfigCipher> {offer("UDP", 443, "A"), offer("TCP", 443, "C")}));

        QVERIFY(ServerSitePortFilter().supportsPort(1194));
        QVERIFY(ServerSitePortFilter(443).supportsPort(443));
        QVERIFY(!ServerSitePortFilter(443).supportsPort(1194));
    }

    void protocolFilterConstruction_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<QString>("display");
        QTest::addColumn<bool>("logged");
        QTest::newRow("empty is any") << ""
                                      << ""
                                      << "Any" << false;
        QTest::newRow("null is any") << QString() << ""
                                     << "Any" << false;
        QTest::newRow("UDP") << "UDP"
                             << "UDP"
                             << "UDP" << false;
        QTest::newRow("udp") << "udp"
                             << "UDP"
                             << "UDP" << false;
        QTest::newRow("Tcp") << "Tcp"
                             << "TCP"
                             << "TCP" << false;
        QTest::newRow("Any is UDP") << "Any"
                                    << "UDP"
                                    << "UDP" << true;
        QTest::newRow("unknown is UDP") << "SCTP"
                                        << "UDP"
                                        << "UDP" << true;
    }

    void protocolFilterConstruction()
    {
        QFETCH(QString, text);
        QFETCH(QString, protocol);
        QFETCH(QString, display);
        QFETCH(bool, logged);
        if (logged)
            QTest::ignoreMessage(QtDebugMsg, "Error: Protocol unknown -> switching back to default value UDP");
        const ServerSiteProtocolFilter filter(text);
        QCOMPARE(filter.getProtocol(), protocol);
        QCOMPARE(filter.displayString(), display);
    }

    void protocolFiltering()
    {
        QList<OpenVpnConfigCipher> offers {offer("UDP", 443, "A"), offer("TCP", 443, "B"), offer("UDP", 53, "C")};
        QList<OpenVpnConfigCipher> all = offers;
        ServerSiteProtocolFilter().filterConfigCiphers(all);
        QCOMPARE(all, offers);

        const ServerSiteProtocolFilter udp(QStringLiteral("UDP"));
        udp.filterConfigCiphers(offers);
        QCOMPARE(offers, (QList<OpenVpnConfigCipher> {offer("UDP", 443, "A"), offer("UDP", 53, "C")}));
        QVERIFY(udp.supportsProtocol(QStringLiteral("UDP")));
        QVERIFY(!udp.supportsProtocol(QStringLiteral("TCP")));
        QVERIFY(ServerSiteProtocolFilter().supportsProtocol(QStringLiteral("UDP")));
        QVERIFY(ServerSiteProtocolFilter().supportsProtocol(QStringLiteral("TCP")));
    }

    void protocolDropDown()
    {
        QStringList entries = displayStrings(
            ServerSiteProtocolFilter::createProtocolFilterList({offer("UDP", 1), offer("TCP", 2), offer("UDP", 3)}));
        QCOMPARE(entries.takeFirst(), QStringLiteral("Any"));
        entries.sort();
        QCOMPARE(entries, (QStringList {"TCP", "UDP"}));

        QCOMPARE(displayStrings(ServerSiteProtocolFilter::createProtocolFilterList({offer("UDP", 1)})),
                 (QStringList {"Any", "UDP"}));
        QCOMPARE(displayStrings(ServerSiteProtocolFilter::createProtocolFilterList({})), QStringList {"Any"});
    }

    void filtersTravelInVariants()
    {
        QVERIFY(QMetaType::type("ServerSitePortFilter") != QMetaType::UnknownType);
        QVERIFY(QMetaType::type("ServerSiteProtocolFilter") != QMetaType::UnknownType);
        QCOMPARE(QVariant::fromValue(ServerSitePortFilter(80)).value<ServerSitePortFilter>().getPort(), 80);
        QCOMPARE(ServerSitePortFilter::ANYPORT, QStringLiteral("Any"));
        QCOMPARE(ServerSiteProtocolFilter::ANYPROTOCOL, QStringLiteral("Any"));
    }
};

QTEST_GUILESS_MAIN(TestSiteFilters)
#include "tst_sitefilters.moc"
