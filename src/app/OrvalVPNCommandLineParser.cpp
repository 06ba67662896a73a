#include "app/OrvalVPNCommandLineParser.h"

#include "app/AppLogging.h"
#include "app/CleanUpRunnable.h"
#include "app/DisplayPlatform.h"
#include "app/LibraryTestRunnable.h"
#include "app/RunnableConstructorException.h"
#include "app/ServerModeRunnable.h"
#include "app/SettingsUtilityRunnable.h"

#include <QDebug>

OrvalVPNCommandLineParser::OrvalVPNCommandLineParser(const QString &applicationName, GuiRunMode guiRunMode)
    : CommandLineParser(applicationName)
    , m_libraryTestOption(QStringLiteral("library-test"),
                          QStringLiteral("Try to run ") + applicationName
                              + QStringLiteral(" in order to check that all libraries are installed in the machine."))
    , m_cleanUpOption(QStringLiteral("cleanup"), QStringLiteral("Clean a possible dirty state."))
    , m_settingsOption(QStringLiteral("settings"), SettingsUtilityRunnable::getOptionsDescriptionPrettyPrint(),
                       SettingsUtilityRunnable::getOptions())
    , m_serverModeOption(QStringLiteral("server-mode"), QStringLiteral("Run only the Server."))
    , m_guiRunMode(std::move(guiRunMode))
{
    m_parser.setApplicationDescription(applicationName + QStringLiteral(" command line."));
    m_parser.addHelpOption();
    m_parser.addOption(m_libraryTestOption);
    m_parser.addOption(m_cleanUpOption);
    m_parser.addOption(m_settingsOption);
    m_parser.addOption(m_serverModeOption);
}

int OrvalVPNCommandLineParser::runRunnable(QApplication &application)
{
    try {
        return runChosenMode(application);
    } catch (const RunnableConstructorException &e) {
        qCDebug(lcApp) << "Runnable can not be constructed - error:" << e.message << "- exitCode:" << e.exitCode;
        return e.exitCode;
    }
}

int OrvalVPNCommandLineParser::runChosenMode(QApplication &application)
{
    if (m_parser.isSet(m_libraryTestOption)) {
        LibraryTestRunnable runnable(m_applicationName);
        return runnable.run();
    }
    if (m_parser.isSet(m_cleanUpOption)) {
        CleanUpRunnable runnable;
        return runnable.run();
    }
    if (m_parser.isSet(m_settingsOption)) {
        SettingsUtilityRunnable runnable(m_applicationName, m_parser.value(m_settingsOption));
        return runnable.run();
    }
    if (m_parser.isSet(m_serverModeOption)) {
        ServerModeRunnable runnable;
        return runnable.run();
    }
    return runGui(application);
}

int OrvalVPNCommandLineParser::runGui(QApplication &application)
{
    if (!DisplayPlatform::hasDisplay()) {
        DisplayPlatform::reportNoDisplay();
        return 1;
    }
    if (m_guiRunMode)
        return m_guiRunMode(application);
    qCDebug(lcApp) << "No run mode chosen and this build has no GUI run: see --help";
    return 1;
}
