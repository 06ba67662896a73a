#include "prefs/Settings.h"

#include "prefs/PrefsLogging.h"
#include "prefs/SettingsKeys.h"

#include <QDebug>

namespace {
using SettingsKeys::DEFAULT_SERVER_SITE;
using SettingsKeys::KEY_SETTING_VERSION;
} // namespace

// Migration.

void Settings::removeIfPresent(const char *key)
{
    if (contains(QLatin1String(key)))
        remove(QLatin1String(key));
}

void Settings::migrate(OsAbstraction &osAbstraction)
{
    for (;;) {
        const int version = topLevelValue(QLatin1String(KEY_SETTING_VERSION), 1).toInt();
        if (version < 1 || version >= CURRENT_SETTING_VERSION)
            return;
        switch (version) {
        case 1: migrateFromVersion1(osAbstraction); break;
        case 2: migrateFromVersion2(); break;
        case 3: migrateFromVersion3(); break;
        default: migrateFromVersion4(); break;
        }
        const int next = version + 1;
        qCDebug(lcPrefs).noquote() << QStringLiteral("Settings updated to version %1").arg(next);
        // Written after each step, so an interrupted migration resumes where it stopped.
        setTopLevelValue(QLatin1String(KEY_SETTING_VERSION), next);
    }
}

void Settings::migrateFromVersion1(OsAbstraction &)
{
    qCDebug(lcPrefs) << "Migration Settings: from version 1 to version 2";
    removeIfPresent("resolve-remote-hostnames-with-fallback-ips");
    removeIfPresent("prevent-dns-leak");
}

void Settings::migrateFromVersion2()
{
    removeIfPresent("openvpn243-enabled");
    removeIfPresent("openvpn23-enabled");
    removeIfPresent("pixel-ratio");
}

void Settings::migrateFromVersion3()
{
    // A stored site equal to the built-in default is no choice of the user's.
    if (defaultServerSite() == DEFAULT_SERVER_SITE)
        removeDefaultServerSite();
}

void Settings::migrateFromVersion4()
{
    removeIfPresent("network-server-ip-lookup");
    if (contains(QStringLiteral("seamless-reconnect"))) {
        if (flag("seamless-reconnect", true))
            setSeamlessReconnect(true);
        remove(QStringLiteral("seamless-reconnect"));
    }
}
