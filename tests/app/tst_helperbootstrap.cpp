#include "app/HelperBootstrap.h"

#include "BuildConfig.h"
#include "system/AppleScriptString.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const uid_t NOBODY = 65534;

bool isRoot()
{
    return geteuid() == 0;
}

void makeFile(const QString &path, mode_t mode, uid_t uid, gid_t gid)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    QCOMPARE(chown(path.toUtf8().constData(), uid, gid), 0);
    QCOMPARE(chmod(path.toUtf8().constData(), mode), 0);
}

struct stat statOf(const QString &path)
{
    struct stat info
    {};
    stat(path.toUtf8().constData(), &info);
    return info;
}

// A bundle whose directories hold the given name, with the platform's
// osascript stand-in and a helper that is not yet set-uid.
QString makeBundle(const QString &root, const QString &name)
{
    const QString contents = root + "/" + name + "/OrvalVPN.app/Contents";
    for (const char *dir : {"/MacOS", "/Helpers", "/Platform/bin"})
        QDir().mkpath(contents + dir);
    QFile::copy(QStringLiteral(ORVAL_PLATFORM_BIN_DIR "/osascript"), contents + "/Platform/bin/osascript");
    makeFile(contents + "/Helpers/Stelvane", 0755, NOBODY, NOBODY);
    return contents + "/MacOS";
}
} // namespace

class TestHelperBootstrap : public QObject
{
    Q_OBJECT

private slots:
    void scriptText()
    {
        const HelperBootstrap bootstrap("/Applications/OrvalVPN.app/Contents/MacOS");
        const QString group = QLatin1String(BuildConfig::adminGroup);
        QCOMPARE(
            bootstrap.arguments(),
            QStringList(
                {"-e", "do shell script \"cd '/Applications/OrvalVPN.app/Contents/MacOS/../Helpers' && chown    root:"
                           + group + " ./Stelvane && chmod 4555 ./Stelvane;\" with administrator privileges"}));
        QCOMPARE(bootstrap.helperPath(),
                 QStringLiteral("/Applications/OrvalVPN.app/Contents/MacOS/../Helpers/Stelvane"));
    }

    void quoting_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shell");
        QTest::addColumn<QString>("appleScript");
        QTest::newRow("plain") << "a b"
                               << "'a b'"
                               << "\"a b\"";
        QTest::newRow("single quote") << "it's"
                                      << "'it'\\''s'"
                                      << "\"it's\"";
        QTest::newRow("double quote") << "say \"x\""
                                      << "'say \"x\"'"
                                      << "\"say \\\"x\\\"\"";
        QTest::newRow("backslash") << "a\\b"
                                   << "'a\\b'"
                                   << "\"a\\\\b\"";
    }

    void quoting()
    {
        QFETCH(QString, text);
        QFETCH(QString, shell);
        QFETCH(QString, appleScript);
        QCOMPARE(HelperBootstrap::shellQuoted(text), shell);
        QCOMPARE(AppleScriptString::quoted(text), appleScript);
    }

    void fileIsSuid_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<uint>("uid");
        QTest::addColumn<uint>("gid");
        QTest::addColumn<bool>("suid");
        QTest::newRow("root 4555") << 04555 << 0u << 0u << true;
        QTest::newRow("root 4755") << 04755 << 0u << 0u << true;
        QTest::newRow("root 4777: others may rewrite it") << 04777 << 0u << 0u << false;
        QTest::newRow("root 4575: group may rewrite it") << 04575 << 0u << 0u << false;
        QTest::newRow("root 4557: others may rewrite it") << 04557 << 0u << 0u << false;
        QTest::newRow("root 0755: no set-uid bit") << 0755 << 0u << 0u << false;
        QTest::newRow("root 4554: others cannot run it") << 04554 << 0u << 0u << false;
        QTest::newRow("owner nobody") << 04555 << uint(NOBODY) << 0u << false;
        QTest::newRow("group nobody") << 04555 << 0u << uint(NOBODY) << false;
    }

    void fileIsSuid()
    {
        if (!isRoot())
            QSKIP("needs root to give files to root and nobody");
        QFETCH(int, mode);
        QFETCH(uint, uid);
        QFETCH(uint, gid);
        QFETCH(bool, suid);
        QTemporaryDir dir;
        const QString path = dir.filePath("Stelvane");
        makeFile(path, mode_t(mode), uid, gid);
        QCOMPARE(HelperBootstrap::file_is_suid(path), suid);
    }

    void missingFileIsNotSuid() { QVERIFY(!HelperBootstrap::file_is_suid("/nonexistent/Stelvane")); }

    void bootstrapMakesTheHelperSetUidRoot_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "Applications";
        QTest::newRow("blank") << "My Apps";
        QTest::newRow("single quote") << "it's";
        QTest::newRow("double quote") << "say \"x\" now";
        QTest::newRow("semicolon") << "a;touch injected;b";
        QTest::newRow("command substitution") << "$(touch injected)`touch injected`";
        QTest::newRow("quote break-out") << "x' ;touch injected; echo '";
        QTest::newRow("applescript break-out") << "x\\\" & (do shell script \\\"touch injected\\\") & \\\"";
    }

    void bootstrapMakesTheHelperSetUidRoot()
    {
        if (!isRoot())
            QSKIP("the osascript stand-in only grants administrator rights to root");
        QFETCH(QString, name);
        QTemporaryDir root;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(root.path());
        const QString appDir = makeBundle(root.path(), name);
        const HelperBootstrap bootstrap(appDir);

        bootstrap.init_permissions();
        QDir::setCurrent(previous);

        const struct stat info = statOf(bootstrap.helperPath());
        QCOMPARE(info.st_uid, uid_t(0));
        QCOMPARE(info.st_gid, gid_t(0));
        QCOMPARE(info.st_mode & 07777, mode_t(04555));
        QVERIFY(HelperBootstrap::file_is_suid(bootstrap.helperPath()));
        QVERIFY(!QFile::exists(root.filePath("injected")));
        QVERIFY(!QFile::exists(appDir + "/../Helpers/injected"));
    }

    void missingHelperDirectoryChangesNothingElse()
    {
        if (!isRoot())
            QSKIP("the osascript stand-in only grants administrator rights to root");
        QTemporaryDir root;
        const QString appDir = makeBundle(root.path(), "bundle");
        QVERIFY(QDir(appDir + "/../Helpers").removeRecursively());
        // The prompt's shell starts in the caller's directory, which holds another Stelvane.
        makeFile(root.filePath("Stelvane"), 0755, NOBODY, NOBODY);
        const QString previous = QDir::currentPath();
        QDir::setCurrent(root.path());
        HelperBootstrap(appDir).init_permissions();
        QDir::setCurrent(previous);
        const struct stat other = statOf(root.filePath("Stelvane"));
        QCOMPARE(other.st_uid, NOBODY);
        QCOMPARE(other.st_mode & 07777, mode_t(0755));
    }

    void preparedHelperSkipsThePrompt()
    {
        if (!isRoot())
            QSKIP("needs root to make a set-uid root helper");
        QTemporaryDir root;
        const QString appDir = makeBundle(root.path(), "bundle");
        const QString helper = appDir + "/../Helpers/Stelvane";
        QCOMPARE(chown(helper.toUtf8().constData(), 0, 0), 0);
        QCOMPARE(chmod(helper.toUtf8().constData(), 04755), 0);
        // A prompt that would leave a trace if it ran.
        const QString prompt = appDir + "/../Platform/bin/osascript";
        QFile::remove(prompt);
        QFile script(prompt);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\ntouch \"$0.ran\"\n");
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));

        HelperBootstrap(appDir).init_permissions();

        QVERIFY(!QFile::exists(prompt + ".ran"));
        QCOMPARE(statOf(helper).st_mode & 07777, mode_t(04755));
    }
};

QTEST_GUILESS_MAIN(TestHelperBootstrap)
#include "tst_helperbootstrap.moc"
