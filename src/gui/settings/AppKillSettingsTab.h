#pragma once

#include "gui/settings/SettingsTab.h"

#include <QStringList>

class Settings;

// The App Kill tab of the settings form: the applications terminated when a
// connection ends.
class AppKillSettingsTab : public SettingsTab
{
public:
    using SettingsTab::SettingsTab;

    void load(const Settings &settings);
    void save(Settings &settings);

private:
    // The names in the list, in list order.
    QStringList processesToKillByName() const;
};
