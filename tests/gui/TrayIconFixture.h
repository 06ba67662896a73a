#pragma once

#include "AnsweringMessageBoxFactory.h"
#include "FakeBackendStateTracker.h"
#include "RecordingOsAbstraction.h"
#include "RecordingVpnBackend.h"

#include "catalogue/OpenVpnConfigurationModel.h"
#include "catalogue/ServerSiteModel.h"
#include "gui/TrayIcon.h"
#include "openconnect/OpenConnectConnectVia.h"
#include "openconnect/OpenConnectConnectionParameters.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>

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

// Everything a tray needs, with a backend that answers the tray; its menu
// lists the installed catalogue as the run mode's model read it.
struct TrayWorld
{
    RecordingVpnBackend backend;
    RecordingOsAbstraction os;
    FakeBackendStateTracker tracker;
    UserStatistics statistics;
    ServerSiteModel sites;
    NotifyingTrayIcon tray {backend, os, tracker, statistics};

    TrayWorld()
    {
        backend.frontend = &tray;
        sites.reload();
        tray.followServerSites(sites);
    }
};

inline QSharedPointer<ConnectionParameters> parametersFor(const HalvorixServerSite &site)
{
    return QSharedPointer<OpenConnectConnectionParameters>::create(site, OpenConnectConnectVia::UDP(), Settings::NOOP,
                                                                   false, false);
}

inline QImage lookOf(const QIcon &icon)
{
    return icon.pixmap(22).toImage().convertToFormat(QImage::Format_ARGB32);
}

inline QImage lookOf(const QString &image)
{
    return lookOf(QIcon(image));
}

// The look's resource name, by pixels.
inline QString look(const NotifyingTrayIcon &tray)
{
    const QImage shown = lookOf(tray.icon().icon());
    for (const QString &image : {TrayIcon::DISCONNECTED_IMAGE, TrayIcon::CONNECTING_IMAGE, TrayIcon::CONNECTED_IMAGE}) {
        if (lookOf(image) == shown)
            return image.section('/', -1);
    }
    return QStringLiteral("unknown");
}

// "C" "D" "S" for the enabled Connect, Disconnect and Server entries, "-" for a disabled one.
inline QString enabledEntries(const NotifyingTrayIcon &tray)
{
    QString result;
    for (const auto &entry :
         {qMakePair(QString("Connect"), 'C'), qMakePair(QString("Disconnect"), 'D'), qMakePair(QString("Server"), 'S')})
        result += tray.entry(entry.first)->isEnabled() ? QChar(entry.second) : QChar('-');
    return result;
}

inline QStringList menuTexts(const QMenu &menu)
{
    QStringList texts;
    for (const QAction *action : menu.actions())
        texts.append(action->text());
    return texts;
}

// Moves down the open popup menu to the entry of that text, then presses the key on it.
inline bool chooseInActivePopup(const QString &text, Qt::Key key)
{
    auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!popup)
        return false;
    for (int step = 0; step <= popup->actions().size(); ++step) {
        if (popup->activeAction() && popup->activeAction()->text() == text) {
            QTest::keyClick(popup, key);
            return true;
        }
        QTest::keyClick(popup, Qt::Key_Down);
    }
    qWarning().noquote() << "No entry" << text << "in" << menuTexts(*popup);
    return false;
}

// The visible top-level widget of that class ("QSystemTrayIconSys", "QBalloonTip"), or null.
inline QWidget *visibleTopLevel(const char *className)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->inherits(className) && widget->isVisible())
            return widget;
    }
    return nullptr;
}
