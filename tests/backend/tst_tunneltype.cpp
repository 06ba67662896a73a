#include "core/TunnelType.h"

#include <QTest>

class TestTunnelType : public QObject
{
    Q_OBJECT

private slots:
    void singletonsHaveFixedNames()
    {
        QCOMPARE(TunnelType::OPENVPN243().toString(), QStringLiteral("OpenVPN"));
        QCOMPARE(TunnelType::OPENCONNECT().toString(), QStringLiteral("OpenConnect"));
        QCOMPARE(&TunnelType::OPENVPN243(), &TunnelTypeOpenVPN243::INSTANCE);
        QCOMPARE(&TunnelType::OPENCONNECT(), &TunnelTypeOpenConnect::INSTANCE);
    }

    void fromKnownName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("openConnect");
        QTest::newRow("OpenConnect") << "OpenConnect" << true;
        QTest::newRow("OpenVPN") << "OpenVPN" << false;
    }

    void fromKnownName()
    {
        QFETCH(QString, name);
        QFETCH(bool, openConnect);
        const TunnelType &expected = openConnect ? TunnelType::OPENCONNECT() : TunnelType::OPENVPN243();
        QCOMPARE(&TunnelType::fromString(name), &expected);
    }

    void unknownNameFallsBackToOpenVpnAndIsLogged_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("lower case") << "openvpn";
        QTest::newRow("empty") << "";
        QTest::newRow("other") << "WireGuard";
    }

    void unknownNameFallsBackToOpenVpnAndIsLogged()
    {
        QFETCH(QString, name);
        QTest::ignoreMessage(QtDebugMsg, qPrintable("static const TunnelType &TunnelType::fromString(const QString &) "
                                                    "Unexpected switch value: "
                                                    + name));
        QCOMPARE(&TunnelType::fromString(name), &TunnelType::OPENVPN243());
    }

    void equality()
    {
        QVERIFY(TunnelType::OPENVPN243() == TunnelType::OPENVPN243());
        QVERIFY(TunnelType::OPENCONNECT() == TunnelType::OPENCONNECT());
        QVERIFY(!(TunnelType::OPENVPN243() == TunnelType::OPENCONNECT()));
        QVERIFY(TunnelType::OPENVPN243() != TunnelType::OPENCONNECT());
    }
};

QTEST_GUILESS_MAIN(TestTunnelType)
#include "tst_tunneltype.moc"
