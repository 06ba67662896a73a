#include "gui/StyleSheet.h"
#include "gui/settings/DnsListDialog.h"
#include "gui/settings/DnsListEntryDialog.h"
#include "gui/settings/DnsListEntryWidget.h"
#include "gui/settings/DnsListWidget.h"
#include "gui/settings/InternetKillSwitchInterfacesDialog.h"
#include "gui/settings/IpAddressEdit.h"
#include "gui/settings/ServerSiteEntryDialog.h"
#include "gui/settings/ServerSiteEntryWidget.h"
#include "gui/settings/SystemNameServerSettingDialog.h"
#include "ui_SettingsWidget.h"

#include <QCoreApplication>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <functional>
#include <memory>

using FormFactory = std::function<QWidget *()>;
Q_DECLARE_METATYPE(FormFactory)

namespace {
QStringList recordedMessages;
QtMessageHandler previousHandler = nullptr;

void recordMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    recordedMessages << message;
    previousHandler(type, context, message);
}

// Remembers the translation context of every text a form asks for.
class ContextRecorder : public QTranslator
{
public:
    mutable QSet<QString> contexts;

    QString translate(const char *context, const char *, const char * = nullptr, int = -1) const override
    {
        contexts << QString::fromLatin1(context);
        return QString();
    }
    bool isEmpty() const override { return false; }
};

// The settings form on a widget of its own: its class comes with the settings dialog.
class SettingsForm : public QWidget
{
public:
    SettingsForm() { ui.setupUi(this); }
    Ui_SettingsWidget ui;
};

} // namespace

class TestSettingsForms : public QObject
{
    Q_OBJECT

    QTemporaryDir m_configDir;

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        // The dedicated-IP form reads the configuration's default offers.
        QVERIFY(m_configDir.isValid());
        QFile config(m_configDir.filePath(QStringLiteral("config5.json")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("{}");
        config.close();
        QSettings().setValue(QStringLiteral("config/configDir"), m_configDir.path());
    }

    void everyFormBindsItsSlots_data()
    {
        QTest::addColumn<FormFactory>("make");
        QTest::addColumn<QStringList>("contexts");
        const auto row = [](const char *name, FormFactory make, QStringList contexts) {
            QTest::newRow(name) << make << contexts;
        };
        row("settings form", [] { return new SettingsForm; }, {"SettingsWidget"});
        row("DNS list dialog", [] { return new DnsListDialog(DnsList(), {}); }, {"DnsListDialog", "DnsListWidget"});
        row("DNS list widget", [] { return new DnsListWidget; }, {"DnsListWidget"});
        row("DNS entry dialog", [] { return new DnsListEntryDialog; },
            {"DnsListEntryDialog", "DnsListEntryWidget", "IpAddressEdit"});
        row("DNS entry widget", [] { return new DnsListEntryWidget; }, {"DnsListEntryWidget", "IpAddressEdit"});
        row("dedicated-IP dialog", [] { return new ServerSiteEntryDialog; },
            {"ServerSiteEntryDialog", "ServerSiteEntryWidget", "IpAddressEdit"});
        row("dedicated-IP widget", [] { return new ServerSiteEntryWidget; },
            {"ServerSiteEntryWidget", "IpAddressEdit"});
        row("system name server dialog", [] { return new SystemNameServerSettingDialog(nullptr, DnsList()); },
            {"SystemNameServerSettingDialog"});
        row("kill-switch interfaces dialog", [] { return new InternetKillSwitchInterfacesDialog({}, {}); },
            {"InternetKillSwitchInterfacesDialog"});
    }

    // A slot whose object or signal is misnamed would never run; Qt only warns.
    void everyFormBindsItsSlots()
    {
        QFETCH(FormFactory, make);
        QFETCH(QStringList, contexts);
        ContextRecorder translator;
        QCoreApplication::installTranslator(&translator);
        recordedMessages.clear();
        previousHandler = qInstallMessageHandler(recordMessages);
        std::unique_ptr<QWidget> form(make());
        qInstallMessageHandler(previousHandler);
        QCoreApplication::removeTranslator(&translator);

        for (const QString &message : qAsConst(recordedMessages))
            QVERIFY2(!message.contains(QLatin1String("connectSlotsByName")), qPrintable(message));
        // Captions are looked up in the form's own context (Qt's widgets add theirs).
        for (const QString &context : qAsConst(contexts))
            QVERIFY2(translator.contexts.contains(context), qPrintable(context));
    }

    void settingsFormHasEveryControl_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        const auto add = [](const char *className, const QStringList &names) {
            for (const QString &name : names)
                QTest::newRow(qPrintable(name)) << name << QString::fromLatin1(className);
        };
        add("QTabWidget", {"tabWidget"});
        add("QGroupBox",
            {"connectionBox", "appearanceBox", "generalGroupBox", "dnsGroupBox", "openVpnGroupBox", "groupBox"});
        add("QWidget", {"general", "appkill", "scripts", "network", "proxy", "serverSites", "debug", "widget_5",
                        "minimizeToTrayOnConnect_widget", "minimizeToTray_widget", "widget_8", "widget_9",
                        "proxySettingsStealthValues", "proxySettingsCustomValues"});
        add("QCheckBox", {"autostart",
                          "autoConnect",
                          "autoLogin",
                          "armKillswitch",
                          "CheckTunTapOnConnect",
                          "stillActiveWarning",
                          "enableTrayIcon",
                          "startMinimized",
                          "minimizeOnConnect",
                          "minimizeToTray",
                          "closeToTray",
                          "displayNotifications",
                          "hideFromDock",
                          "dpiScaling",
                          "displayCipherWarnings",
                          "rememberWindowGeometry",
                          "doTerminateProcessesOnDisconnect",
                          "doExecuteExternalScripts",
                          "preventWebRtcLeak",
                          "preventIPv6Leak",
                          "seamlessReconnect",
                          "blockInternetWhenNotConnected",
                          "internetKillSwitch",
                          "removeIKSonClose",
                          "blockOutsideDns",
                          "refreshDNSCache",
                          "lookupHostnameBeforeConnecting",
                          "logToFileWarningActive"});
        add("QComboBox", {"iksEnableOnConnect", "onStartDnsComboBox", "beforeConnectDnsComboBox",
                          "afterConnectDnsComboBox", "recoverDNSStackOnStart", "tlsMinimumVersionComboBox",
                          "mtuComboBox", "stealthProxyServer", "proxyProtocol", "logOptionComboBox"});
        add("QPushButton",
            {"forgetCredentials", "addProcessToKillList", "selectProcessName", "removeSelectedProcessFromKillList",
             "testKillAll", "clearScript", "selectPathToBeforeConnectScript", "selectPathToAfterConnectScript",
             "selectPathToAfterDisconnectScript", "internetKillSwitchShowDialogButton", "refreshDNSCacheNow",
             "cleanDNSCache", "dnsListWidget", "setSystemDNSButton", "serverSitesDedicatedIpAdd",
             "serverSitesDedicatedIpRemove", "logFolderSizeRefreshButton", "showLogButton", "cleanLogFolderButton"});
        add("QLineEdit", {"nameOfProcessToAdd", "pathToBeforeConnectScript", "pathToAfterConnectScript",
                          "pathToAfterDisconnectScript", "mtuLineEdit", "proxyPort", "logFolderPathLineEdit"});
        add("IpAddressEdit", {"proxyAddress"});
        add("QListWidget", {"processesToKillByNameList", "serverSitesDedicatedIpList"});
        add("QRadioButton", {"proxySettingsDirect", "proxySettingsStealth", "proxySettingsCustom"});
        add("QLabel", {"label_2",
                       "beforeConnectLabel",
                       "afterConnectLabel",
                       "afterDisconnectLabel",
                       "nameServersLabel",
                       "label",
                       "onStartDnsLabel",
                       "beforeConnectDnsLabel",
                       "afterConnectDnsLabel",
                       "recoverDNSStackOnStartLabel",
                       "setSystemDNSLabel",
                       "tlsMinimumVersionLabel",
                       "mtuLabel",
                       "stealthProxyServerLabel",
                       "proxyProtocolLabel",
                       "proxyAddressLabel",
                       "proxyPortLabel",
                       "proxyAddressCheck",
                       "proxyPortCheck",
                       "mtuCheck",
                       "serverSitesDedicatedIpLabel",
                       "logOptionLabel",
                       "logFolderPathLabel",
                       "logFolderSizeLabel",
                       "logFolderSizeBytes",
                       "showLogLabel",
                       "cleanLogFolderLabel"});
    }

    void settingsFormHasEveryControl()
    {
        QFETCH(QString, name);
        QFETCH(QString, className);
        SettingsForm form;
        const QList<QWidget *> found = form.findChildren<QWidget *>(name);
        QCOMPARE(found.size(), 1);
        QCOMPARE(QString::fromLatin1(found.first()->metaObject()->className()), className);
    }

    void settingsFormTabs()
    {
        SettingsForm form;
        QCOMPARE(form.size(), QSize(851, 763));
        QCOMPARE(form.windowTitle(), QStringLiteral("Form"));
        const QTabWidget *tabs = form.ui.tabWidget;
        const QStringList pages {"general", "appkill", "scripts", "network", "proxy", "serverSites", "debug"};
        const QStringList texts {"General", "App Kill", "Scripts", "Network", "Proxy", "Servers", "Debug"};
        QCOMPARE(tabs->count(), pages.size());
        for (int i = 0; i < tabs->count(); ++i) {
            QCOMPARE(tabs->widget(i)->objectName(), pages.at(i));
            QCOMPARE(tabs->tabText(i), texts.at(i));
        }
        QCOMPARE(tabs->currentIndex(), 3);
        QVERIFY(tabs->isEnabled());
    }

    // What the settings actions rely on before anything is loaded.
    void settingsFormStartState()
    {
        SettingsForm form;
        const Ui_SettingsWidget &ui = form.ui;
        for (const QWidget *off :
             {static_cast<QWidget *>(ui.addProcessToKillList),
              static_cast<QWidget *>(ui.removeSelectedProcessFromKillList), static_cast<QWidget *>(ui.testKillAll),
              static_cast<QWidget *>(ui.serverSitesDedicatedIpRemove),
              static_cast<QWidget *>(ui.proxySettingsStealthValues),
              static_cast<QWidget *>(ui.proxySettingsCustomValues)})
            QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
        QVERIFY(ui.proxySettingsDirect->isChecked());
        QVERIFY(ui.displayCipherWarnings->isChecked());
        QCOMPARE(ui.proxyPort->text(), QStringLiteral("65535"));
        QCOMPARE(ui.proxyPort->maxLength(), 5);

        const auto items = [](const QComboBox *combo) {
            QStringList texts;
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
            return texts;
        };
        QCOMPARE(items(ui.iksEnableOnConnect), (QStringList {"Yes", "No", "Ask"}));
        QCOMPARE(items(ui.tlsMinimumVersionComboBox), (QStringList {"1.2", "1.0"}));
        QCOMPARE(items(ui.proxyProtocol), (QStringList {"HTTP", "Socks5"}));
        for (const QComboBox *empty :
             {ui.onStartDnsComboBox, ui.beforeConnectDnsComboBox, ui.afterConnectDnsComboBox, ui.recoverDNSStackOnStart,
              ui.mtuComboBox, ui.stealthProxyServer, ui.logOptionComboBox})
            QVERIFY2(empty->count() == 0, qPrintable(empty->objectName()));

        QCOMPARE(ui.processesToKillByNameList->selectionMode(), QAbstractItemView::MultiSelection);
        QVERIFY(ui.processesToKillByNameList->isSortingEnabled());
        QCOMPARE(ui.serverSitesDedicatedIpList->selectionMode(), QAbstractItemView::MultiSelection);
        QVERIFY(!ui.serverSitesDedicatedIpList->isSortingEnabled());
    }

    void settingsFormProxyRadiosAreExclusive()
    {
        SettingsForm form;
        form.ui.proxySettingsCustom->click();
        QVERIFY(!form.ui.proxySettingsDirect->isChecked());
        form.ui.proxySettingsStealth->click();
        QVERIFY(!form.ui.proxySettingsCustom->isChecked());
        QVERIFY(form.ui.proxySettingsStealth->isChecked());
    }

    void styleSheetsLoad_data()
    {
        QTest::addColumn<FormFactory>("make");
        QTest::addColumn<QString>("resource");
        const auto row = [](const char *name, FormFactory make, const char *resource) {
            QTest::newRow(name) << make << QString::fromLatin1(resource);
        };
        row(
            "DNS list", [] { return new DnsListDialog(DnsList(), {}); }, ":/resources/dnslistdialog.qss");
        row(
            "DNS entry", [] { return new DnsListEntryDialog; }, ":/resources/dnslistentrydialog.qss");
        row(
            "dedicated IP", [] { return new ServerSiteEntryDialog; }, ":/resources/serversiteentrydialog.qss");
        row(
            "system name server", [] { return new SystemNameServerSettingDialog(nullptr, DnsList()); },
            ":/resources/systemnameserversettingdialog.qss");
        row(
            "kill-switch interfaces", [] { return new InternetKillSwitchInterfacesDialog({}, {}); },
            ":/resources/internetkillswitchinterfacesdialog.qss");
    }

    void styleSheetsLoad()
    {
        QFETCH(FormFactory, make);
        QFETCH(QString, resource);
        std::unique_ptr<QWidget> dialog(make());
        QVERIFY(QFile::exists(resource));
        QVERIFY(!dialog->styleSheet().isEmpty());
        QCOMPARE(dialog->styleSheet(), StyleSheet::fromResource(resource));
    }

    // The settings dialog and its widget load theirs with the settings dialog.
    void settingsStyleSheetsExist()
    {
        QVERIFY(!StyleSheet::fromResource(QStringLiteral(":/resources/settingsdialog.qss")).isEmpty());
        QVERIFY(!StyleSheet::fromResource(QStringLiteral(":/resources/settingswidget.qss")).isEmpty());
    }

    void styleSheetEndsAtNulAndMayBeMissing()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("style.qss")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("QLabel { color: #e9e9e9; }\0garbage", 34));
        file.close();
        QCOMPARE(StyleSheet::fromResource(file.fileName()), QStringLiteral("QLabel { color: #e9e9e9; }"));
        QVERIFY(StyleSheet::fromResource(dir.filePath(QStringLiteral("missing.qss"))).isEmpty());
    }
};

QTEST_MAIN(TestSettingsForms)
#include "tst_settingsforms.moc"
