#include "gui/StartupChecks.h"

#include "catalogue/ConnectionParameters.h"
#include "core/GeoLocation.h"
#include "core/TunnelType.h"
#include "prefs/DnsRecoveryPreference.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"

#include "AnsweringMessageBoxFactory.h"
#include "LogCapture.h"
#include "RecordingOsAbstraction.h"
#include "RecordingVpnBackend.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Root may write any file; while this lives the process is held to the
// permission bits, as an ordinary user is. Nothing changes for other users.
class PermissionBitsApply
{
public:
    PermissionBitsApply()
    {
        if (::geteuid() != 0)
            return;
        m_active = ::syscall(SYS_capget, &m_header, m_saved) == 0;
        if (!m_active)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_active = ::syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~PermissionBitsApply()
    {
        if (m_active)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    bool ok() const { return ::geteuid() != 0 || m_active; }

private:
    __user_cap_header_struct m_header {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2] = {};
    bool m_active = false;
};

// Default offers on UDP 1194 and TCP 443.
const QByteArray cipherJson = R"({
  "default": {"supportedCiphers": [
    {"cipher": "AES-256-GCM", "ciphers": ["AES-256-GCM"], "protocol": "UDP", "port": 1194, "default": true},
    {"cipher": "AES-256-GCM", "protocol": "TCP", "port": 443, "auth": "SHA512"}]}
})";

// Dallas twice: the later row is the one a look-up by identifier finds.
const QByteArray fullCatalogue = "USA;Dallas;dallas-udp.conf;dallas-tcp.conf;NO;NO;32.78;-96.80\n"
                                 "DEU;Berlin;berlin-udp.conf;berlin-tcp.conf;NO;NO;52.52;13.40\n"
                                 "AUT;Vienna;vienna-udp.conf;vienna-tcp.conf;NO;NO;48.21;16.37\n"
                                 "JPN;Tokyo;tokyo-udp.conf;tokyo-tcp.conf;NO;NO;35.68;139.69\n"
                                 "USA;Dallas;dallas2-udp.conf;dallas2-tcp.conf;NO;NO;32.78;-96.80\n";

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QStringList withoutBoxLines(const QStringList &lines)
{
    QStringList kept;
    for (const QString &line : lines) {
        if (!line.startsWith(QLatin1String("VyxMessageBox")))
            kept.append(line);
    }
    return kept;
}

} // namespace

class TestStartupChecks : public QObject
{
    Q_OBJECT

    QSharedPointer<AnsweringMessageBoxFactory> m_factory;
    QTemporaryDir m_tmp;
    UserStatistics m_statistics;
    RecordingVpnBackend m_backend;
    RecordingOsAbstraction m_os;

    QString preferencePath() const { return Settings().fileName(); }
    QString configDir() const { return m_tmp.path() + QStringLiteral("/configs"); }

    void installCatalogue(const QByteArray &catalogue)
    {
        QVERIFY(QDir().mkpath(configDir()));
        const QList<QPair<QString, QByteArray>> members {{"configs2.csv", catalogue}, {"config5.json", cipherJson}};
        for (const auto &member : members) {
            QFile file(configDir() + QLatin1Char('/') + member.first);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(member.second);
        }
        QSettings().setValue(QStringLiteral("config/configDir"), configDir());
    }

    QStringList shownTexts() const
    {
        QStringList texts;
        for (const RecordingMessageBoxFactory::Shown &shown : m_factory->shown)
            texts.append(shown.text);
        return texts;
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN-test"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_startupchecks"));
        QVERIFY(m_tmp.isValid());
    }

    void init()
    {
        QSettings().clear();
        QDir(configDir()).removeRecursively();
        m_factory.reset(new AnsweringMessageBoxFactory);
        MessageBoxFactory::setInstance(m_factory);
        m_statistics.clearInternalStatistics();
        m_backend.starts.clear();
    }

    void cleanup()
    {
        MessageBoxFactory::setInstance({});
        // Whatever a test did to the preference file, the next one gets a plain writable file.
        const QString path = preferencePath();
        QDir(path).removeRecursively();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }

    void preferenceFile_data()
    {
        QTest::addColumn<QString>("state"); // writable, read-only, directory
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("log"); // after the "Configfile stored in: " line
        QTest::addColumn<bool>("writableAfter");

        const QString notWritable = QStringLiteral("The config file is not writable!");
        const QString userChecks = QStringLiteral("Default action: the user will check the preference file permission");
        const QString tryRecover = QStringLiteral("Try to recover the preference file writable permission");
        const QStringList askBox {"ask"};
        const QStringList bothBoxes {"ask", StartupChecks::RECOVERY_FAILED_TEXT};

        QTest::newRow("writable") << "writable" << QStringList() << QStringList() << QStringList() << true;
        QTest::newRow("read-only, no") << "read-only" << QStringList {"no"} << askBox
                                       << QStringList {notWritable, userChecks} << false;
        QTest::newRow("read-only, closed")
            << "read-only" << QStringList {"close"} << askBox << QStringList {notWritable, userChecks} << false;
        QTest::newRow("read-only, repaired")
            << "read-only" << QStringList {"yes"} << askBox << QStringList {notWritable, tryRecover} << true;
        QTest::newRow("directory, repair fails")
            << "directory" << QStringList {"yes", "ok"} << bothBoxes << QStringList {notWritable, tryRecover} << false;
        QTest::newRow("directory, no") << "directory" << QStringList {"no"} << askBox
                                       << QStringList {notWritable, userChecks} << false;
    }

    void preferenceFile()
    {
        QFETCH(QString, state);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, log);
        QFETCH(bool, writableAfter);

        const QString path = preferencePath();
        {
            Settings settings;
            settings.setAutoConnectOnStartup(true);
        }
        if (state == QLatin1String("read-only"))
            QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
        if (state == QLatin1String("directory")) {
            QVERIFY(QFile::remove(path));
            QVERIFY(QDir().mkpath(path));
        }
        m_factory->answerWith(answers);

        PermissionBitsApply permissions;
        if (!permissions.ok())
            QSKIP("Cannot drop the permission override of root");
        LogCapture capture;
        StartupChecks(m_statistics).checkIfPreferenceFileIsWritable();
        const QStringList lines = withoutBoxLines(LogCapture::lines());

        QCOMPARE(lines, QStringList {QStringLiteral("Configfile stored in:  ") + quoted(path)} + log);
        const QString askText = StartupChecks::NOT_WRITABLE_TEXT + path;
        QCOMPARE(shownTexts(), boxes.replaceInStrings(QRegularExpression("^ask$"), askText));
        QCOMPARE(Settings().isPreferenceFileWritable(), writableAfter);
        if (state == QLatin1String("read-only"))
            QVERIFY2(Settings().autoConnectOnStartup(), "the stored preferences must survive");
    }

    void preferenceBoxLooks()
    {
        const QString path = preferencePath();
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path));
        m_factory->answerWith({"yes", "ok"});
        StartupChecks(m_statistics).checkIfPreferenceFileIsWritable();

        QCOMPARE(m_factory->shown.size(), 2);
        const RecordingMessageBoxFactory::Shown &ask = m_factory->shown[0];
        QCOMPARE(ask.title, QStringLiteral("OrvalVPN"));
        QCOMPARE(ask.text, QStringLiteral("OrvalVPN is not able to write its preferences.\nPlease check the writable "
                                          "permissions of your config file:\n")
                               + path);
        QCOMPARE(ask.informativeText, QStringLiteral("Do you want OrvalVPN try to fix it?"));
        QCOMPARE(ask.icon, QMessageBox::Question);
        QCOMPARE(ask.buttons, QMessageBox::Yes | QMessageBox::No);
        const RecordingMessageBoxFactory::Shown &failed = m_factory->shown[1];
        QCOMPARE(failed.text, QStringLiteral("The recovery process failed."));
        QCOMPARE(failed.informativeText, QString());
        QCOMPARE(failed.icon, QMessageBox::NoIcon);
        QCOMPARE(failed.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void dnsRecovery_data()
    {
        QTest::addColumn<QStringList>("stack");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("answer"); // empty: no box expected
        QTest::addColumn<bool>("expected");
        QTest::addColumn<int>("storedAfter");
        QTest::addColumn<QStringList>("log");

        const int recover = DnsRecoveryPreference::autoRecover;
        const int forget = DnsRecoveryPreference::forget;
        const int ask = DnsRecoveryPreference::askOnStart;
        const QStringList stack {"beforeConnect", "afterConnect"};
        const QString notEmpty = QStringLiteral("DnsStackList not empty.");
        const QString tryRecover = QStringLiteral("DnsStackList not empty: try to recover the initial state.");
        const QString userRecovers = QStringLiteral("DnsStackList not empty: the user will recover the initial state.");

        for (int choice : {recover, forget, ask})
            QTest::addRow("empty stack, choice %d", choice)
                << QStringList() << choice << QString() << false << choice << QStringList();
        QTest::newRow("auto recover") << stack << recover << QString() << true << recover
                                      << QStringList {"DnsStackList not empty: Dns Auto Recover the initial state."};
        QTest::newRow("auto forget") << stack << forget << QString() << false << forget
                                     << QStringList {"DnsStackList not empty: Dns Auto Forget the Dns State"};
        QTest::newRow("ask: yes") << stack << ask << "yes" << true << ask << QStringList {notEmpty, tryRecover};
        QTest::newRow("ask: yes, saved") << stack << ask << "tick yes" << true << recover
                                         << QStringList {notEmpty, "DnsStackRecover enabled", tryRecover};
        QTest::newRow("ask: no") << stack << ask << "no" << false << ask << QStringList {notEmpty, userRecovers};
        QTest::newRow("ask: no, saved") << stack << ask << "tick no" << false << forget
                                        << QStringList {notEmpty, "DnsStackRecover disabled", userRecovers};
        QTest::newRow("ask: closed") << stack << ask << "close" << false << ask << QStringList {notEmpty, userRecovers};
        QTest::newRow("ask: closed, saved") << stack << ask << "tick close" << false << forget
                                            << QStringList {notEmpty, "DnsStackRecover disabled", userRecovers};
        QTest::newRow("ask: ended without an answer, ticked")
            << stack << ask << "tick reject" << false << ask
            << QStringList {notEmpty,
                            "Default Action: DnsStackList not empty: the user will recover the initial state."};
    }

    void dnsRecovery()
    {
        QFETCH(QStringList, stack);
        QFETCH(int, stored);
        QFETCH(QString, answer);
        QFETCH(bool, expected);
        QFETCH(int, storedAfter);
        QFETCH(QStringList, log);

        {
            Settings settings;
            settings.setDnsStackNames(stack);
            settings.setRecoverDNSStackOnStart(
                DnsRecoveryPreference(static_cast<DnsRecoveryPreference::RecoverDNSSettings>(stored)));
        }
        if (!answer.isEmpty())
            m_factory->answerWith({answer});

        LogCapture capture;
        const bool recover = StartupChecks(m_statistics).dnsStackRecoveryIsNecessary();
        const QStringList lines = withoutBoxLines(LogCapture::lines());

        QCOMPARE(recover, expected);
        QCOMPARE(m_factory->shown.size(), answer.isEmpty() ? 0 : 1);
        QCOMPARE(lines, log);
        Settings after;
        QCOMPARE(int(after.recoverDNSStackOnStart().getRecoverDnsSettingsPreference()), storedAfter);
        QCOMPARE(after.getDnsStackNames(), stack);
    }

    void dnsRecoveryBoxLooks()
    {
        {
            Settings settings;
            settings.setDnsStackNames({"beforeConnect"});
            settings.setRecoverDNSStackOnStart(DnsRecoveryPreference::getDnsRecoveryPreferenceAskOnStart());
        }
        QStringList buttonTexts;
        m_factory->answers.append([&buttonTexts](QDialog &dialog) {
            auto &box = static_cast<QMessageBox &>(dialog);
            buttonTexts << box.button(QMessageBox::Yes)->text() << box.button(QMessageBox::No)->text();
            box.button(QMessageBox::Yes)->click();
        });
        QVERIFY(StartupChecks(m_statistics).dnsStackRecoveryIsNecessary());

        QCOMPARE(m_factory->shown.size(), 1);
        const RecordingMessageBoxFactory::Shown &shown = m_factory->shown[0];
        QCOMPARE(shown.title, QStringLiteral("OrvalVPN"));
        QCOMPARE(shown.text,
                 QStringLiteral("OrvalVPN was shut down unclean.\nDNS configuration was changed and not reset."));
        QCOMPARE(shown.informativeText,
                 QStringLiteral("OrvalVPN should recover to the original DNS state!\n(Closing this "
                                "window will not recover and forget the recovery infomation)"));
        QCOMPARE(shown.icon, QMessageBox::Question);
        QCOMPARE(shown.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(buttonTexts, (QStringList {"Yes, recover DNS", "No, forget recovery infomation"}));
        QCOMPARE(m_factory->checkBoxTexts, QStringList {"Save my decision"});
        QCOMPARE(m_factory->defaultButtons, QStringList {"Yes, recover DNS"});
    }

    void connectAtLaunch_data()
    {
        QTest::addColumn<bool>("autoConnect");
        QTest::addColumn<QString>("catalogue");   // full, empty, none (no valid configuration)
        QTest::addColumn<QString>("defaultSite"); // empty: none stored
        QTest::addColumn<QString>("location");    // "latitude,longitude"; empty: none stored
        QTest::addColumn<QString>("tunnelType");
        QTest::addColumn<QString>("started"); // site started, empty: nothing starts
        QTest::addColumn<QString>("udpFile");
        QTest::addColumn<QString>("logLine"); // expected among the lines; "-": no line at all

        const QString noConfig =
            QStringLiteral("Error: connection at launch interrupted. No valid configuration found.");
        const QString notFound =
            QStringLiteral("Warning: server not found, maybe the server is out of date. Server ID:  ");
        const QString vienna = QStringLiteral("AUT-Vienna");

        QTest::newRow("switched off") << false << "full" << vienna << QString() << "OpenVPN" << QString() << QString()
                                      << "-";
        QTest::newRow("no configuration")
            << true << "none" << vienna << QString() << "OpenVPN" << QString() << QString() << noConfig;
        QTest::newRow("no configuration, switched off")
            << false << "none" << vienna << QString() << "OpenVPN" << QString() << QString() << noConfig;
        QTest::newRow("default site before location") << true << "full" << vienna << "35.0,139.0"
                                                      << "OpenVPN" << vienna << "vienna-udp.conf" << QString();
        QTest::newRow("nearest to the location") << true << "full" << QString() << "52.0,13.0"
                                                 << "OpenVPN"
                                                 << "DEU-Berlin"
                                                 << "berlin-udp.conf" << QString();
        QTest::newRow("nearest, far east") << true << "full" << QString() << "35.0,139.0"
                                           << "OpenVPN"
                                           << "JPN-Tokyo"
                                           << "tokyo-udp.conf" << QString();
        QTest::newRow("neither: fallback, last row of it") << true << "full" << QString() << QString() << "OpenVPN"
                                                           << "USA-Dallas"
                                                           << "dallas2-udp.conf" << QString();
        QTest::newRow("location, empty catalogue: fallback looked up")
            << true << "empty" << QString() << "52.0,13.0"
            << "OpenVPN" << QString() << QString() << notFound + quoted("USA-Dallas");
        QTest::newRow("default site gone from the catalogue")
            << true << "full"
            << "GBR-London" << QString() << "OpenVPN" << QString() << QString() << notFound + quoted("GBR-London");
        QTest::newRow("not OpenVPN") << true << "full" << vienna << QString() << "OpenConnect" << QString() << QString()
                                     << "Can not connect, unknown tunnel type \"OpenConnect\"";
    }

    void connectAtLaunch()
    {
        QFETCH(bool, autoConnect);
        QFETCH(QString, catalogue);
        QFETCH(QString, defaultSite);
        QFETCH(QString, location);
        QFETCH(QString, tunnelType);
        QFETCH(QString, started);
        QFETCH(QString, udpFile);
        QFETCH(QString, logLine);

        if (catalogue != QLatin1String("none"))
            installCatalogue(catalogue == QLatin1String("full") ? fullCatalogue : QByteArray());
        {
            Settings settings;
            settings.setAutoConnectOnStartup(autoConnect);
            if (!defaultSite.isEmpty())
                settings.setDefaultServerSite(defaultSite);
            if (!location.isEmpty())
                settings.setMyLocation(
                    GeoLocation(location.section(',', 0, 0).toDouble(), location.section(',', 1).toDouble()));
            settings.setDefaultTunnelType(TunnelType::fromString(tunnelType));
        }

        LogCapture capture;
        StartupChecks(m_statistics).connectAtLaunchIfNecessary(m_backend, m_os);
        const QStringList lines = LogCapture::lines();

        if (logLine == QLatin1String("-"))
            QCOMPARE(lines, QStringList());
        else if (!logLine.isEmpty())
            QVERIFY2(lines.contains(logLine), qPrintable(lines.join('\n')));
        QVERIFY(m_factory->shown.isEmpty());

        Settings after;
        if (started.isEmpty()) {
            QVERIFY(m_backend.starts.isEmpty());
            QVERIFY(m_statistics.getServerFrecuencyUsage().isEmpty());
            QCOMPARE(after.hasDefaultServerSite(), !defaultSite.isEmpty());
            QCOMPARE(after.hasDefaultOpenVpn243SelectionConfigCipher(), false);
            return;
        }
        QCOMPARE(m_backend.starts.size(), 1);
        const RecordingVpnBackend::Start &start = m_backend.starts[0];
        QVERIFY(start.parameters);
        QCOMPARE(start.parameters->getServerSite().getId(), started);
        QCOMPARE(start.parameters->getServerSite().getUdpConfigFile(), udpFile);
        QVERIFY(start.parameters->getTunnelType() == TunnelType::OPENVPN243());
        QVERIFY(start.user.isEmpty());
        QVERIFY(start.password.isEmpty());
        QCOMPARE(m_statistics.getServerFrecuencyUsage(), (QMap<QString, unsigned int> {{started, 1u}}));
        // The site becomes the default together with the OpenVPN choice it was started with.
        QCOMPARE(after.defaultServerSite(), started);
        QVERIFY(after.hasDefaultOpenVpn243SelectionConfigCipher());
    }

    // The site a start uses carries the address pinned for it in the preferences.
    void startedSiteCarriesItsPinnedAddress()
    {
        installCatalogue(fullCatalogue);
        {
            Settings settings;
            settings.setAutoConnectOnStartup(true);
            settings.setDefaultServerSite(QStringLiteral("DEU-Berlin"));
            settings.setPinnedIP(QStringLiteral("DEU-Berlin"), QHostAddress(QStringLiteral("192.0.2.44")));
            settings.setHasPinnedIP(QStringLiteral("DEU-Berlin"), true);
        }
        StartupChecks(m_statistics).connectAtLaunchIfNecessary(m_backend, m_os);
        QCOMPARE(m_backend.starts.size(), 1);
        const HalvorixServerSite site = m_backend.starts[0].parameters->getServerSite();
        QVERIFY(site.isPinned());
        QCOMPARE(site.getPinnedIp(), QHostAddress(QStringLiteral("192.0.2.44")));
    }
};

QTEST_MAIN(TestStartupChecks)
#include "tst_startupchecks.moc"
