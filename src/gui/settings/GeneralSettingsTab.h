#pragma once

#include "gui/settings/SettingsTab.h"

#include <QCoreApplication>

class OsAbstraction;
class Settings;

// The General tab of the settings form: start, login and quit, the tray icon
// and the window, and the question about disabled interfaces. The autostart
// box stands for the application's login item, not for a preference.
class GeneralSettingsTab : public SettingsTab
{
    Q_DECLARE_TR_FUNCTIONS(SettingsWidget)

public:
    using SettingsTab::SettingsTab;

    // Without a system layer the autostart box shows unchecked and the
    // login item is left alone.
    void load(const Settings &settings, OsAbstraction *os);
    void save(Settings &settings, OsAbstraction *os);
    // The boxes that only mean something with a tray icon.
    void setTrayDependentsEnabled(bool enabled);
};
