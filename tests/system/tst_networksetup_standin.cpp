#include "NetnsSandbox.h"
#include "system/NetworkSetup.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/mount.h>

// The networksetup queries over the platform stand-in's real output, in a
// network and mount namespace of the test's own with its own resolv.conf.
class TestNetworkSetupStandin : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    NetworkSetup setup{ORVAL_BUNDLE_DIR "/Platform/bin/networksetup"};

private slots:
    void initTestCase()
    {
        NETNS_SANDBOX_OR_SKIP();
        const QString resolvConf = dir.filePath("resolv.conf");
        QFile file(resolvConf);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("search test.example\n"
                   "# networksetup service: orvns0\n"
                   "nameserver 192.0.2.53\n"
                   "nameserver 2001:db8::53\n"
                   "# networksetup end\n");
        file.close();
        QVERIFY(mount(qPrintable(resolvConf), "/etc/resolv.conf", nullptr, MS_BIND, nullptr) == 0);
        QVERIFY(NetnsSandbox::ip("link add orvns0 type veth peer name orvns1"));
        QVERIFY(NetnsSandbox::ip("link set orvns0 up"));
    }

    void listsEveryServiceWithoutStars()
    {
        QStringList services = setup.listAllNetworkServices();
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
        const QStringList services = setup.listAllNetworkServices();
        NetnsSandbox::ip("link del orvtun0");
        QVERIFY2(!services.contains("orvtun0"), qPrintable(services.join(", ")));
        QVERIFY(services.contains("orvns0"));
    }

    void nameServersOfAService()
    {
        QCOMPARE(setup.getDnsServers("orvns0"), QStringList({"192.0.2.53", "2001:db8::53"}));
    }

    void serviceWithoutNameServers()
    {
        QCOMPARE(setup.getDnsServers("orvns1"), QStringList());
    }

    void unknownServiceGivesNoServers()
    {
        QCOMPARE(setup.getDnsServers("orvnone9"), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestNetworkSetupStandin)
#include "tst_networksetup_standin.moc"
