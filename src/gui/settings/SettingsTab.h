#pragma once

class Ui_SettingsWidget;

// What every tab of the settings form stands on: the form itself, owned by
// the settings widget, which makes its tabs after the form and drops them
// before it. Each tab adds its own load and save.
class SettingsTab
{
public:
    explicit SettingsTab(Ui_SettingsWidget &ui)
        : m_ui(ui)
    {
    }

protected:
    Ui_SettingsWidget &m_ui;
};
