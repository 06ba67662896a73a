#include "prefs/Settings.h"

#include <QMainWindow>
#include <QSystemTrayIcon>

namespace {
const char *const KEY_TRAY_ICON = "tray-icon-enabled";
const char *const KEY_WINDOW_GEOMETRY = "window-geometry";
const char *const KEY_WINDOW_STATE = "window-state";

const int WINDOW_STATE_VERSION = 0;
} // namespace

// Tray and window.

bool Settings::trayIconEnabled() const
{
    return QSystemTrayIcon::isSystemTrayAvailable() && isTrayIconSetInPreference();
}

bool Settings::isTrayIconSetInPreference() const
{
    return flag(KEY_TRAY_ICON, true);
}

void Settings::setTrayIconEnabled(bool v)
{
    store(KEY_TRAY_ICON, v);
}
bool Settings::isStartMinimizedSetInPreference() const
{
    return flag("start-minimized", false);
}
void Settings::setStartMinimized(bool v)
{
    store("start-minimized", v);
}
bool Settings::isMinimizeOnConnectSetInPreference() const
{
    return flag("minimize-on-connect", false);
}
void Settings::setMinimizeOnConnect(bool v)
{
    store("minimize-on-connect", v);
}
// The dialog saves this box; reading it back keeps the user's choice in effect.
bool Settings::isMinimizeToTraySetInPreference() const
{
    return flag("minimize-to-tray", false);
}
void Settings::setMinimizeToTray(bool v)
{
    store("minimize-to-tray", v);
}
bool Settings::isCloseToTraySetInPreference() const
{
    return flag("close-to-tray", false);
}
void Settings::setCloseToTray(bool v)
{
    store("close-to-tray", v);
}
bool Settings::isDisplayNotificationsSetInPreference() const
{
    return flag("display-notifications", true);
}
void Settings::setDisplayNotifications(bool v)
{
    store("display-notifications", v);
}

bool Settings::shouldStartMinimized() const
{
    return trayIconEnabled() && isStartMinimizedSetInPreference();
}
bool Settings::shouldMinimizeOnConnect() const
{
    return trayIconEnabled() && isMinimizeOnConnectSetInPreference();
}
bool Settings::shouldMinimizeToTray() const
{
    return trayIconEnabled() && isMinimizeToTraySetInPreference();
}
bool Settings::shouldCloseToTray() const
{
    return trayIconEnabled() && isCloseToTraySetInPreference();
}
bool Settings::shouldDisplayNotifications() const
{
    return trayIconEnabled() && isDisplayNotificationsSetInPreference();
}

bool Settings::getRememberWindowGeometry() const
{
    return flag("remember-window-geometry", false);
}
void Settings::setRememberWindowGeometry(bool v)
{
    store("remember-window-geometry", v);
}

void Settings::saveWindowGeometry(const QMainWindow *window)
{
    store(KEY_WINDOW_GEOMETRY, window->saveGeometry());
    store(KEY_WINDOW_STATE, window->saveState(WINDOW_STATE_VERSION));
}

void Settings::restoreWindowGeometry(QMainWindow *window) const
{
    window->restoreGeometry(value(QLatin1String(KEY_WINDOW_GEOMETRY)).toByteArray());
    window->restoreState(value(QLatin1String(KEY_WINDOW_STATE)).toByteArray(), WINDOW_STATE_VERSION);
}
