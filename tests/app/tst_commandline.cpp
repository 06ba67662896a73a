#include "app/ProtocolLineBuffer.h"
#include "app/VpnBackendAbstractServer.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

// Runs the built OrvalVPN with its log sent to standard error.
namespace {
const QString PROGRAM = QStringLiteral(ORVAL_BUNDLE_DIR "/MacOS/OrvalVPN");

struct Run
{
    int exitCode = -100;
    QString out;
    QString err;
};

Run run(const QStringList &arguments, const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(PROGRAM, arguments);
    process.waitForFinished(60000);
    Run result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -200;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

struct RawClient
{
    QLocalSocket socket;
    ProtocolLineBuffer buffer;
    QStringList lines;

    RawClient()
    {
        QObject::connect(&socket, &QLocalSocket::readyRead, [this] { lines += buffer.append(socket.readAll()); });
        socket.connectToServer(VpnBackendAbstractServer::socketPath("OrvalVPN"));
    }
};
} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime;

    static QString settingsFile()
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/OrvalVPN/OrvalVPN.conf";
    }

    static void store(const QString &key, const QVariant &value)
    {
        QSettings settings(settingsFile(), QSettings::IniFormat);
        settings.setValue(key, value);
    }

    static QVariant stored(const QString &key) { return QSettings(settingsFile(), QSettings::IniFormat).value(key); }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(PROGRAM), qPrintable(PROGRAM));
        // The programs' single-instance folder lies under it.
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_runtime.path()));
    }

    void init()
    {
        QFile::remove(settingsFile());
        store("preferences/logHandlerOption", "StdErr");
    }

    void libraryTest()
    {
        const Run result = run({"--library-test"});
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.err.contains("\nTry to run OrvalVPN\n"), qPrintable(result.err));
        QVERIFY(result.err.contains("Working directory set to: \"/\""));
    }

    void logDestination_data()
    {
        QTest::addColumn<QVariant>("option");
        QTest::addColumn<QString>("lastStdErrLine");
        QTest::addColumn<bool>("toFile");
        QTest::newRow("standard error") << QVariant("StdErr") << "Try to run OrvalVPN" << false;
        QTest::newRow("none") << QVariant("None") << "NullMessageHandler: no log supported" << false;
        QTest::newRow("nothing stored") << QVariant() << "NullMessageHandler: no log supported" << false;
        QTest::newRow("file") << QVariant("File") << "FileMessageHandler: back to previous log message handler" << true;
    }

    void logDestination()
    {
        QFETCH(QVariant, option);
        QFETCH(QString, lastStdErrLine);
        QFETCH(bool, toFile);
        store("preferences/logHandlerOption", option);
        if (!option.isValid())
            QSettings(settingsFile(), QSettings::IniFormat).remove("preferences/logHandlerOption");
        const QString log =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/OrvalVPN/OrvalVPN/logs/log_0.txt";
        QFile::remove(log);

        const Run result = run({"--library-test"});
        QCOMPARE(result.exitCode, 0);
        QStringList lines = result.err.split('\n', Qt::SkipEmptyParts);
        lines.removeAll("QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-root'");
        QCOMPARE(lines.last(), lastStdErrLine);
        QFile file(log);
        QCOMPARE(file.open(QIODevice::ReadOnly), toFile);
        if (toFile)
            QVERIFY(file.readAll().contains("\nTry to run OrvalVPN\n"));
    }

    void helpTexts()
    {
        const Run result = run({"--help"});
        QCOMPARE(result.exitCode, 0);
        const QString help = result.out.simplified();
        for (const char *text :
             {"OrvalVPN command line.",
              "--library-test Try to run OrvalVPN in order to check that all libraries are installed in the machine.",
              "--cleanup Clean a possible dirty state.",
              "--settings <rewrite|reset> - rewrite: load, delete and rewrite the configuration file. It can solve "
              "some permission problems. - reset: reset the settings to default.",
              "--server-mode Run only the Server."})
            QVERIFY2(help.contains(QLatin1String(text)), text);
        QVERIFY2(result.out.contains("problems.\n"), "the two settings lines stay two lines");
    }

    void chosenMode_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::newRow("cleanup wins over server mode")
            << QStringList {"--server-mode", "--cleanup"} << 0 << "VpnBackend Command Line: execute option --cleanup";
        QTest::newRow("library test wins over all")
            << QStringList {"--settings", "reset", "--cleanup", "--library-test"} << 0 << "Try to run OrvalVPN";
        QTest::newRow("settings word is case-sensitive")
            << QStringList {"--settings", "Reset"} << 0
            << "Settings utility unknown option. Valid options are: \"rewrite|reset\"";
        QTest::newRow("settings without value")
            << QStringList {"--settings"} << 1 << "Missing value after '--settings'";
        QTest::newRow("unknown option") << QStringList {"--bogus"} << 1 << "Unknown option 'bogus'";
        // Without an option the GUI run starts: it changes the system, so it
        // runs only in the lab (tst_secondinstance_lab); without a display see below.
    }

    void chosenMode()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        const Run result = run(arguments);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.err.contains(output), qPrintable(result.err));
    }

    // At boot or over ssh there is no display: every run mode without a
    // window still works; the GUI run mode ends with one line saying why.
    void runModesWithoutDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::newRow("help") << QStringList {"--help"} << 0 << "OrvalVPN command line.";
        QTest::newRow("library test") << QStringList {"--library-test"} << 0 << "\nTry to run OrvalVPN\n";
        QTest::newRow("settings reset") << QStringList {"--settings", "reset"} << 0 << "\nSettings resetted.\n";
        QTest::newRow("cleanup") << QStringList {"--cleanup"} << 0
                                 << "\nVpnBackend Command Line: execute option --cleanup\n";
        QTest::newRow("GUI") << QStringList() << 1
                             << "\nOrvalVPN: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are "
                                "unset); the run modes without a window are listed by --help\n";
    }

    void runModesWithoutDisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        const Run result = run(arguments, environment);
        QCOMPARE(result.exitCode, exitCode);
        const QString both = "\n" + result.out + "\n" + result.err;
        QVERIFY2(both.count(output) == 1, qPrintable(both));
        // Neither Qt's complaint ("could not connect to display") nor the refusal.
        if (exitCode == 0)
            QVERIFY2(!both.contains("to display") && !both.contains("no display"), qPrintable(both));
    }

    void settingsReset()
    {
        store("preferences/auto-connect-on-startup", true);
        const Run result = run({"--settings", "reset"});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.err.contains("Settings resetted."));
        QVERIFY(!stored("preferences/auto-connect-on-startup").isValid());
    }

    void settingsRewrite()
    {
        store("preferences/auto-connect-on-startup", true);
        const Run result = run({"--settings", "rewrite"});
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.err.contains("Settings file recovered."), qPrintable(result.err));
        QCOMPARE(stored("preferences/auto-connect-on-startup").toBool(), true);
        QVERIFY(QFileInfo(settingsFile()).permissions() & QFileDevice::WriteOwner);
    }

    void everyRunMakesTheHelperSetUidFirst()
    {
        if (geteuid() != 0)
            QSKIP("the osascript stand-in only grants administrator rights to root");
        // A private bundle, so that the shared one keeps its helper.
        QTemporaryDir bundle;
        for (const char *dir : {"/MacOS", "/Helpers", "/Platform/bin"})
            QVERIFY(QDir().mkpath(bundle.path() + dir));
        QVERIFY(QFile::copy(PROGRAM, bundle.path() + "/MacOS/OrvalVPN"));
        QVERIFY(QFile::copy(QStringLiteral(ORVAL_BUNDLE_DIR "/Platform/bin/osascript"),
                            bundle.path() + "/Platform/bin/osascript"));
        const QString helper = bundle.path() + "/Helpers/Stelvane";
        QFile file(helper);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QCOMPARE(chown(helper.toUtf8().constData(), 65534, 65534), 0);
        QCOMPARE(chmod(helper.toUtf8().constData(), 0755), 0);

        QProcess process;
        process.start(bundle.path() + "/MacOS/OrvalVPN", {"--help"});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(process.readAllStandardError().contains("Invoking"));
        struct stat info
        {};
        QCOMPARE(stat(helper.toUtf8().constData(), &info), 0);
        QCOMPARE(info.st_uid, uid_t(0));
        QCOMPARE(info.st_gid, gid_t(0));
        QCOMPARE(info.st_mode & 07777, mode_t(04555));
    }

    void serverModeSpeaksTheProtocol()
    {
        QProcess server;
        server.start(PROGRAM, {"--server-mode"});
        QVERIFY(server.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(VpnBackendAbstractServer::socketPath("OrvalVPN")), 10000);

        RawClient first;
        QTRY_COMPARE(first.lines, QStringList({">HELLO FROM SERVER", ">FIRST_INSTANCE"}));

        const Run second = run({"--server-mode"});
        QCOMPARE(second.exitCode, 0);
        QVERIFY(second.err.contains("Another server instance is running. Close it before trying again..."));
        QTRY_COMPARE(first.lines.size(), 3);
        QCOMPARE(first.lines.last(), QStringLiteral(">GET_VISIBILITY"));

        RawClient refused;
        QTRY_COMPARE(refused.lines, QStringList({">HELLO FROM SERVER", ">SHUTDOWN_MULTIPLE_INSTANCES", ">BYE"}));
        QTRY_COMPARE(refused.socket.state(), QLocalSocket::UnconnectedState);

        first.socket.disconnectFromServer();
        QVERIFY(server.waitForFinished(10000));
        QCOMPARE(server.exitCode(), 0);
        const QString log = QString::fromUtf8(server.readAllStandardError());
        QVERIFY(log.contains("Starting VpnBackend Server..."));
        QVERIFY(log.contains("Last connection lost: shutDown the local server"));
    }

    // A server killed outright leaves its socket and lock behind; the next
    // start of the same user takes the name over.
    void killedServerDoesNotBlockTheNextStart()
    {
        const QString socket = VpnBackendAbstractServer::socketPath("OrvalVPN");
        QProcess killed;
        killed.start(PROGRAM, {"--server-mode"});
        QVERIFY(killed.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 10000);
        killed.kill();
        QVERIFY(killed.waitForFinished(10000));
        QVERIFY(QFile::exists(socket));
        QVERIFY(QFile::exists(socket + ".lock"));

        QProcess next;
        next.start(PROGRAM, {"--server-mode"});
        QVERIFY(next.waitForStarted());
        // Refused until the new server has removed the leftover and listens.
        QScopedPointer<RawClient> first;
        for (int attempt = 0; attempt < 100 && (!first || !first->socket.waitForConnected(1000)); ++attempt) {
            first.reset(new RawClient);
            QTest::qWait(100);
        }
        QTRY_COMPARE(first->lines, QStringList({">HELLO FROM SERVER", ">FIRST_INSTANCE"}));
        first->socket.disconnectFromServer();
        QVERIFY(next.waitForFinished(10000));
        QCOMPARE(next.exitCode(), 0);
        QVERIFY(QString::fromUtf8(next.readAllStandardError()).contains("Clean up previous server is needed"));
        QVERIFY(!QFile::exists(socket));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
