// Runs one helper command through StelvaneRunner, the way the client does, so
// that a test can place it as a bundle's main program (the helper checks that
// its caller is <bundle>/Contents/MacOS/OrvalVPN).
//   stelvane_runner_probe --enabled SERVICE    prints "enabled" or "disabled"
//   stelvane_runner_probe COMMAND ARGS...      prints the helper's standard output
// A runner failure prints "FAILED: title | text" and exits with 3.
#include "system/StelvaneRunner.h"
#include "system/StelvaneRunnerFailed.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    try {
        StelvaneRunner runner;
        if (arguments.value(0) == QLatin1String("--enabled")) {
            std::puts(runner.isInterfaceEnabled(arguments.value(1)) ? "enabled" : "disabled");
            return 0;
        }
        std::fputs(runner.execute(arguments, true).toLocal8Bit().constData(), stdout);
        return 0;
    } catch (const StelvaneRunnerFailed &e) {
        std::printf("FAILED: %s | %s\n", qPrintable(e.title()), qPrintable(e.text()));
        return 3;
    }
}
