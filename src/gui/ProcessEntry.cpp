#include "gui/ProcessEntry.h"

#include "BuildConfig.h"
#include "app/DisplayPlatform.h"
#include "app/FileMessageHandler.h"
#include "app/HelperBootstrap.h"
#include "app/MessagePattern.h"
#include "app/NullMessageHandler.h"
#include "app/OrvalVPNCommandLineParser.h"
#include "core/LogHandlerOption.h"
#include "gui/GuiLogging.h"
#include "gui/MessageBoxOrvalVPN.h"
#include "gui/NullEventMessageCloser.h"
#include "gui/OpenConnectLoginFailedBox.h"
#include "gui/OpenVPNSimulatorDialog.h"
#include "gui/OrvalVPNRunnable.h"
#include "prefs/Settings.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QTime>

#include <exception>

namespace {
const char *const APPLICATION_NAME = "OrvalVPN";

QSharedPointer<AbstractMessageHandler> makeLogHandler()
{
    const LogHandlerOption &option = Settings().getLogHandlerOption();
    if (option == LogHandlerOption::FileHandler())
        return QSharedPointer<FileMessageHandler>::create();
    if (option == LogHandlerOption::StdErrHandler())
        return {};
    return QSharedPointer<NullMessageHandler>::create();
}
} // namespace

int ProcessEntry::main(int argc, char **argv)
{
    OpenVPNSimulatorDialog::install();
    OpenConnectLoginFailedBox::install();
    return run(argc, argv, runCommandLine, [] { return QSharedPointer<MessageBoxOrvalVPN>::create(); });
}

int ProcessEntry::runCommandLine(QApplication &application, int argc, char **argv)
{
    OrvalVPNCommandLineParser parser(QCoreApplication::applicationName(), [](QApplication &app) {
        OrvalVPNRunnable runnable(app);
        return runnable.run();
    });
    parser.parse(argc, argv);
    return parser.runRunnable(application);
}

int ProcessEntry::run(int argc, char **argv, const RunModes &runModes, const BoxFactoryMaker &makeBoxFactory)
{
    MessagePattern::install();
    // Before any application object, the error box's included.
    DisplayPlatform::useOffscreenWithoutDisplay();
    DisplayPlatform::useNoGlIntegration();
    QString failure;
    try {
        return runSteps(argc, argv, runModes);
    } catch (const std::exception &e) {
        failure = QString::fromUtf8(e.what());
    }
    // Everything the steps built is gone; the box gets an application of its own.
    return showFatalError(argc, argv, failure, makeBoxFactory);
}

int ProcessEntry::runSteps(int &argc, char **argv, const RunModes &runModes)
{
    QDir::setCurrent(QStringLiteral("/"));
    // Qt's own generator, the one the random picks draw from; std::srand does not reach it.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    qsrand(static_cast<uint>(QTime::currentTime().msec()));
    QT_WARNING_POP
    qputenv("QT_BEARER_POLL_TIMEOUT", QByteArray::number(2000000000));
    QCoreApplication::setOrganizationName(QLatin1String(APPLICATION_NAME));
    QCoreApplication::setOrganizationDomain(QLatin1String(BuildConfig::organisationDomain));
    QCoreApplication::setApplicationName(QLatin1String(APPLICATION_NAME));
    if (Settings().getPixelRatioToggle()) {
        QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
        qputenv("QT_AUTO_SCREEN_SCALE_FACTOR", "1");
    }

    QApplication application(argc, argv);
    const QSharedPointer<AbstractMessageHandler> logHandler = makeLogHandler();
    Q_INIT_RESOURCE(vpnbackend);
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(progress);
    Q_INIT_RESOURCE(translations);
    qCDebug(lcGui) << "Working directory set to:" << QDir::currentPath();
    HelperBootstrap(QCoreApplication::applicationDirPath()).init_permissions();
    return runModes(application, argc, argv);
}

int ProcessEntry::showFatalError(int &argc, char **argv, const QString &what, const BoxFactoryMaker &makeBoxFactory)
{
    QApplication application(argc, argv);
    // Qt's own handler is back in place: this line reaches standard error.
    qCWarning(lcGui) << "Fatal error:" << what;
    // Without a display no one could ever close the box (a clean-up at boot).
    if (!DisplayPlatform::hasDisplay())
        return 1;
    MessageBoxFactory::setInstance(makeBoxFactory());
    const QSharedPointer<EventMessageCloser> closer(new NullEventMessageCloser);
    MessageBoxFactory::getInstance()->execMessageBox(nullptr, what, QMessageBox::Ok, MessageBoxFactory::Critical,
                                                     QString(), QString(), QMessageBox::NoButton, 0, closer.data());
    // The factory's icon must not outlive the application it was made with.
    MessageBoxFactory::setInstance({});
    return 1;
}
