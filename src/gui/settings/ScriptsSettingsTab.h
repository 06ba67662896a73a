#pragma once

#include "gui/settings/SettingsTab.h"

class Settings;

// The Scripts tab of the settings form: the scripts run around a connection.
class ScriptsSettingsTab : public SettingsTab
{
public:
    using SettingsTab::SettingsTab;

    void load(const Settings &settings);
    void save(Settings &settings);
};
