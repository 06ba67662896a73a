#pragma once

#include <QSharedPointer>

#include <functional>

class MessageBoxFactory;
class QApplication;

// The path of every start of OrvalVPN: prepares the process, chooses the log
// handler, makes the helper set-uid and runs one run mode. An exception that
// escapes ends in an error box and exit code 1.
class ProcessEntry
{
public:
    // Runs the chosen run mode; gets the application and the arguments that
    // the application object left.
    using RunModes = std::function<int(QApplication &, int, char **)>;
    using BoxFactoryMaker = std::function<QSharedPointer<MessageBoxFactory>()>;

    static int main(int argc, char **argv);
    static int run(int argc, char **argv, const RunModes &runModes, const BoxFactoryMaker &makeBoxFactory);

    static int runCommandLine(QApplication &application, int argc, char **argv);

private:
    static int runSteps(int &argc, char **argv, const RunModes &runModes);
    static int showFatalError(int &argc, char **argv, const QString &what, const BoxFactoryMaker &makeBoxFactory);
};
