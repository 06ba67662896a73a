#include "openconnect/OpenConnectLineBuffer.h"
#include "openconnect/OpenConnectProgress.h"

#include <QTest>

class TestOpenConnectProgress : public QObject
{
    Q_OBJECT

private slots:
    void lineFraming()
    {
        OpenConnectLineBuffer buffer;
        QCOMPARE(buffer.append("CSTP con"), QList<QByteArray>());
        QCOMPARE(buffer.append("nected\n  second \r\n\nthird"), QList<QByteArray>({"CSTP connected", "second", ""}));
        QCOMPARE(buffer.append("\n"), QList<QByteArray>({"third"}));
    }

    void overlongLineIsDroppedAndTheStreamRecovers()
    {
        OpenConnectLineBuffer buffer;
        const QByteArray chunk(OpenConnectLineBuffer::MAX_LINE_LENGTH / 4, 'a');
        for (int i = 0; i < 8; ++i)
            QVERIFY(buffer.append(chunk).isEmpty());
        QCOMPARE(buffer.droppedLines(), 1);
        QCOMPARE(buffer.append("tail\nnext\n"), QList<QByteArray>({"next"}));
        const QByteArray exact(OpenConnectLineBuffer::MAX_LINE_LENGTH, 'b');
        QCOMPARE(buffer.append(exact + "\n"), QList<QByteArray>({exact}));
        QCOMPARE(buffer.droppedLines(), 1);
    }

    void progressText_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QByteArray(">VPNINFO_PROGRESS CSTP connected") << "CSTP connected";
        QTest::newRow("nul ends it") << QByteArray(">VPNINFO_PROGRESS abc\0def", 25) << "abc";
        QTest::newRow("latin-1") << QByteArray(">VPNINFO_PROGRESS caf\xe9") << QString("caf") + QChar(0xE9);
        QTest::newRow("keyword only") << QByteArray(">VPNINFO_PROGRESS") << "";
    }

    void progressText()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, text);
        QCOMPARE(OpenConnectProgress::progressText(line), text);
    }

    void cipherSuite_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("cipher");
        QTest::newRow("TLS 1.2") << "CSTP Ciphersuite: (TLS1.2)-(ECDHE-RSA-SECP256R1)-(AES-256-GCM)" << true
                                 << "TLSv1.2"
                                 << "ECDHE-AES-256-GCM";
        QTest::newRow("TLS 1.3 with signature group")
            << "CSTP Ciphersuite: (TLS1.3)-(ECDHE-SECP256R1)-(RSA-PSS-RSAE-SHA256)-(AES-256-GCM)" << true << "TLSv1.3"
            << "ECDHE-AES-256-GCM";
        QTest::newRow("chacha") << "CSTP Ciphersuite: (TLS1.2)-(ECDHE-X25519)-(CHACHA20-POLY1305) " << true << "TLSv1.2"
                                << "ECDHE-CHACHA20-POLY1305";
        QTest::newRow("too few groups") << "CSTP Ciphersuite: (TLS1.2)-(AES-256-GCM)" << false << ""
                                        << "";
        QTest::newRow("no groups") << "CSTP Ciphersuite: TLS1.2-ECDHE-AES" << false << ""
                                   << "";
        QTest::newRow("empty") << "CSTP Ciphersuite:" << false << ""
                               << "";
    }

    void cipherSuite()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QString, version);
        QFETCH(QString, cipher);
        const OpenConnectProgress::Cipher parsed = OpenConnectProgress::parseCipherSuite(text);
        QCOMPARE(parsed.valid, valid);
        QCOMPARE(parsed.tlsVersion, version);
        QCOMPARE(parsed.cipher, cipher);
    }

    void localAddress_data()
    {
        QTest::addColumn<QString>("rest");
        QTest::addColumn<QString>("address");
        QTest::newRow("engine form") << "198.18.0.2, using SSL"
                                     << "198.18.0.2";
        QTest::newRow("with ipv6") << "198.18.0.2 + fd00::2, using SSL, with DTLS"
                                   << "198.18.0.2";
        QTest::newRow("alone") << "198.18.0.2"
                               << "198.18.0.2";
        QTest::newRow("leading space") << "  10.0.0.1 ,x"
                                       << "10.0.0.1";
        QTest::newRow("empty") << ""
                               << "";
    }

    void localAddress()
    {
        QFETCH(QString, rest);
        QFETCH(QString, address);
        QCOMPARE(OpenConnectProgress::parseLocalAddress(rest), address);
    }

    void byteCounts_data()
    {
        QTest::addColumn<QString>("rest");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<quint64>("received");
        QTest::addColumn<quint64>("sent");
        QTest::newRow("spaced") << "12, 34" << true << quint64(12) << quint64(34);
        QTest::newRow("not a number") << "x,34" << true << quint64(0) << quint64(34);
        QTest::newRow("large") << "18446744073709551615,1" << true << quint64(18446744073709551615ULL) << quint64(1);
        QTest::newRow("one field") << "12" << false << quint64(0) << quint64(0);
        QTest::newRow("extra field") << "1,2,3" << true << quint64(1) << quint64(2);
    }

    void byteCounts()
    {
        QFETCH(QString, rest);
        QFETCH(bool, valid);
        QFETCH(quint64, received);
        QFETCH(quint64, sent);
        const OpenConnectProgress::Counters counters = OpenConnectProgress::parseByteCounts(rest);
        QCOMPARE(counters.valid, valid);
        QCOMPARE(counters.received, received);
        QCOMPARE(counters.sent, sent);
    }

    void errorTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("error");
        QTest::newRow("failed to") << "Failed to open HTTPS connection" << true;
        QTest::newRow("failed to reconnect") << "Failed to reconnect to host x" << false;
        QTest::newRow("permission") << "Permission denied" << true;
        QTest::newRow("not permitted") << "Operation not permitted" << true;
        QTest::newRow("unknown") << "Unknown error" << true;
        QTest::newRow("reconnect failed") << "Reconnect failed" << true;
        QTest::newRow("case matters") << "failed to x" << false;
        QTest::newRow("other") << "Got CONNECT response" << false;
    }

    void errorTexts()
    {
        QFETCH(QString, text);
        QFETCH(bool, error);
        QCOMPARE(OpenConnectProgress::isErrorText(text), error);
    }
};

QTEST_GUILESS_MAIN(TestOpenConnectProgress)
#include "tst_openconnect_progress.moc"
