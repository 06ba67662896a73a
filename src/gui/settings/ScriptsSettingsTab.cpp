#include "gui/settings/ScriptsSettingsTab.h"

#include "prefs/Settings.h"
#include "ui_SettingsWidget.h"

void ScriptsSettingsTab::load(const Settings &settings)
{
    m_ui.doExecuteExternalScripts->setChecked(settings.executeExternalScripts());
    m_ui.pathToBeforeConnectScript->setText(settings.pathToBeforeConnectScript());
    m_ui.pathToAfterConnectScript->setText(settings.pathToAfterConnectScript());
    m_ui.pathToAfterDisconnectScript->setText(settings.pathToAfterDisconnectScript());
}

void ScriptsSettingsTab::save(Settings &settings)
{
    settings.setExecuteExternalScripts(m_ui.doExecuteExternalScripts->isChecked());
    settings.setPathToBeforeConnectScript(m_ui.pathToBeforeConnectScript->text());
    settings.setPathToAfterConnectScript(m_ui.pathToAfterConnectScript->text());
    settings.setPathToAfterDisconnectScript(m_ui.pathToAfterDisconnectScript->text());
}
