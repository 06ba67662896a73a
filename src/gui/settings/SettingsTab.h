#pragma once

class QComboBox;
class QVariant;
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

    // Selects the first item whose user data equals value, else the first
    // item; an empty combo box is left alone.
    static void setCurrentItemByDataOrFirstEntry(QComboBox *combo, const QVariant &value);

protected:
    Ui_SettingsWidget &m_ui;
};
