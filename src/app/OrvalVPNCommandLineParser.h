#pragma once

#include "app/CommandLineParser.h"

#include <QCommandLineOption>

#include <functional>

// The options of OrvalVPN: library test, clean-up, settings utility and
// server-only mode; without any of them the GUI run.
class OrvalVPNCommandLineParser : public CommandLineParser
{
public:
    // The GUI run lives with the widgets; the entry hands it in.
    using GuiRunMode = std::function<int(QApplication &)>;

    explicit OrvalVPNCommandLineParser(const QString &applicationName, GuiRunMode guiRunMode = {});

    int runRunnable(QApplication &application) override;

private:
    int runChosenMode(QApplication &application);
    int runGui(QApplication &application);

    QCommandLineOption m_libraryTestOption;
    QCommandLineOption m_cleanUpOption;
    QCommandLineOption m_settingsOption;
    QCommandLineOption m_serverModeOption;
    GuiRunMode m_guiRunMode;
};
