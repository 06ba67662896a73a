#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

// The bundle's stealth-transport programs print the lines the transports wait for.
class TestTransportPrograms : public QObject
{
    Q_OBJECT

    static QByteArray runUntil(const QString &program, const QStringList &arguments, const QByteArray &expected)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral(ORVAL_HELPERS_DIR "/") + program, arguments);
        if (!process.waitForStarted(10000))
            return "did not start";
        QByteArray output;
        while (!output.contains(expected) && process.waitForReadyRead(10000))
            output += process.readAll();
        process.kill();
        process.waitForFinished(5000);
        return output;
    }

    static quint16 freePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return probe.serverPort();
    }

private slots:
    void stunnelAcceptsTheClientConfiguration()
    {
        QTemporaryDir dir;
        QFile config(dir.filePath("STunnel.conf"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("syslog = no\npid =\nforeground = yes\n[openvpn]\nclient = yes\n"
                                    "accept = 127.0.0.1:%1\nconnect = 127.0.0.1:%2\n")
                         .arg(freePort())
                         .arg(freePort())
                         .toUtf8());
        config.close();
        const QByteArray output = runUntil("stunnel", {config.fileName()}, "Configuration successful");
        QVERIFY2(output.contains("Configuration successful"), output.constData());
        QVERIFY2(!output.contains('!'), output.constData());
    }

    void shadowsocksClientReportsListening()
    {
        const QByteArray output =
            runUntil("ss-local",
                     {"-s", "127.0.0.1", "-p", QString::number(freePort()), "-l", QString::number(freePort()), "-k",
                      "secret", "-m", "chacha20-ietf-poly1305", "-b", "127.0.0.1"},
                     "listening");
        QVERIFY2(output.contains("listening"), output.constData());
    }
};

QTEST_GUILESS_MAIN(TestTransportPrograms)
#include "tst_transport_programs.moc"
