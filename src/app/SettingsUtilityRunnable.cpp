#include "app/SettingsUtilityRunnable.h"

#include "app/AppLogging.h"
#include "prefs/Settings.h"

#include <QDebug>

const QString SettingsUtilityRunnable::REWRITE_CONFIGURATION_FILE = QStringLiteral("rewrite");
const QString SettingsUtilityRunnable::RESET = QStringLiteral("reset");

SettingsUtilityRunnable::SettingsUtilityRunnable(const QString &applicationName, const QString &option)
    : m_applicationName(applicationName)
    , m_option(option)
{
}

QString SettingsUtilityRunnable::getOptions()
{
    return REWRITE_CONFIGURATION_FILE + QStringLiteral("|") + RESET;
}

QString SettingsUtilityRunnable::getOptionsDescriptionPrettyPrint()
{
    return QStringLiteral("- ") + REWRITE_CONFIGURATION_FILE + QStringLiteral(": ")
           + QStringLiteral("load, delete and rewrite the configuration file. It can solve some permission problems.")
           + QStringLiteral("\n") + QStringLiteral("- ") + RESET + QStringLiteral(": ")
           + QStringLiteral("reset the settings to default.");
}

int SettingsUtilityRunnable::run()
{
    qCDebug(lcApp) << "Settings command line utility for" << m_applicationName;
    if (m_option == REWRITE_CONFIGURATION_FILE)
        return recoverWriteablePermission();
    if (m_option == RESET)
        return reset();
    return printHelp();
}

int SettingsUtilityRunnable::recoverWriteablePermission()
{
    Settings settings;
    if (settings.recoverPreferenceFilePermission()) {
        qCDebug(lcApp) << "Settings file recovered.";
        return 0;
    }
    qCDebug(lcApp) << "Settings file recovery failed.";
    return 1;
}

int SettingsUtilityRunnable::reset()
{
    Settings settings;
    if (!settings.isPreferenceFileWritable()) {
        qCDebug(lcApp) << "Settings file is not writable. Please try the following option:"
                       << REWRITE_CONFIGURATION_FILE;
        return 1;
    }
    qCDebug(lcApp) << "Settings resetted.";
    settings.clear();
    return 0;
}

int SettingsUtilityRunnable::printHelp()
{
    qCDebug(lcApp) << "Settings utility unknown option. Valid options are:" << getOptions();
    return 0;
}
