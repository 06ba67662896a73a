#include "openconnect/OpenConnectConnectVia.h"
#include "openvpn/ConnectVia.h"

#include <QTest>

class TestConnectVia : public QObject
{
    Q_OBJECT

private slots:
    void singletons_data()
    {
        QTest::addColumn<const ConnectVia *>("via");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<bool>("proxy");
        QTest::newRow("udp") << &ConnectVia::UDP() << "UDP" << 0 << int(HalvorixServerSite::UDP) << false;
        QTest::newRow("tcp") << &ConnectVia::TCP() << "TCP" << 1 << int(HalvorixServerSite::TCP) << false;
        QTest::newRow("stealth") << &ConnectVia::TCP_WITH_STEALTH_PROXY() << "TCP_WITH_STEALTH_PROXY" << 2
                                 << int(HalvorixServerSite::TCP) << true;
        QTest::newRow("custom") << &ConnectVia::TCP_WITH_CUSTOM_PROXY() << "TCP_WITH_CUSTOM_PROXY" << 3
                                << int(HalvorixServerSite::TCP) << true;
    }

    void singletons()
    {
        QFETCH(const ConnectVia *, via);
        QFETCH(QString, text);
        QFETCH(int, type);
        QFETCH(int, protocol);
        QFETCH(bool, proxy);
        QCOMPARE(via->toString(), text);
        QCOMPARE(int(via->getType()), type);
        QCOMPARE(int(via->getProtocol()), protocol);
        QCOMPARE(via->isProxy(), proxy);
        QCOMPARE(&ConnectVia::fromString(text), via);
        QVERIFY(ConnectVia::fromString(via->toString()) == *via);
    }

    void unknownTextsGiveUdp_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("lower case") << "udp";
        QTest::newRow("lower case stealth") << "tcp_with_stealth_proxy";
        QTest::newRow("empty") << "";
        QTest::newRow("null") << QString();
        QTest::newRow("other") << "HTTP";
        QTest::newRow("padded") << " TCP";
    }

    void unknownTextsGiveUdp()
    {
        QFETCH(QString, text);
        const QByteArray line =
            "static const ConnectVia &ConnectVia::fromString(const QString &) Unexpected switch name:  \""
            + text.toUtf8() + '"';
        QTest::ignoreMessage(QtDebugMsg, line.constData());
        QCOMPARE(&ConnectVia::fromString(text), &ConnectVia::UDP());
    }

    void equalityIsByTextForm()
    {
        QVERIFY(ConnectVia::UDP() == ConnectVia::UDP());
        QVERIFY(ConnectVia::UDP() != ConnectVia::TCP());
        QVERIFY(ConnectVia::TCP_WITH_STEALTH_PROXY() != ConnectVia::TCP_WITH_CUSTOM_PROXY());
    }

    void travelsInAVariantUnderItsName()
    {
        QVERIFY(QMetaType::type("ConnectVia*") != QMetaType::UnknownType);
        const QVariant variant = QVariant::fromValue(&ConnectVia::TCP());
        QCOMPARE(variant.value<const ConnectVia *>(), &ConnectVia::TCP());
    }

    void openConnectSingletons_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("protocol");
        QTest::newRow("udp") << "UDP" << 0 << int(HalvorixServerSite::UDP);
        QTest::newRow("tcp") << "TCP" << 1 << int(HalvorixServerSite::TCP);
        QTest::newRow("stealth") << "TCP_WITH_STEALTH_PROXY" << 2 << int(HalvorixServerSite::TCP);
        QTest::newRow("custom") << "TCP_WITH_CUSTOM_PROXY" << 3 << int(HalvorixServerSite::TCP);
    }

    void openConnectSingletons()
    {
        QFETCH(QString, text);
        QFETCH(int, type);
        QFETCH(int, protocol);
        const OpenConnectConnectVia &via = OpenConnectConnectVia::fromString(text);
        QCOMPARE(via.toString(), text);
        QCOMPARE(int(via.getType()), type);
        QCOMPARE(int(via.getProtocol()), protocol);
        QCOMPARE(&OpenConnectConnectVia::fromString(via.toString()), &via);
    }

    void openConnectAccessorsAreTheParsedSingletons()
    {
        QCOMPARE(&OpenConnectConnectVia::UDP(), &OpenConnectConnectVia::fromString(QStringLiteral("UDP")));
        QCOMPARE(&OpenConnectConnectVia::TCP(), &OpenConnectConnectVia::fromString(QStringLiteral("TCP")));
        QCOMPARE(&OpenConnectConnectVia::TCP_WITH_STEALTH_PROXY(),
                 &OpenConnectConnectVia::fromString(QStringLiteral("TCP_WITH_STEALTH_PROXY")));
        QCOMPARE(&OpenConnectConnectVia::TCP_WITH_CUSTOM_PROXY(),
                 &OpenConnectConnectVia::fromString(QStringLiteral("TCP_WITH_CUSTOM_PROXY")));
        QVERIFY(OpenConnectConnectVia::UDP() != OpenConnectConnectVia::TCP());
    }

    void openConnectUnknownTextsGiveTcp_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("lower case udp") << "udp";
        QTest::newRow("empty") << "";
        QTest::newRow("other") << "SSL";
    }

    void openConnectUnknownTextsGiveTcp()
    {
        QFETCH(QString, text);
        const QByteArray line =
            "static const OpenConnectConnectVia &OpenConnectConnectVia::fromString(const QString &) "
            "Unexpected switch name:  \""
            + text.toUtf8() + '"';
        QTest::ignoreMessage(QtDebugMsg, line.constData());
        QCOMPARE(&OpenConnectConnectVia::fromString(text), &OpenConnectConnectVia::TCP());
    }
};

QTEST_GUILESS_MAIN(TestConnectVia)
#include "tst_connectvia.moc"
