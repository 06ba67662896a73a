#pragma once

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

// Every prefs test works on its own throw-away store, never the user's.
namespace PrefsTestStore {

inline void init()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN-Test"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("orvalvpn.example"));
    QCoreApplication::setApplicationName(QStringLiteral("OrvalVPN-Test"));
}

inline void wipe()
{
    QSettings store;
    store.clear();
    store.sync();
}

} // namespace PrefsTestStore
