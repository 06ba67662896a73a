#pragma once

#include "AnsweringMessageBoxFactory.h"
#include "RecordingOsAbstraction.h"
#include "RecordingVpnBackend.h"

#include "catalogue/StealthProxy.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/settings/SettingsWidget.h"
#include "prefs/Settings.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QMap>
#include <QPushButton>
#include <QSettings>
#include <QSharedPointer>
#include <QTemporaryDir>

#include <memory>

// What a settings dialog under test stands on: a recording system layer
// (with two network services), a recording backend, the answering box
// factory, two stealth proxies and a configuration directory with the
// default cipher offers. The settings are the test's own throw-away store.
struct SettingsDialogWorld
{
    RecordingOsAbstraction os;
    RecordingVpnBackend backend;
    QSharedPointer<AnsweringMessageBoxFactory> boxes {new AnsweringMessageBoxFactory};
    QList<StealthProxy> stealthProxies {
        StealthProxy(QStringLiteral("nl"), QStringLiteral("Amsterdam"), QStringLiteral("198.51.100.10"),
                     QStringLiteral("8388"), QStringLiteral("secret"), QStringLiteral("chacha20-ietf-poly1305")),
        StealthProxy(QStringLiteral("se"), QStringLiteral("Stockholm"), QStringLiteral("198.51.100.11"),
                     QStringLiteral("8388"), QStringLiteral("secret"), QStringLiteral("chacha20-ietf-poly1305"))};
    bool globalRouteAlreadyActive = false;
    bool autoLoginAllowed = true;
    bool connectionActive = false;
    QTemporaryDir configDir;

    SettingsDialogWorld()
    {
        os.networkInterfaces = {NetworkInterface(QStringLiteral("Wi-Fi")),
                                NetworkInterface(QStringLiteral("Ethernet"))};
        os.autostart = true;
        MessageBoxFactory::setInstance(boxes);
        QFile config(configDir.filePath(QStringLiteral("config5.json")));
        if (config.open(QIODevice::WriteOnly))
            config.write(R"({ "default": { "supportedCiphers": [
                { "cipher": "AES-128-GCM", "ciphers": ["AES-128-GCM"], "protocol": "UDP", "port": 1194 } ] } })");
        resetStore();
    }
    ~SettingsDialogWorld() { MessageBoxFactory::setInstance({}); }

    // An empty store but for the configuration directory.
    void resetStore()
    {
        QSettings store;
        store.clear();
        store.setValue(QStringLiteral("config/configDir"), configDir.path());
    }

    std::unique_ptr<SettingsDialog> open()
    {
        return std::make_unique<SettingsDialog>(nullptr, stealthProxies, os, backend, globalRouteAlreadyActive,
                                                autoLoginAllowed, connectionActive);
    }

    // Opens a dialog and saves it untouched.
    void openAndSave()
    {
        const std::unique_ptr<SettingsDialog> dialog = open();
        press(*dialog, QDialogButtonBox::Save);
    }

    static QPushButton *button(SettingsDialog &dialog, QDialogButtonBox::StandardButton which)
    {
        return dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(which);
    }

    static void press(SettingsDialog &dialog, QDialogButtonBox::StandardButton which)
    {
        QPushButton *pressed = button(dialog, which);
        if (!pressed->isEnabled())
            qFatal("The button pressed by the test is disabled");
        pressed->click();
    }

    // A control of the dialog by its object name; the test ends at a wrong name.
    template<typename T>
    static T *control(QWidget &dialog, const char *name)
    {
        T *found = dialog.findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("No %s named %s", T::staticMetaObject.className(), name);
        return found;
    }

    static SettingsWidget &widget(QWidget &dialog) { return *control<SettingsWidget>(dialog, "settingsWidget"); }

    // Every stored key with its value as text.
    static QMap<QString, QString> storedValues()
    {
        QSettings store;
        QMap<QString, QString> values;
        for (const QString &key : store.allKeys()) {
            const QVariant value = store.value(key);
            values.insert(key, value.type() == QVariant::StringList ? value.toStringList().join(QLatin1Char('|'))
                                                                    : value.toString());
        }
        return values;
    }

    // The whole settings file as it is on disk.
    static QByteArray storeFile()
    {
        QSettings store;
        store.sync();
        QFile file(store.fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The keys whose values differ, for failure messages.
    static QString differences(const QMap<QString, QString> &before, const QMap<QString, QString> &after)
    {
        QStringList lines;
        QStringList keys = before.keys() + after.keys();
        keys.removeDuplicates();
        for (const QString &key : qAsConst(keys)) {
            if (before.value(key, QStringLiteral("<none>")) != after.value(key, QStringLiteral("<none>")))
                lines << QStringLiteral("%1: %2 -> %3")
                             .arg(key, before.value(key, QStringLiteral("<none>")),
                                  after.value(key, QStringLiteral("<none>")));
        }
        return lines.join(QLatin1Char('\n'));
    }
};
