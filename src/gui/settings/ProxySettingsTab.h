#pragma once

#include "gui/settings/SettingsTab.h"

class Settings;

// The Proxy tab of the settings form: direct, through a stealth proxy, or
// through the user's own proxy. A save writes the fields of the chosen kind
// only; those of the others keep their stored values.
class ProxySettingsTab : public SettingsTab
{
public:
    using SettingsTab::SettingsTab;

    void load(const Settings &settings);
    void save(Settings &settings);
};
