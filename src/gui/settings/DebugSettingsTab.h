#pragma once

#include "gui/settings/SettingsTab.h"

class LogHandlerOption;
class Settings;

// The Debug tab of the settings form: the log option, its warning and the
// log folder.
class DebugSettingsTab : public SettingsTab
{
public:
    using SettingsTab::SettingsTab;

    void load(const Settings &settings);
    void save(Settings &settings);
    // Shows whether the log folder holds anything, and its size.
    void refresh();

    const LogHandlerOption &chosenLogOption() const;
    // The user picked an item of the log option list.
    void noteLogOptionChosen() { m_logOptionChosen = true; }

private:
    // A stored log option without an item of its own stays stored until the
    // user picks an item; null when the stored option has an item, so the
    // save stores what the list shows, whoever changed it.
    const LogHandlerOption *m_unlistedLogOption = nullptr;
    bool m_logOptionChosen = false;
};
