#include "../BuiltInCatalogue.h"
#include "../MainWindowServices.h"
#include "ModalAnswer.h"
#include "Screenshot.h"

#include "gui/ApplicationTranslation.h"
#include "gui/MessageBoxOrvalVPN.h"
#include "gui/StyleOrvalVpn.h"
#include "gui/StyleSheet.h"
#include "prefs/MtuPreference.h"
#include "prefs/Settings.h"
#include "ui_SettingsWidget.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTranslator>

#include <functional>

// Pictures of the settings form's tabs and of the small settings dialogs, for
// a person to look at; nothing is compared. The dialogs are opened as the
// product opens them: the preferences from the main window's menu, with the
// run's message boxes, translation and styles installed, and the small
// dialogs from the buttons of the settings form.
class TestSettingsScreenshots : public QObject
{
    Q_OBJECT

    QTranslator m_translator;
    QScopedPointer<MainWindowServices> m_services;

    static void shoot(QWidget &window, const QString &name)
    {
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!Screenshot::saveWidget(window, name).isEmpty());
    }

    template<typename T>
    static T &child(QWidget &parent, const char *name)
    {
        T *found = parent.findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("No %s named %s", T::staticMetaObject.className(), name);
        return *found;
    }

    // Opens the preferences from the main window, runs act while they are up
    // and cancels them.
    void withPreferences(const std::function<void(QDialog &)> &act)
    {
        bool acted = false;
        whenModal([&acted, act](QWidget &modal) {
            auto &dialog = static_cast<QDialog &>(modal);
            act(dialog);
            acted = true;
            dialog.reject();
        });
        m_services->window->findChild<QAction *>(QStringLiteral("actionPreferences"))->trigger();
        QVERIFY(acted);
    }

    // Clicks the button that opens a small dialog, runs act on that dialog
    // and cancels it.
    static void withDialogOf(QAbstractButton &opener, const std::function<void(QDialog &)> &act)
    {
        whenModal([act](QWidget &modal) {
            auto &dialog = static_cast<QDialog &>(modal);
            act(dialog);
            dialog.reject();
        });
        opener.click();
    }

    static void showTab(QDialog &dialog, const char *page)
    {
        auto &tabs = child<QTabWidget>(dialog, "tabWidget");
        tabs.setCurrentWidget(&child<QWidget>(tabs, page));
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        QVERIFY(BuiltInCatalogue::install());
        // What the GUI run installs before its first window.
        MessageBoxFactory::setInstance(QSharedPointer<MessageBoxOrvalVPN>::create());
        QVERIFY(ApplicationTranslation::install(m_translator));
        ServerListWidgetStyle::setInstance(QSharedPointer<StyleOrvalVpn>::create());
        {
            Settings settings;
            settings.setProcessKillList({QStringLiteral("Mail"), QStringLiteral("firefox")});
            settings.setPathToBeforeConnectScript(QStringLiteral("/opt/scripts/before.sh"));
            settings.setProxySettings(Settings::CUSTOM);
            settings.setProxyAddress(QStringLiteral("198.51.100.1"));
            settings.setProxyPort(QStringLiteral("8888"));
            settings.setInternetKillSwitch(true);
            settings.setDefaultServerSite(QStringLiteral("CHE-Zurich"));
        }
        m_services.reset(new MainWindowServices);
        m_services->os.autostart = true;
        m_services->os.networkInterfaces = {NetworkInterface(QStringLiteral("Wi-Fi")),
                                            NetworkInterface(QStringLiteral("Ethernet")),
                                            NetworkInterface(QStringLiteral("Thunderbolt Bridge"))};
        m_services->create().show();
        QVERIFY(QTest::qWaitForWindowExposed(m_services->window.data()));
    }

    void cleanupTestCase()
    {
        m_services.reset();
        ServerListWidgetStyle::setInstance({});
        MessageBoxFactory::setInstance({});
    }

    // The bare form as designed, under its own style sheet.
    void settingsTabs()
    {
        QWidget form;
        Ui_SettingsWidget ui;
        form.setStyleSheet(StyleSheet::fromResource(QStringLiteral(":/resources/settingswidget.qss")));
        ui.setupUi(&form);
        for (int i = 0; i < ui.tabWidget->count(); ++i) {
            ui.tabWidget->setCurrentIndex(i);
            form.show();
            shoot(form, QStringLiteral("settings-tab-%1-%2").arg(i).arg(ui.tabWidget->widget(i)->objectName()));
        }
    }

    // Every tab of the preferences opened from the main window.
    void settingsDialogTabs()
    {
        withPreferences([](QDialog &dialog) {
            auto &tabs = child<QTabWidget>(dialog, "tabWidget");
            for (int i = 0; i < tabs.count(); ++i) {
                tabs.setCurrentIndex(i);
                shoot(dialog, QStringLiteral("settings-dialog-%1-%2").arg(i).arg(tabs.widget(i)->objectName()));
            }
        });
    }

    // Each refused value of the form, with the line that says why.
    void settingsRefusals()
    {
        withPreferences([](QDialog &dialog) {
            showTab(dialog, "network");
            auto &mtu = child<QComboBox>(dialog, "mtuComboBox");
            mtu.setCurrentIndex(MtuPreference::ALLMTUPREFERENCES().indexOf(MtuPreference::CUSTOM_MTUPREFERENCE()));
            child<QLineEdit>(dialog, "mtuLineEdit").setText(QStringLiteral("70000"));
            shoot(dialog, QStringLiteral("refused-mtu"));
            mtu.setCurrentIndex(0);

            showTab(dialog, "proxy");
            child<QLineEdit>(dialog, "proxyPort").setText(QStringLiteral("0"));
            shoot(dialog, QStringLiteral("refused-proxy-port"));
            child<QLineEdit>(dialog, "proxyAddress").setText(QStringLiteral("198.51.100."));
            shoot(dialog, QStringLiteral("refused-proxy-address-and-port"));
            child<QLineEdit>(dialog, "proxyPort").setText(QStringLiteral("8888"));
            child<QLineEdit>(dialog, "proxyAddress").clear();
            shoot(dialog, QStringLiteral("refused-proxy-address-empty"));
        });
    }

    void dnsListDialogs()
    {
        withPreferences([](QDialog &settings) {
            showTab(settings, "network");
            withDialogOf(child<QPushButton>(settings, "dnsListWidget"), [](QDialog &list) {
                shoot(list, QStringLiteral("dns-list-dialog"));
                withDialogOf(child<QPushButton>(list, "customDNSListAdd"), [](QDialog &entry) {
                    // The widest addresses, to show that the address fields fit them.
                    child<QLineEdit>(entry, "nameNS").setText(QStringLiteral("Office"));
                    child<QLineEdit>(entry, "dns1Address").setText(QStringLiteral("208.167.222.222"));
                    child<QLineEdit>(entry, "dns2Address").setText(QStringLiteral("255.255.255.254"));
                    shoot(entry, QStringLiteral("dns-list-entry-dialog"));
                    child<QLineEdit>(entry, "nameNS").setText(QStringLiteral("VPN DNS"));
                    shoot(entry, QStringLiteral("dns-list-entry-refused-name"));
                    child<QLineEdit>(entry, "nameNS").setText(QStringLiteral("Office"));
                    child<QLineEdit>(entry, "dns2Address").setText(QStringLiteral("10.0."));
                    shoot(entry, QStringLiteral("dns-list-entry-refused-address"));
                });
            });
        });
    }

    void serverSiteEntryDialog()
    {
        withPreferences([](QDialog &settings) {
            showTab(settings, "serverSites");
            withDialogOf(child<QPushButton>(settings, "serverSitesDedicatedIpAdd"), [](QDialog &entry) {
                auto &address = child<QLineEdit>(entry, "serverSitesDedicatedIpAddress");
                address.setText(QStringLiteral("203.113.200.254"));
                shoot(entry, QStringLiteral("server-site-entry-dialog"));
                address.setText(QStringLiteral("203.113.200."));
                shoot(entry, QStringLiteral("server-site-entry-refused"));
            });
        });
    }

    void systemNameServerDialog()
    {
        withPreferences([](QDialog &settings) {
            showTab(settings, "network");
            withDialogOf(child<QPushButton>(settings, "setSystemDNSButton"),
                         [](QDialog &dialog) { shoot(dialog, QStringLiteral("system-name-server-dialog")); });
        });
    }

    void killSwitchInterfacesDialog()
    {
        withPreferences([](QDialog &settings) {
            showTab(settings, "network");
            withDialogOf(child<QPushButton>(settings, "internetKillSwitchShowDialogButton"),
                         [](QDialog &dialog) { shoot(dialog, QStringLiteral("kill-switch-interfaces-dialog")); });
        });
    }
};

QTEST_MAIN(TestSettingsScreenshots)
#include "tst_settingsscreenshots.moc"
