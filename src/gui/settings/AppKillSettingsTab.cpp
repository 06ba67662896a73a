#include "gui/settings/AppKillSettingsTab.h"

#include "prefs/Settings.h"
#include "ui_SettingsWidget.h"

void AppKillSettingsTab::load(const Settings &settings)
{
    m_ui.doTerminateProcessesOnDisconnect->setChecked(settings.terminateProcessesOnDisconnect());
    m_ui.processesToKillByNameList->clear();
    m_ui.processesToKillByNameList->addItems(settings.processKillList());
}

void AppKillSettingsTab::save(Settings &settings)
{
    settings.setTerminateProcessesOnDisconnect(m_ui.doTerminateProcessesOnDisconnect->isChecked());
    settings.setProcessKillList(processesToKillByName());
}

QStringList AppKillSettingsTab::processesToKillByName() const
{
    QStringList names;
    for (int i = 0; i < m_ui.processesToKillByNameList->count(); ++i)
        names << m_ui.processesToKillByNameList->item(i)->text();
    return names;
}
