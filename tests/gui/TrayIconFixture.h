#pragma once

#include "AnsweringMessageBoxFactory.h"
#include "FakeBackendStateTracker.h"
#include "RecordingOsAbstraction.h"
#include "RecordingVpnBackend.h"

#include "catalogue/OpenVpnConfigurationModel.h"
#include "gui/TrayIcon.h"
#include "openconnect/OpenConnectConnectVia.h"
#include "openconnect/OpenConnectConnectionParameters.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

// A tray whose notifications are written down ("title | message") instead of
// shown. Offscreen there is no system tray, so the preference decides alone
// whether a notification is wanted.
class NotifyingTrayIcon : public TrayIcon
{
public:
    using TrayIcon::TrayIcon;

    QStringList notifications;

    QSystemTrayIcon &icon() const { return *findChild<QSystemTrayIcon *>(); }
    QMenu &menu() const { return *icon().contextMenu(); }
    // The top-level menu entry of that text (the "Server" submenu's entry included).
    QAction *entry(const QString &text) const
    {
        for (QAction *action : menu().actions()) {
            if (action->text() == text)
                return action;
        }
        return nullptr;
    }

protected:
    bool notificationsWanted() const override
    {
        const Settings settings;
        return settings.isTrayIconSetInPreference() && settings.isDisplayNotificationsSetInPreference();
    }

    void showTrayMessage(const QString &title, const QString &msg, QSystemTrayIcon::MessageIcon icon,
                         int msecs) override
    {
        notifications.append(title + " | " + msg);
        icons.append(icon);
        durations.append(msecs);
    }

public:
    QList<QSystemTrayIcon::MessageIcon> icons;
    QList<int> durations;
};

// Everything a tray needs, with a backend that answers the tray.
struct TrayWorld
{
    RecordingVpnBackend backend;
    RecordingOsAbstraction os;
    FakeBackendStateTracker tracker;
    UserStatistics statistics;
    NotifyingTrayIcon tray {backend, os, tracker, statistics};

    TrayWorld() { backend.frontend = &tray; }
};

inline QSharedPointer<ConnectionParameters> parametersFor(const HalvorixServerSite &site)
{
    return QSharedPointer<OpenConnectConnectionParameters>::create(site, OpenConnectConnectVia::UDP(), Settings::NOOP,
                                                                   false, false);
}
