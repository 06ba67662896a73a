// orval-guidrive: the real GUI run (OrvalVPNRunnable) with a command reader
// on standard input and the backend's reports as event lines on standard
// output, for end-to-end tests, the demo and benchmarks. Like orval-drive it
// must run as <bundle>/Contents/MacOS/OrvalVPN, and it handles "--cleanup".
#include "EventLog.h"
#include "GuiCommands.h"
#include "PrintingFrontend.h"

#include "app/CleanUpRunnable.h"
#include "app/RunnableConstructorException.h"
#include "gui/MessageBoxOrvalVPN.h"
#include "gui/OpenConnectLoginFailedBox.h"
#include "gui/OpenVPNSimulatorDialog.h"
#include "gui/OrvalVPNRunnable.h"
#include "gui/ProcessEntry.h"

#include <QApplication>

#include <cstdio>

namespace {

int runModes(QApplication &application, int, char **)
{
    if (application.arguments().mid(1) == QStringList {QStringLiteral("--cleanup")}) {
        CleanUpRunnable cleanUp;
        return cleanUp.run();
    }
    const EventLog log;
    try {
        OrvalVPNRunnable runnable(application);
        const auto printer = QSharedPointer<PrintingFrontend>::create(log);
        QObject::connect(printer.data(), &PrintingFrontend::newConfigWasDownloaded,
                         [&log] { log.print(QStringLiteral("config-downloaded")); });
        runnable.attachObserver(printer);
        GuiCommands commands(log, runnable);
        return runnable.run();
    } catch (const RunnableConstructorException &e) {
        log.print(QStringLiteral("error Not started | ") + e.message);
        return e.exitCode;
    }
}

} // namespace

int main(int argc, char **argv)
{
    OpenVPNSimulatorDialog::install();
    OpenConnectLoginFailedBox::install();
    return ProcessEntry::run(argc, argv, runModes, [] { return QSharedPointer<MessageBoxOrvalVPN>::create(); });
}
