#include "NetnsSandbox.h"
#include "system/NetworkSetup.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/mount.h>

// The networksetup queries over the platform stand-in's real output, in a
// network and mount namespace of the test's own with its own resolv.conf.
class TestNetworkSetupStandin : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    NetworkSetup m_setup {ORVAL_BUNDLE_DIR "/Platform/bin/networksetup"};

    QString resolvConf() const { return m_dir.filePath("resolv.conf"); }

    // Rewrites the file in place: the bind mount over /etc/resolv.conf stays.
    bool writeResolvConf(const QByteArray &content) const
    {
        QFile file(resolvConf());
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
    }

    QByteArray readResolvConf() const
    {
        QFile file(resolvConf());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The name servers the resolver uses: the active "nameserver" lines.
    QStringList activeNameServers() const
    {
        QStringList servers;
        for (const QByteArray &line : readResolvConf().split('\n')) {
            const QList<QByteArray> words = line.simplified().split(' ');
            if (words.size() >= 2 && words.first() == "nameserver")
                servers << QString::fromLatin1(words.at(1));
        }
        return servers;
    }

    static bool setDnsServers(const QStringList &arguments)
    {
        QProcess process;
        process.start(ORVAL_BUNDLE_DIR "/Platform/bin/networksetup", QStringList {"-setdnsservers"} + arguments);
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit
               && process.exitCode() == 0;
    }

private slots:
    void initTestCase()
    {
        NETNS_SANDBOX_OR_SKIP();
        QVERIFY(writeResolvConf("search test.example\n"
                                "# networksetup service: orvns0\n"
                                "nameserver 192.0.2.53\n"
                                "nameserver 2001:db8::53\n"
                                "# networksetup end\n"));
        QVERIFY(mount(qPrintable(resolvConf()), "/etc/resolv.conf", nullptr, MS_BIND, nullptr) == 0);
        QVERIFY(NetnsSandbox::ip("link add orvns0 type veth peer name orvns1"));
        QVERIFY(NetnsSandbox::ip("link set orvns0 up"));
    }

    void listsEveryServiceWithoutStars()
    {
        QStringList services = m_setup.listAllNetworkServices();
        services.sort();
        QCOMPARE(services, QStringList({"orvns0", "orvns1"}));
    }

    // A tunnel device is no service: name servers set on it would outlive it.
    void tunnelDeviceIsNoService()
    {
        if (!QFile::exists("/dev/net/tun"))
            QSKIP("needs /dev/net/tun");
        QVERIFY(NetnsSandbox::ip("tuntap add orvtun0 mode tun"));
        QVERIFY(NetnsSandbox::ip("link set orvtun0 up"));
        const QStringList services = m_setup.listAllNetworkServices();
        NetnsSandbox::ip("link del orvtun0");
        QVERIFY2(!services.contains("orvtun0"), qPrintable(services.join(", ")));
        QVERIFY(services.contains("orvns0"));
    }

    void nameServersOfAService()
    {
        QCOMPARE(m_setup.getDnsServers("orvns0"), QStringList({"192.0.2.53", "2001:db8::53"}));
    }

    void serviceWithoutNameServers() { QCOMPARE(m_setup.getDnsServers("orvns1"), QStringList()); }

    void unknownServiceGivesNoServers() { QCOMPARE(m_setup.getDnsServers("orvnone9"), QStringList()); }

    // Setting a service's name servers replaces those of the namespace's own
    // file (on macOS, the service's own): while set, a look-up asks no other
    // server. The file's other settings stay; clearing brings it back as it was.
    void setServersReplaceTheOriginalOnes_data()
    {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("one server") << QByteArray("nameserver 198.51.100.1\n") << QStringList();
        QTest::newRow("search and options stay")
            << QByteArray("# made by hand\nsearch test.example\nnameserver 198.51.100.1\nnameserver 2001:db8::1\n"
                          "options ndots:2\n")
            << QStringList {"search test.example", "options ndots:2"};
        QTest::newRow("no final line feed")
            << QByteArray("nameserver 198.51.100.1\nsearch a.example") << QStringList {"search a.example"};
        QTest::newRow("blank lines and carriage returns")
            << QByteArray("\n\nnameserver 198.51.100.1\r\n\t nameserver\t198.51.100.2\n\n") << QStringList();
        QTest::newRow("empty file") << QByteArray() << QStringList();
    }

    void setServersReplaceTheOriginalOnes()
    {
        QFETCH(QByteArray, original);
        QFETCH(QStringList, kept);
        QVERIFY(writeResolvConf(original));

        QVERIFY(setDnsServers({"orvns0", "192.0.2.53", "2001:db8::53"}));
        QCOMPARE(activeNameServers(), QStringList({"192.0.2.53", "2001:db8::53"}));
        QCOMPARE(m_setup.getDnsServers("orvns0"), QStringList({"192.0.2.53", "2001:db8::53"}));
        const QList<QByteArray> lines = readResolvConf().split('\n');
        for (const QString &line : kept)
            QVERIFY2(lines.contains(line.toUtf8()), readResolvConf().constData());

        // A second service adds its servers; setting the first again replaces only its own.
        QVERIFY(setDnsServers({"orvns1", "192.0.2.54"}));
        QVERIFY(setDnsServers({"orvns0", "192.0.2.55"}));
        QCOMPARE(activeNameServers(), QStringList({"192.0.2.55", "192.0.2.54"}));
        QCOMPARE(m_setup.getDnsServers("orvns1"), QStringList {"192.0.2.54"});

        QVERIFY(setDnsServers({"orvns0", "empty"}));
        QCOMPARE(activeNameServers(), QStringList {"192.0.2.54"});
        QVERIFY(setDnsServers({"orvns1", "empty"}));
        QCOMPARE(readResolvConf(), original);
        QCOMPARE(m_setup.getDnsServers("orvns0"), QStringList());
    }

    // A refused change leaves the file as it was.
    void badServerChangesNothing()
    {
        const QByteArray original("nameserver 198.51.100.1\n");
        QVERIFY(writeResolvConf(original));
        QVERIFY(!setDnsServers({"orvns0", "192.0.2.53", "192.0.2.300"}));
        QVERIFY(!setDnsServers({"orvnone9", "192.0.2.53"}));
        QCOMPARE(readResolvConf(), original);
    }
};

QTEST_GUILESS_MAIN(TestNetworkSetupStandin)
#include "tst_networksetup_standin.moc"
