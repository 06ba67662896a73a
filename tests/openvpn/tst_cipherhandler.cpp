#include "RecordingOsAbstraction.h"
#include "backend/CipherHandler.h"
#include "backend/OpenVpnConfigTls.h"
#include "core/VpnStateTracker.h"
#include "openvpn/OpenVpnCommand.h"
#include "openvpn/Remote.h"

#include <QtTest>

class RecordingStateTracker : public VpnStateTracker
{
public:
    void updateState(const QString &, const QString &, const QString &, const QString &) override {}
    void tlsCipherChanged(bool isPfs, const QString &tlsVersion, const QString &cipherInfo) override
    {
        reports << QStringLiteral("%1 %2 %3").arg(isPfs ? "pfs" : "no-pfs", tlsVersion, cipherInfo).trimmed();
    }
    void updateFailure(const ConnectionFailure &) override {}
    void clearDetectedPublicIp() override {}
    void updatedDetectedPublicIp(VpnConnectionState::PublicIpDetectionState, QHostAddress, int) override {}

    QStringList reports;
};

class TestCipherHandler : public QObject
{
    Q_OBJECT

    static BackendOpenVPNConfigCipher cipher(int port = 443)
    {
        return BackendOpenVPNConfigCipher("AES-256-GCM", port, "SHA256", "", "", "", "", 0);
    }

private slots:
    void controlChannelReport_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QString>("tls");
        QTest::addColumn<QString>("cipherText");
        QTest::addColumn<QString>("report");
        const int ovpn = CipherHandler::OPENVPN;
        const int oc = CipherHandler::OPENCONNECT;
        QTest::newRow("openvpn ecdhe") << ovpn << "TLSv1.2"
                                       << "ECDHE-RSA-AES256-GCM-SHA384"
                                       << "pfs v1.2";
        QTest::newRow("openvpn static rsa") << ovpn << "TLSv1.2"
                                            << "AES256-SHA"
                                            << "no-pfs v1.2";
        QTest::newRow("openvpn lower-case dhe") << ovpn << "TLSv1.2"
                                                << "dhe-RSA-AES256-SHA"
                                                << "no-pfs v1.2";
        QTest::newRow("openvpn tls 1.3 suite") << ovpn << "TLSv1.3"
                                               << "TLS_AES_256_GCM_SHA384"
                                               << "pfs v1.3";
        QTest::newRow("ssl version") << ovpn << "SSLv3"
                                     << "AES256-SHA"
                                     << "no-pfs n/a";
        QTest::newRow("openconnect dhe") << oc << "TLSv1.2"
                                         << "DHE-RSA-AES128-SHA"
                                         << "pfs v1.2 RSA-AES128-SHA";
        QTest::newRow("openconnect ecdhe") << oc << "TLSv1.2"
                                           << "ECDHE-ECDSA-AES256-GCM-SHA384"
                                           << "pfs v1.2 ECDSA-AES256-GCM-SHA384";
        QTest::newRow("openconnect plain") << oc << "TLSv1.2"
                                           << "AES128-SHA"
                                           << "no-pfs v1.2";
        QTest::newRow("openconnect tls 1.3") << oc << "TLSv1.3"
                                             << "AES_256_GCM"
                                             << "pfs v1.3";
    }
    void controlChannelReport()
    {
        QFETCH(int, protocol);
        QFETCH(QString, tls);
        QFETCH(QString, cipherText);
        QFETCH(QString, report);
        RecordingStateTracker tracker;
        CipherHandler handler(cipher(), tracker, protocol);
        handler.onControlChannel(tls, cipherText);
        QCOMPARE(tracker.reports, QStringList {report});
    }

    void unexpectedProtocolReportsNothing()
    {
        RecordingStateTracker tracker;
        CipherHandler handler(cipher(), tracker, 7);
        handler.onControlChannel("TLSv1.2", "ECDHE-RSA-AES256-GCM-SHA384");
        QVERIFY(tracker.reports.isEmpty());
    }

    void connectingAndReconnectingReset()
    {
        RecordingStateTracker tracker;
        CipherHandler handler(cipher(), tracker, CipherHandler::OPENVPN);
        handler.onState(OpenVpnStateConnecting(OpenVpnGenericState("CONNECTING", OpenVpnState::CONNECTING)));
        handler.onControlChannel("TLSv1.2", "ECDHE-RSA-AES256-GCM-SHA384");
        handler.onState(OpenVpnStateReconnecting("ping-restart"));
        handler.onState(OpenVpnStateConnected("SUCCESS", "10.8.0.6", "192.0.2.1"));
        QCOMPARE(tracker.reports, (QStringList {"no-pfs n/a", "pfs v1.2", "no-pfs n/a"}));
    }

    void remotePortFollowsAValidCipher_data()
    {
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("cipherPort");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("modified");
        QTest::newRow("other port") << true << 443 << 443 << true;
        QTest::newRow("same port") << true << 1194 << 1194 << false;
        QTest::newRow("invalid cipher") << false << 443 << 1194 << false;
    }
    void remotePortFollowsAValidCipher()
    {
        QFETCH(bool, valid);
        QFETCH(int, cipherPort);
        RecordingStateTracker tracker;
        CipherHandler handler(valid ? cipher(cipherPort) : BackendOpenVPNConfigCipher(), tracker,
                              CipherHandler::OPENVPN);
        Remote remote("vpn.example.net", 1194, "udp");
        handler.onRemote(remote);
        QTEST(remote.getPort(), "port");
        QTEST(remote.isModified(), "modified");
    }

    void preparedCommandCarriesTheCipherAndTheRemoteQuery()
    {
        RecordingStateTracker tracker;
        RecordingOsAbstraction os;
        CipherHandler handler(cipher(), tracker, CipherHandler::OPENVPN);
        OpenVpnCommand command(os, QFileInfo("/tmp/a.ovpn"), 1);
        handler.onOpenVpnPrepareArguments(command);
        const QStringList arguments = command.getArgumentsMacOSX();
        QCOMPARE(arguments.at(5), QStringLiteral("true"));
        QCOMPARE(arguments.mid(7, 6), (QStringList {"AES-256-GCM", "SHA256", "", "", "", ""}));
    }

    void tlsVersionText_data()
    {
        QTest::addColumn<QString>("tls");
        QTest::addColumn<QString>("version");
        QTest::newRow("1.2") << "TLSv1.2"
                             << "v1.2";
        QTest::newRow("empty") << ""
                               << "n/a";
        QTest::newRow("lower case") << "tlsv1.2"
                                    << "n/a";
    }
    void tlsVersionText()
    {
        QFETCH(QString, tls);
        QTEST(OpenVpnConfigTls(tls).getTlsVersion(), "version");
    }
};

QTEST_GUILESS_MAIN(TestCipherHandler)
#include "tst_cipherhandler.moc"
