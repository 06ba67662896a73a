#include "Lab.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString USER = QStringLiteral("alice");
// Quotes, a blank and a shell character: the check must compare, not interpret.
const QString PASSWORD = QStringLiteral("it's \"s3cret\" $x");
const QString PUSHED_DNS = QStringLiteral("dhcp-option DNS 198.51.100.1");
} // namespace

// The lab's OpenVPN servers, a UDP and a TCP one side by side, reached by a
// plain engine on the client side: the right password connects, the pushed
// options arrive, the server's tunnel address answers; a wrong password fails.
class TestLabOpenVpn : public QObject
{
    Q_OBJECT

    QTemporaryDir m_pki;
    QProcess m_udpServer;
    QProcess m_tcpServer;
    OpenVpnServerOptions m_udp;
    OpenVpnServerOptions m_tcp;

    QStringList clientArguments(const OpenVpnServerOptions &server, const QString &credentials) const
    {
        return Lab::openVpnClientArguments(m_pki.path(), server)
               + QStringList {"--auth-user-pass", credentials, "--auth-retry", "none"};
    }

private slots:
    void initTestCase()
    {
        LAB_REQUIRE({"openvpn"});
        QVERIFY(m_pki.isValid());
        QVERIFY(Lab::makePki(m_pki.path()));
        for (OpenVpnServerOptions *options : {&m_udp, &m_tcp}) {
            options->user = USER;
            options->password = PASSWORD;
            options->pushes = QStringList {PUSHED_DNS};
        }
        m_udp.protocol = "udp";
        m_udp.port = 1194;
        m_udp.network = "10.8.0.0";
        m_tcp.port = 1195;
        m_tcp.network = "10.8.1.0";
        QVERIFY(Lab::startOpenVpnServer(m_udpServer, m_pki.path(), m_udp));
        QVERIFY(Lab::startOpenVpnServer(m_tcpServer, m_pki.path(), m_tcp));
        QCOMPARE(Lab::tunnelAddress(m_udp), QString("10.8.0.1"));
        QCOMPARE(Lab::tunnelAddress(m_tcp), QString("10.8.1.1"));
    }

    void cleanupTestCase()
    {
        Lab::stop(m_tcpServer);
        Lab::stop(m_udpServer);
    }

    void engineConnectsOnlyWithTheRightPassword_data()
    {
        QTest::addColumn<bool>("overUdp");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("connects");
        QTest::newRow("udp") << true << PASSWORD << true;
        QTest::newRow("tcp") << false << PASSWORD << true;
        QTest::newRow("udp, wrong password") << true << QString("it's \"s3cret\"") << false;
        QTest::newRow("tcp, wrong password") << false << QString("wrong") << false;
    }

    void engineConnectsOnlyWithTheRightPassword()
    {
        QFETCH(bool, overUdp);
        QFETCH(QString, password);
        QFETCH(bool, connects);
        const OpenVpnServerOptions &server = overUdp ? m_udp : m_tcp;
        QFile credentials(m_pki.filePath("credentials"));
        QVERIFY(credentials.open(QIODevice::WriteOnly | QIODevice::Truncate));
        credentials.write((USER + '\n' + password + '\n').toUtf8());
        credentials.close();

        QProcess client;
        client.setProcessChannelMode(QProcess::MergedChannels);
        client.start(Lab::openVpnProgram(), clientArguments(server, credentials.fileName()));
        QByteArray log;
        QTRY_VERIFY_WITH_TIMEOUT((log += client.readAll()).contains("Initialization Sequence Completed")
                                     || client.state() == QProcess::NotRunning,
                                 30000);
        if (!connects) {
            QTRY_COMPARE_WITH_TIMEOUT(client.state(), QProcess::NotRunning, 10000);
            log += client.readAll();
            QVERIFY2(log.contains("AUTH_FAILED"), log.constData());
            QVERIFY(!log.contains("Initialization Sequence Completed"));
            return;
        }
        QVERIFY2(client.state() == QProcess::Running, log.constData());
        QVERIFY2(log.contains(PUSHED_DNS.toUtf8()), log.constData());
        QProcess ping;
        ping.start("ping", {"-c", "1", "-W", "5", Lab::tunnelAddress(server)});
        QVERIFY(ping.waitForFinished(10000));
        const QByteArray pingOutput = ping.readAll();
        Lab::stop(client);
        QVERIFY2(ping.exitCode() == 0, pingOutput.constData());
    }
};

QTEST_GUILESS_MAIN(TestLabOpenVpn)
#include "tst_lab_openvpn.moc"
