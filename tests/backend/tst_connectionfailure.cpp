#include "core/ConnectionFailure.h"
#include "openconnect/OpenConnectProgress.h"
#include "openvpn/OpenVpnFailureLog.h"

#include <QtTest>

// What the user reads for each cause the engines report, and which engine
// messages name which cause.
class TestConnectionFailure : public QObject
{
    Q_OBJECT

private slots:
    void describe_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("serverText");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("certificate") << "certificate"
                                     << "UDP 1194"
                                     << ""
                                     << "the server's certificate is not trusted";
        QTest::newRow("no answer, where known") << "no-answer"
                                                << "UDP 1194"
                                                << ""
                                                << "no answer from the server on UDP 1194";
        QTest::newRow("no answer, where unknown") << "no-answer"
                                                  << ""
                                                  << ""
                                                  << "no answer from the server";
        QTest::newRow("refused") << "refused"
                                 << "TCP 443"
                                 << ""
                                 << "the server refused the connection on TCP 443";
        QTest::newRow("state word") << "tls-error"
                                    << ""
                                    << ""
                                    << "the secure channel to the server could not be set up";
        QTest::newRow("outage") << "ping-restart"
                                << ""
                                << ""
                                << "the server stopped answering";
        QTest::newRow("plain refusal") << "auth-failure"
                                       << ""
                                       << ""
                                       << "the server refused the login";
        QTest::newRow("server's reason")
            << "auth-failure"
            << ""
            << "Data channel cipher negotiation failed (no shared cipher)"
            << "the server refused the connection: Data channel cipher negotiation failed (no shared cipher)";
        QTest::newRow("unknown word") << "sigusr1-custom"
                                      << "UDP 1194"
                                      << ""
                                      << "sigusr1-custom";
    }
    void describe()
    {
        QFETCH(QString, cause);
        QFETCH(QString, where);
        QFETCH(QString, serverText);
        QFETCH(QString, sentence);
        const ConnectionFailure failure(cause, where, serverText);
        QCOMPARE(failure.describe(), sentence);
        QCOMPARE(failure.retryText(), "Reconnecting: " + sentence);
        QCOMPARE(failure.stopMessage(), "Could not connect: " + sentence + ".");
    }

    // A server text ending in a full stop does not get a second one.
    void stopMessageEndsOnce()
    {
        QCOMPARE(ConnectionFailure("auth-failure", "", "Account disabled.").stopMessage(),
                 QString("Could not connect: the server refused the connection: Account disabled."));
    }

    void aboutCredentials_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("serverText");
        QTest::addColumn<bool>("aboutCredentials");
        QTest::newRow("plain refusal") << "auth-failure"
                                       << "" << true;
        QTest::newRow("session token") << "auth-failure (auth-token)"
                                       << "" << true;
        QTest::newRow("password named") << "auth-failure"
                                        << "Wrong Password" << true;
        QTest::newRow("user name named") << "auth-failure"
                                         << "unknown username" << true;
        QTest::newRow("challenge") << "auth-failure"
                                   << "CRV1:R,E:Om01u7Fh4LrGBS7uh0SWmzwabUiGiW6l:Y3Ix:Your PIN" << true;
        QTest::newRow("no shared cipher") << "auth-failure"
                                          << "Data channel cipher negotiation failed (no shared cipher)" << false;
        QTest::newRow("account closed") << "auth-failure"
                                        << "Subscription expired" << false;
        // A word that merely contains a credential word is not one.
        QTest::newRow("word inside a word") << "auth-failure"
                                            << "Footprint of the client is banned" << false;
        QTest::newRow("not a refusal") << "tls-error"
                                       << "" << false;
    }
    void aboutCredentials()
    {
        QFETCH(QString, cause);
        QFETCH(QString, serverText);
        QFETCH(bool, aboutCredentials);
        QCOMPARE(ConnectionFailure(cause, QString(), serverText).isAboutCredentials(), aboutCredentials);
    }

    void sameFailure()
    {
        QCOMPARE(ConnectionFailure("no-answer", "UDP 1194"), ConnectionFailure("no-answer", "UDP 1194"));
        QVERIFY(ConnectionFailure("no-answer", "UDP 1194") != ConnectionFailure("no-answer", "TCP 443"));
        QVERIFY(ConnectionFailure("auth-failure", "", "a") != ConnectionFailure("auth-failure", "", "b"));
        QVERIFY(ConnectionFailure().isNull());
    }

    // The engine's own log texts (as it writes them), each with its cause.
    void openVpnLog_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("cause");
        QTest::newRow("chain not trusted")
            << "VERIFY ERROR: depth=1, error=self-signed certificate in certificate chain: CN=Other CA, serial=1"
            << "certificate";
        QTest::newRow("name check") << "VERIFY X509NAME ERROR: CN=server, must be vpn.example"
                                    << "certificate";
        QTest::newRow("library text") << "OpenSSL: error:0A000086:SSL routines::certificate verify failed:"
                                      << "certificate";
        QTest::newRow("udp port closed") << "read UDPv4 [ECONNREFUSED]: Connection refused (fd=3,code=111)"
                                         << "no-answer";
        QTest::newRow("udp host unreachable") << "read UDPv4 [EHOSTUNREACH]: No route to host (fd=3,code=113)"
                                              << "no-answer";
        QTest::newRow("tls deadline")
            << "TLS Error: TLS key negotiation failed to occur within 60 seconds (check your network connectivity)"
            << "no-answer";
        QTest::newRow("tcp refused") << "TCP: connect to [AF_INET]198.51.100.99:443 failed: Connection refused"
                                     << "refused";
        QTest::newRow("tcp no route") << "TCP: connect to [AF_INET]198.51.100.99:443 failed: No route to host"
                                      << "no-answer";
        QTest::newRow("name look-up")
            << "RESOLVE: Cannot resolve host address: vpn.example:1194 (Name or service not known)"
            << "resolve";
        // Lines that only follow the cause, or say nothing of one.
        QTest::newRow("handshake summary") << "TLS Error: TLS handshake failed"
                                           << "";
        QTest::newRow("restart notice") << "SIGUSR1[soft,tls-error] received, process restarting"
                                        << "";
        QTest::newRow("cause quoted later") << "Note: peer said VERIFY ERROR"
                                            << "";
    }
    void openVpnLog()
    {
        QFETCH(QString, message);
        QFETCH(QString, cause);
        const ConnectionFailure failure = OpenVpnFailureLog::fromLogMessage(message, "UDP 1194");
        QCOMPARE(failure.cause(), cause);
        QCOMPARE(failure.where(), cause.isEmpty() ? QString() : QString("UDP 1194"));
    }

    void verificationFailed_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("serverText");
        QTest::newRow("with reason")
            << ">PASSWORD:Verification Failed: 'Auth' ['Data channel cipher negotiation failed (no shared cipher)']"
            << "Data channel cipher negotiation failed (no shared cipher)";
        QTest::newRow("plain") << ">PASSWORD:Verification Failed: 'Auth'"
                               << "";
        QTest::newRow("empty reason") << ">PASSWORD:Verification Failed: 'Auth' ['']"
                                      << "";
        QTest::newRow("unterminated") << ">PASSWORD:Verification Failed: 'Auth' ['half"
                                      << "";
    }
    void verificationFailed()
    {
        QFETCH(QString, line);
        QFETCH(QString, serverText);
        const ConnectionFailure failure = OpenVpnFailureLog::fromVerificationFailed(line);
        QCOMPARE(failure.serverText(), serverText);
        QCOMPARE(failure.cause(), serverText.isEmpty() ? QString() : QString("auth-failure"));
    }

    void where_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<QString>("where");
        QTest::newRow("udp") << "udp"
                             << "UDP 1194";
        QTest::newRow("udp4") << "udp4"
                              << "UDP 1194";
        QTest::newRow("tcp client") << "tcp-client"
                                    << "TCP 1194";
        QTest::newRow("tcp6") << "TCP6"
                              << "TCP 1194";
    }
    void where()
    {
        QFETCH(QString, protocol);
        QFETCH(QString, where);
        QCOMPARE(OpenVpnFailureLog::where(protocol, 1194), where);
    }

    void openConnectProgress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("where");
        QTest::newRow("refused") << "Failed to connect to 198.51.100.7:4443: Connection refused\n"
                                 << "refused"
                                 << "TCP 4443";
        QTest::newRow("no route") << "Failed to connect to 198.51.100.7:4443: No route to host"
                                  << "no-answer"
                                  << "TCP 4443";
        QTest::newRow("ipv6 host") << "Failed to connect to [2001:db8::7]:443: Connection timed out"
                                   << "no-answer"
                                   << "TCP 443";
        QTest::newRow("name look-up") << "getaddrinfo failed for host 'vpn.example': Name or service not known"
                                      << "resolve"
                                      << "";
        QTest::newRow("summary") << "Failed to open HTTPS connection to 198.51.100.7"
                                 << ""
                                 << "";
        QTest::newRow("other reason") << "Failed to connect to 198.51.100.7:4443: Permission denied"
                                      << ""
                                      << "";
    }
    void openConnectProgress()
    {
        QFETCH(QString, text);
        QFETCH(QString, cause);
        QFETCH(QString, where);
        const ConnectionFailure failure = OpenConnectProgress::failureOf(text);
        QCOMPARE(failure.cause(), cause);
        QCOMPARE(failure.where(), where);
        QVERIFY(OpenConnectProgress::isErrorText(text.trimmed()));
    }
};

QTEST_GUILESS_MAIN(TestConnectionFailure)
#include "tst_connectionfailure.moc"
