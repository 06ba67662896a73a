#include "Lab.h"

#include "core/LogHandlerOption.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// Two real OrvalVPN processes with one home: the second is refused and leaves
// the first one's stored usage statistics as they were.
class TestSecondInstance : public QObject
{
    Q_OBJECT

private slots:
    void refusedSecondInstanceKeepsTheStatistics();

private:
    static QVariant storedStatistics(const QString &settingsFile)
    {
        return Settings(settingsFile).value(UserStatistics::USER_STATISTICS);
    }
};

void TestSecondInstance::refusedSecondInstanceKeepsTheStatistics()
{
    if (!Lab::isActive())
        QSKIP("Runs only inside the lab: the GUI run sets the name servers.");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString contents =
        Lab::makeBundle(QStringLiteral(ORVAL_BUNDLE_DIR), dir.path(), "OrvalVPN", QStringLiteral(ORVAL_PRODUCT_PROGRAM),
                        {"Info.plist", "Platform", "Resources", "Helpers"});
    QVERIFY(!contents.isEmpty());
    const QString home = dir.path() + "/home";
    const QString settingsFile = home + "/.config/OrvalVPN/OrvalVPN.conf";
    QVERIFY(QDir().mkpath(dir.path() + "/run"));
    QVERIFY(QFile::setPermissions(dir.path() + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    {
        Settings settings(settingsFile);
        settings.setLogHandlerOption(LogHandlerOption::StdErrHandler());
        UserStatistics statistics;
        statistics.addOneUsageToServer(QStringLiteral("de-Berlin"));
        statistics.addOneUsageToServer(QStringLiteral("de-Berlin"));
        settings.saveUserStatistics(statistics);
    }
    const QVariant seeded = storedStatistics(settingsFile);
    QVERIFY(seeded.isValid());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home);
    environment.insert("XDG_CONFIG_HOME", home + "/.config");
    environment.insert("XDG_DATA_HOME", home + "/.local/share");
    environment.insert("XDG_CACHE_HOME", home + "/.cache");
    environment.insert("XDG_RUNTIME_DIR", dir.path() + "/run");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.remove("DISPLAY");
    const QString program = contents + "/MacOS/OrvalVPN";

    QProcess first;
    first.setProcessEnvironment(environment);
    first.setProcessChannelMode(QProcess::MergedChannels);
    first.start(program, QStringList());
    QByteArray firstLog;
    QTRY_VERIFY2_WITH_TIMEOUT((firstLog += first.readAll()).contains("OrvalVPN  v0.5.10"), firstLog.constData(), 60000);

    QProcess second;
    second.setProcessEnvironment(environment);
    second.setProcessChannelMode(QProcess::MergedChannels);
    second.start(program, QStringList());
    QVERIFY(second.waitForFinished(60000));
    const QByteArray secondLog = second.readAll();
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 1);
    QVERIFY2(secondLog.contains("Runnable can not be constructed - error: \"Error: client server negotiation failed. "
                                "Please check the log for more details\" - exitCode: 1"),
             secondLog.constData());

    QCOMPARE(first.state(), QProcess::Running);
    QCOMPARE(storedStatistics(settingsFile), seeded);

    // SIGTERM runs the clean-up in place of the first instance; it ends by
    // itself, and takes the name and the lock that its old image left.
    const QString socket = dir.path() + "/run/OrvalVPN-Service";
    QVERIFY(QFile::exists(socket) && QFile::exists(socket + ".lock"));
    ::kill(pid_t(first.processId()), SIGTERM);
    QVERIFY(first.waitForFinished(60000));
    QCOMPARE(first.exitCode(), 0);
    QVERIFY(!QFile::exists(socket));
    QVERIFY(!QFile::exists(socket + ".lock"));
}

QTEST_GUILESS_MAIN(TestSecondInstance)
#include "tst_secondinstance_lab.moc"
