#include "RecordingOsAbstraction.h"
#include "RecordingVpnBackend.h"
#include "Screenshot.h"
#include "gui/StyleSheet.h"
#include "gui/settings/DnsListDialog.h"
#include "gui/settings/DnsListEntryDialog.h"
#include "gui/settings/InternetKillSwitchInterfacesDialog.h"
#include "gui/settings/ServerSiteEntryDialog.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/settings/SystemNameServerSettingDialog.h"
#include "prefs/Settings.h"
#include "ui_SettingsWidget.h"

#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

// Pictures of the settings form's tabs and of the small settings dialogs, for
// a person to look at; nothing is compared.
class TestSettingsScreenshots : public QObject
{
    Q_OBJECT

    QTemporaryDir m_configDir;

    void shoot(QWidget &window, const QString &name)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!Screenshot::saveWidget(window, name).isEmpty());
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        QVERIFY(m_configDir.isValid());
        QFile config(m_configDir.filePath(QStringLiteral("config5.json")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(R"({ "default": { "supportedCiphers": [
            { "cipher": "AES-128-GCM", "ciphers": ["AES-128-GCM"], "protocol": "UDP", "port": 1194 },
            { "cipher": "AES-256-CBC", "ciphers": ["AES-256-CBC"], "protocol": "TCP", "port": 443 } ] } })");
        config.close();
        QSettings().setValue(QStringLiteral("config/configDir"), m_configDir.path());
    }

    void settingsTabs()
    {
        QWidget form;
        Ui_SettingsWidget ui;
        ui.setupUi(&form);
        // As the settings widget shows it.
        form.setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/settingswidget.qss")));
        for (int i = 0; i < ui.tabWidget->count(); ++i) {
            ui.tabWidget->setCurrentIndex(i);
            shoot(form, QStringLiteral("settings-tab-%1-%2").arg(i).arg(ui.tabWidget->widget(i)->objectName()));
        }
    }

    // The dialog as the user opens it, loaded from the preferences.
    void settingsDialogTabs()
    {
        {
            Settings settings;
            settings.setProcessKillList({QStringLiteral("Mail"), QStringLiteral("firefox")});
            settings.setPathToBeforeConnectScript(QStringLiteral("/opt/scripts/before.sh"));
            settings.setProxySettings(Settings::CUSTOM);
            settings.setProxyAddress(QStringLiteral("198.51.100.1"));
            settings.setProxyPort(QStringLiteral("8888"));
        }
        RecordingOsAbstraction os;
        os.autostart = true;
        RecordingVpnBackend backend;
        const QList<StealthProxy> proxies {StealthProxy(QStringLiteral("nl"), QStringLiteral("Amsterdam"),
                                                        QStringLiteral("198.51.100.10"), QStringLiteral("8388"),
                                                        QStringLiteral("secret"), QStringLiteral("aes-256-gcm"))};
        SettingsDialog dialog(nullptr, proxies, os, backend, false, true, false);
        QTabWidget *tabs = dialog.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            shoot(dialog, QStringLiteral("settings-dialog-%1-%2").arg(i).arg(tabs->widget(i)->objectName()));
        }
    }

    void dnsListDialog()
    {
        DnsList list({DnsListEntry(QStringLiteral("Office"), QHostAddress(QStringLiteral("10.0.0.1")),
                                   QHostAddress(QStringLiteral("10.0.0.2")), true)});
        list.addHardCodedEntries();
        DnsListDialog dialog(list, {});
        shoot(dialog, QStringLiteral("dns-list-dialog"));
    }

    void dnsListEntryDialog()
    {
        // The widest addresses, to show that the address fields fit them.
        DnsListEntryDialog dialog;
        dialog.setListEntryToEdit({}, DnsListEntry(QStringLiteral("Office"),
                                                   QHostAddress(QStringLiteral("208.167.222.222")),
                                                   QHostAddress(QStringLiteral("255.255.255.254")), true));
        shoot(dialog, QStringLiteral("dns-list-entry-dialog"));
    }

    void serverSiteEntryDialog()
    {
        ServerSiteEntryDialog dialog;
        dialog.findChild<QLineEdit *>(QStringLiteral("serverSitesDedicatedIpAddress"))
            ->setText(QStringLiteral("203.113.200.254"));
        shoot(dialog, QStringLiteral("server-site-entry-dialog"));
    }

    void systemNameServerDialog()
    {
        DnsList list;
        list.addHardCodedEntries();
        SystemNameServerSettingDialog dialog(nullptr, list);
        shoot(dialog, QStringLiteral("system-name-server-dialog"));
    }

    void killSwitchInterfacesDialog()
    {
        InternetKillSwitchInterfacesDialog dialog({NetworkInterface(QStringLiteral("Wi-Fi")),
                                                   NetworkInterface(QStringLiteral("Ethernet")),
                                                   NetworkInterface(QStringLiteral("Thunderbolt Bridge"))},
                                                  {NetworkInterface(QStringLiteral("Wi-Fi"))});
        shoot(dialog, QStringLiteral("kill-switch-interfaces-dialog"));
    }
};

QTEST_MAIN(TestSettingsScreenshots)
#include "tst_settingsscreenshots.moc"
