#include "catalogue/StealthProxy.h"

#include <QTest>

#include <stdexcept>

class TestSiteStealthProxy : public QObject
{
    Q_OBJECT

private:
    // "<ok>", or the kind and message of what the constructor threw.
    static QString outcome(const QString &host, const QString &port)
    {
        try {
            StealthProxy(QStringLiteral("AUT"), QStringLiteral("Vienna"), host, port, QStringLiteral("pw"),
                         QStringLiteral("aes-256-gcm"));
        } catch (const std::invalid_argument &e) {
            return QStringLiteral("invalid: ") + QString::fromUtf8(e.what());
        } catch (const std::range_error &e) {
            return QStringLiteral("range: ") + QString::fromUtf8(e.what());
        }
        return QStringLiteral("<ok>");
    }

private slots:
    void ports_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("result");
        QTest::newRow("443") << "443"
                             << "<ok>";
        QTest::newRow("0") << "0"
                           << "<ok>";
        QTest::newRow("65535") << "65535"
                               << "<ok>";
        QTest::newRow("65536") << "65536"
                               << "range: Port number out of range: 65536";
        QTest::newRow("2^32-1") << "4294967295"
                                << "range: Port number out of range: 4294967295";
        QTest::newRow("2^32") << "4294967296"
                              << "invalid: Not a port number: 4294967296";
        QTest::newRow("letters") << "https"
                                 << "invalid: Not a port number: https";
        QTest::newRow("negative") << "-1"
                                  << "invalid: Not a port number: -1";
        QTest::newRow("empty") << ""
                               << "invalid: Not a port number: ";
        QTest::newRow("null") << QString() << "invalid: Not a port number: ";
    }

    void ports()
    {
        QFETCH(QString, port);
        QFETCH(QString, result);
        QCOMPARE(outcome(QStringLiteral("10.0.0.1"), port), result);
    }

    void portValue()
    {
        QCOMPARE(StealthProxy::check_port(QStringLiteral("443")), quint16(443));
        QCOMPARE(StealthProxy::check_port(QStringLiteral("65535")), quint16(65535));
    }

    void hosts_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("kind");
        const QString ok = QStringLiteral("<ok>");
        QTest::newRow("address") << "10.0.0.1" << ok << int(StealthProxy::IPV4_ADDRESS);
        QTest::newRow("zero address") << "0.0.0.0" << ok << int(StealthProxy::IPV4_ADDRESS);
        QTest::newRow("255 everywhere") << "255.255.255.255" << ok << int(StealthProxy::IPV4_ADDRESS);
        QTest::newRow("256 is a name") << "256.1.1.1" << ok << int(StealthProxy::HOSTNAME);
        QTest::newRow("leading zero is a name") << "01.2.3.4" << ok << int(StealthProxy::HOSTNAME);
        QTest::newRow("three parts is a name") << "1.2.3" << ok << int(StealthProxy::HOSTNAME);
        QTest::newRow("host name") << "proxy-1.stealth.example" << ok << int(StealthProxy::HOSTNAME);
        QTest::newRow("single label") << "p" << ok << int(StealthProxy::HOSTNAME);
        const QString prefix = QStringLiteral("invalid: Not a valid hostname or IP address: ");
        QTest::newRow("leading hyphen") << "-proxy.example" << prefix + "'-proxy.example'" << 0;
        QTest::newRow("trailing hyphen in label") << "proxy-.example" << prefix + "'proxy-.example'" << 0;
        QTest::newRow("final point") << "proxy.example." << prefix + "'proxy.example.'" << 0;
        QTest::newRow("underscore") << "my_proxy.example" << prefix + "'my_proxy.example'" << 0;
        QTest::newRow("leading space") << " 10.0.0.1" << prefix + "' 10.0.0.1'" << 0;
        QTest::newRow("trailing space") << "10.0.0.1 " << prefix + "'10.0.0.1 '" << 0;
        QTest::newRow("trailing line feed") << "10.0.0.1\n" << prefix + "'10.0.0.1\n'" << 0;
        QTest::newRow("embedded line feed") << "a.example\nb" << prefix + "'a.example\nb'" << 0;
        QTest::newRow("three spaces") << "   " << prefix + "'   '" << 0;
        QTest::newRow("empty") << "" << prefix + "Empty-String" << 0;
        QTest::newRow("null") << QString() << prefix + "Null-String" << 0;
    }

    void hosts()
    {
        QFETCH(QString, host);
        QFETCH(QString, result);
        QFETCH(int, kind);
        QCOMPARE(outcome(host, QStringLiteral("8388")), result);
        if (kind != 0) {
            const StealthProxy proxy(QStringLiteral("AUT"), QStringLiteral("Vienna"), host, QStringLiteral("8388"),
                                     QString(), QString());
            QCOMPARE(int(proxy.getHostKind()), kind);
            QCOMPARE(proxy.getHost(), host);
        }
    }

    void portErrorWinsOverHostError()
    {
        QCOMPARE(outcome(QStringLiteral("-bad-"), QStringLiteral("x")),
                 QStringLiteral("invalid: Not a port number: x"));
        QCOMPARE(outcome(QString(), QStringLiteral("70000")), QStringLiteral("range: Port number out of range: 70000"));
    }

    void fieldsAreKeptUnchanged()
    {
        const StealthProxy proxy(QStringLiteral("AUT"), QStringLiteral("Vienna"), QStringLiteral("proxy.example"),
                                 QStringLiteral("8388"), QString(), QString());
        QCOMPARE(proxy.getId(), QStringLiteral("AUT-Vienna"));
        QCOMPARE(proxy.getCountryCode(), QStringLiteral("AUT"));
        QCOMPARE(proxy.getCity(), QStringLiteral("Vienna"));
        QCOMPARE(proxy.getPort(), quint16(8388));
        QVERIFY(proxy.getPassword().isNull());
        QVERIFY(proxy.getMethod().isNull());
    }
};

QTEST_GUILESS_MAIN(TestSiteStealthProxy)
#include "tst_sitestealthproxy.moc"
