#include "gui/settings/DebugSettingsTab.h"

#include "app/AbstractMessageHandler.h"
#include "core/LogHandlerOption.h"
#include "prefs/Settings.h"
#include "ui_SettingsWidget.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString logFolderPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::DataLocation) + QStringLiteral("/logs");
}
} // namespace

void DebugSettingsTab::load(const Settings &settings)
{
    m_ui.logToFileWarningActive->setChecked(settings.getShowLogToFileWarning());
    m_ui.logOptionComboBox->clear();
    for (const LogHandlerOption *option : {&LogHandlerOption::NullHandler(), &LogHandlerOption::FileHandler()})
        m_ui.logOptionComboBox->addItem(option->toString(), QVariant::fromValue(option));
    const LogHandlerOption &stored = settings.getLogHandlerOption();
    m_unlistedLogOption = &stored;
    m_logOptionChosen = false;
    for (int i = 0; i < m_ui.logOptionComboBox->count(); ++i) {
        if (*m_ui.logOptionComboBox->itemData(i).value<const LogHandlerOption *>() == stored) {
            m_ui.logOptionComboBox->setCurrentIndex(i);
            m_unlistedLogOption = nullptr;
        }
    }
    m_ui.logFolderPathLineEdit->setReadOnly(true);
    m_ui.logFolderPathLineEdit->setText(logFolderPath());
    m_ui.showLogButton->setEnabled(chosenLogOption() == LogHandlerOption::FileHandler());
    refresh();
}

void DebugSettingsTab::save(Settings &settings)
{
    settings.setShowLogToFileWarning(m_ui.logToFileWarningActive->isChecked());
    settings.setLogHandlerOption(m_logOptionChosen || !m_unlistedLogOption ? chosenLogOption() : *m_unlistedLogOption);
}

void DebugSettingsTab::refresh()
{
    QDir folder;
    const QString path = logFolderPath();
    if (!folder.mkpath(path) || !folder.cd(path)) {
        m_ui.cleanLogFolderButton->setEnabled(false);
        m_ui.logFolderSizeBytes->setText(AbstractMessageHandler::humanReadableByte(0));
        return;
    }
    // Hidden and system entries (a Finder's ".DS_Store") are not logs: they
    // neither offer Clean nor add to the size.
    m_ui.cleanLogFolderButton->setEnabled(!folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    quint64 total = 0;
    for (const QFileInfo &file : folder.entryInfoList(QDir::Files))
        total += quint64(file.size());
    m_ui.logFolderSizeBytes->setText(AbstractMessageHandler::humanReadableByte(total));
}

const LogHandlerOption &DebugSettingsTab::chosenLogOption() const
{
    return *m_ui.logOptionComboBox->currentData().value<const LogHandlerOption *>();
}
