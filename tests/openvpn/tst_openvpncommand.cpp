#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "openvpn/OpenVpnCommand.h"
#include "prefs/MtuPreference.h"
#include "prefs/Settings.h"

#include "RecordingOsAbstraction.h"
#include <QHostAddress>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <QtTest>

class TestOpenVpnCommand : public QObject
{
    Q_OBJECT

private:
    OsAbstraction &os() { return m_recordingOs; }
    RecordingOsAbstraction m_recordingOs;

    // Arguments after the fixed head (command, engine, directory, file, port, two flags).
    static QStringList tail(const OpenVpnCommand &command) { return command.getArgumentsMacOSX().mid(7); }

private slots:
    void init() { Settings().clear(); }

    void defaultPreferencesAndNoHandlerChanges()
    {
        OpenVpnCommand command(os(), QFileInfo("/etc/orval/servers/nl1.ovpn"), 40123);
        const QStringList arguments = command.getArgumentsMacOSX();
        QCOMPARE(arguments.mid(0, 7),
                 (QStringList {"OpenVPN", "", "/etc/orval/servers", "nl1.ovpn", "40123", "false", "false"}));
        // No cipher yet: the helper refuses the short list.
        QCOMPARE(tail(command), (QStringList {"direct", "", "1", "false", "0", "1.2", "0"}));
    }

    void handlerChangesAppearInPlace()
    {
        OpenVpnCommand command(os(), QFileInfo("/tmp/a.ovpn"), 1);
        command.enableManagementQueryRemote();
        command.enableManagementUpDown();
        command.setCipher(BackendOpenVPNConfigCipher("AES-256-GCM", 1194, "SHA512", "tc", "", "xormask", "mask", 0));
        command.addRemote(QHostAddress("192.0.2.7"));
        command.addRemote(QHostAddress("2001:db8::1"));
        command.enablePersistTun();
        command.setHttpProxy("10.0.0.1", "8080");
        command.setSocks5Proxy("127.0.0.1", "1080");
        const QStringList arguments = command.getArgumentsMacOSX();
        QCOMPARE(arguments.mid(5, 2), (QStringList {"true", "true"}));
        QCOMPARE(tail(command),
                 (QStringList {"AES-256-GCM", "SHA512", "tc", "", "xormask", "mask", "socks5", "127.0.0.1", "1080",
                               "true", "2", "192.0.2.7", "2001:db8::1", "1.2", "0"}));
        command.disablePersistTun();
        QCOMPARE(tail(command).at(9), QStringLiteral("false"));
    }

    void preferences_data()
    {
        QTest::addColumn<int>("proxySettings");
        QTest::addColumn<int>("proxyProtocol");
        QTest::addColumn<int>("tls");
        QTest::addColumn<QStringList>("proxy");
        QTest::addColumn<QString>("tlsText");
        QTest::newRow("stealth is direct until the launcher replaces it")
            << int(Settings::STEALTH) << int(Settings::HTTP) << int(Settings::TLS_1_2)
            << QStringList {"direct", "", "1"} << "1.2";
        QTest::newRow("custom http") << int(Settings::CUSTOM) << int(Settings::HTTP) << int(Settings::TLS_1_0)
                                     << QStringList {"http", "proxy.lan", "3128"} << "1.0";
        QTest::newRow("custom socks5") << int(Settings::CUSTOM) << int(Settings::SOCKS5) << int(Settings::TLS_1_2)
                                       << QStringList {"socks5", "proxy.lan", "3128"} << "1.2";
    }
    void preferences()
    {
        QFETCH(int, proxySettings);
        QFETCH(int, proxyProtocol);
        QFETCH(int, tls);
        QFETCH(QStringList, proxy);
        QFETCH(QString, tlsText);
        {
            Settings settings;
            settings.setProxySettings(Settings::ProxySettings(proxySettings));
            settings.setProxyProtocol(Settings::ProxyProtocol(proxyProtocol));
            settings.setProxyAddress("proxy.lan");
            settings.setProxyPort("3128");
            settings.setTlsMinimumVersion(Settings::TlsMinimumVersion(tls));
        }
        OpenVpnCommand command(os(), QFileInfo("/tmp/a.ovpn"), 1);
        QCOMPARE(tail(command).mid(0, 3), proxy);
        QCOMPARE(tail(command).at(5), tlsText);
    }

    void mtuChoice()
    {
        const QList<MtuPreference *> choices = MtuPreference::ALLMTUPREFERENCES();
        for (MtuPreference *choice : choices) {
            Settings().setMtuPreference(choice);
            OpenVpnCommand command(os(), QFileInfo("/tmp/a.ovpn"), 1);
            const QString expected = choice->isDefaulMtu() ? "0" : QString::number(choice->getMtu());
            QCOMPARE(tail(command).last(), expected);
        }
    }

    void relativeConfigurationAndExistingEngine()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.path() + "/servers"));
        QDir::setCurrent(dir.path());
        OpenVpnCommand command(os(), QFileInfo("servers/x.ovpn"), 1);
        const QStringList arguments = command.getArgumentsMacOSX();
        QCOMPARE(arguments.at(2), QDir(dir.path() + "/servers").absolutePath());
        QCOMPARE(arguments.at(3), QStringLiteral("x.ovpn"));
        QCOMPARE(command.getProgram(), QCoreApplication::applicationDirPath() + "/../Helpers/Stelvane");
    }

    void simulatorAskedForWithoutOneFailsToStart()
    {
        qputenv("WITH_OPENVPN_SIMULATOR", "true");
        OpenVpnCommand::setSimulatorStarter(nullptr);
        QProcess process;
        QSignalSpy errors(&process, &QProcess::errorOccurred);
        OpenVpnCommand(os(), QFileInfo("/tmp/a.ovpn"), 1).start(process);
        qunsetenv("WITH_OPENVPN_SIMULATOR");
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().first().value<QProcess::ProcessError>(), QProcess::FailedToStart);
        QCOMPARE(process.state(), QProcess::NotRunning);
    }

    void simulatorSelection_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("selected");
        QTest::newRow("true") << QByteArray("true") << true;
        QTest::newRow("mixed case") << QByteArray("TrUe") << true;
        QTest::newRow("one") << QByteArray("1") << false;
        QTest::newRow("yes") << QByteArray("yes") << false;
        QTest::newRow("unset") << QByteArray() << false;
    }
    void simulatorSelection()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, selected);
        if (value.isNull())
            qunsetenv("WITH_OPENVPN_SIMULATOR");
        else
            qputenv("WITH_OPENVPN_SIMULATOR", value);
        QCOMPARE(OpenVpnCommand::simulatorRequested(), selected);
        int simulatorPort = 0;
        OpenVpnCommand::setSimulatorStarter([&](QProcess &, int port, const QByteArray &) { simulatorPort = port; });
        QProcess process;
        OpenVpnCommand(os(), QFileInfo("/tmp/a.ovpn"), 4711).start(process);
        QCOMPARE(simulatorPort, selected ? 4711 : 0);
        if (!selected)
            QVERIFY(process.waitForFinished(5000) || process.state() == QProcess::NotRunning);
        OpenVpnCommand::setSimulatorStarter(nullptr);
        qunsetenv("WITH_OPENVPN_SIMULATOR");
    }
};

QTEST_GUILESS_MAIN(TestOpenVpnCommand)
#include "tst_openvpncommand.moc"
