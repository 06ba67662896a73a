#include "gui/settings/GeneralSettingsTab.h"
#include "prefs/Settings.h"
#include "ui_SettingsWidget.h"

#include <QSettings>
#include <QTest>

namespace {

// The bare settings form, as the widget builds it, without the widget.
struct Form
{
    QWidget widget;
    Ui_SettingsWidget ui;
    Form() { ui.setupUi(&widget); }
};

// The General tab's boxes with the key each stands for and its default.
struct Flag
{
    const char *box;
    const char *key;
    bool byDefault;
};

const Flag GENERAL_FLAGS[] = {
    {"autoConnect", "auto-connect-on-startup", false},
    {"autoLogin", "auto-login-on-connect", true},
    {"armKillswitch", "arm-killswitch-after-first-connection", true},
    {"stillActiveWarning", "stillActiveWarningEnable", true},
    {"startMinimized", "start-minimized", false},
    {"minimizeOnConnect", "minimize-on-connect", false},
    {"closeToTray", "close-to-tray", false},
    {"minimizeToTray", "minimize-to-tray", false},
    {"displayNotifications", "display-notifications", true},
    {"displayCipherWarnings", "display-cipher-warning", true},
    {"dpiScaling", "pixel-ratio-toggle", false},
    {"rememberWindowGeometry", "remember-window-geometry", false},
    {"hideFromDock", "hide-from-dock", false},
};

QString preference(const char *key)
{
    return QStringLiteral("preferences/") + QLatin1String(key);
}

} // namespace

// One tab's class over the bare form: what it loads from the store is what
// its controls show, and what they show is what it saves, key by key.
class TestSettingsTabs : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void generalFlagRoundTrip_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("byDefault");
        for (const Flag &flag : GENERAL_FLAGS)
            QTest::newRow(flag.box) << flag.box << flag.key << flag.byDefault;
    }

    // Each box shows its own key and writes back to it alone. Only the row's
    // key holds its other value, so a box wired to another box's key shows
    // up on load or on save; flipping every key at once would hide it.
    void generalFlagRoundTrip()
    {
        QFETCH(QString, box);
        QFETCH(QString, key);
        QFETCH(bool, byDefault);
        QSettings().setValue(preference(qPrintable(key)), !byDefault);
        Form form;
        GeneralSettingsTab tab(form.ui);
        Settings settings;
        tab.load(settings, nullptr);
        for (const Flag &flag : GENERAL_FLAGS) {
            const bool expected = QLatin1String(flag.box) == box ? !flag.byDefault : flag.byDefault;
            QVERIFY2(form.widget.findChild<QCheckBox *>(flag.box)->isChecked() == expected, flag.box);
        }
        tab.save(settings, nullptr);
        for (const Flag &flag : GENERAL_FLAGS) {
            const bool expected = QLatin1String(flag.key) == key ? !flag.byDefault : flag.byDefault;
            QVERIFY2(QSettings().value(preference(flag.key)).toBool() == expected, flag.key);
        }
    }

    void interfacesQuestion_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("saved");
        // clang-format off
        QTest::newRow("enable") << QVariant("enable") << "Yes" << "" << "enable";
        QTest::newRow("noop") << QVariant("noop") << "No" << "" << "noop";
        QTest::newRow("ask") << QVariant("ask") << "Ask" << "" << "ask";
        QTest::newRow("nothing stored") << QVariant() << "Ask" << "" << "ask";
        QTest::newRow("another case") << QVariant("Enable") << "Ask" << "" << "ask";
        QTest::newRow("ask, No picked") << QVariant("ask") << "Ask" << "No" << "noop";
        QTest::newRow("noop, Yes picked") << QVariant("noop") << "No" << "Yes" << "enable";
        QTest::newRow("enable, Ask picked") << QVariant("enable") << "Yes" << "Ask" << "ask";
        // clang-format on
    }

    // The question before re-enabling disabled interfaces, between its stored
    // word and the combo box's text.
    void interfacesQuestion()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, shown);
        QFETCH(QString, chosen);
        QFETCH(QString, saved);
        const QString key = preference("enable-interfaces-on-connect");
        if (stored.isValid())
            QSettings().setValue(key, stored);
        Form form;
        GeneralSettingsTab tab(form.ui);
        Settings settings;
        tab.load(settings, nullptr);
        QCOMPARE(form.ui.iksEnableOnConnect->currentText(), shown);
        if (!chosen.isEmpty())
            form.ui.iksEnableOnConnect->setCurrentText(chosen);
        tab.save(settings, nullptr);
        QCOMPARE(QSettings().value(key).toString(), saved);
    }
};

QTEST_MAIN(TestSettingsTabs)
#include "tst_settingstabs.moc"
