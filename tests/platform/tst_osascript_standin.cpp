#include "system/MacOSXAbstractionImpl.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

using Script = MacOSXAbstractionImpl::LoginItemScript;

struct Run
{
    int exitCode = -1;
    QByteArray output;
};

// The Exec key's one argument as a desktop session reads it: string escapes
// first, then the quoting, then the field-code escape.
QString execArgument(QString value)
{
    value.replace(QLatin1String("\\\\"), QLatin1String("\\"));
    if (!value.startsWith('"') || !value.endsWith('"'))
        return QStringLiteral("unquoted: ") + value;
    QString argument;
    for (int i = 1; i < value.size() - 1; ++i) {
        if (value[i] == '\\' && i + 1 < value.size() - 1)
            ++i;
        argument += value[i];
    }
    return argument.replace(QLatin1String("%%"), QLatin1String("%"));
}

} // namespace

// The osascript stand-in keeps the login items the client asks for, with the
// very scripts the system layer sends, as XDG autostart entries.
class TestOsascriptStandIn : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

    QString autostartDir() const { return m_home.filePath("config/autostart"); }
    QString entryPath() const { return autostartDir() + "/OrvalVPN.desktop"; }

    Run osascript(const QString &script) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", m_home.path());
        environment.insert("XDG_CONFIG_HOME", m_home.filePath("config"));
        process.setProcessEnvironment(environment);
        process.start(ORVAL_OSASCRIPT, {"-e", script});
        if (!process.waitForFinished(30000))
            return {};
        return {process.exitCode(), process.readAllStandardOutput()};
    }

    Run loginItem(Script kind, const QString &applicationDir, const QString &name = "OrvalVPN") const
    {
        return osascript(MacOSXAbstractionImpl::loginItemScript(kind, name, applicationDir));
    }

    bool listed(const QString &name = "OrvalVPN") const
    {
        const Run run = loginItem(Script::List, QString());
        return run.exitCode == 0 && MacOSXAbstractionImpl::listsLoginItem(run.output, name);
    }

    // A bundle as the build makes it, under a directory of the given name;
    // returns its executable's directory.
    QString makeBundle(const QString &where) const
    {
        const QString contents = m_home.filePath(where + "/OrvalVPN.app/Contents");
        QDir().mkpath(contents + "/MacOS");
        QFile::copy(ORVAL_BUNDLE_DIR "/Info.plist", contents + "/Info.plist");
        QFile executable(contents + "/MacOS/OrvalVPN");
        executable.open(QIODevice::WriteOnly);
        executable.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return contents + "/MacOS";
    }

    QMap<QString, QString> entryKeys() const
    {
        QMap<QString, QString> keys;
        QFile entry(entryPath());
        if (!entry.open(QIODevice::ReadOnly))
            return keys;
        const QStringList lines = QString::fromUtf8(entry.readAll()).split('\n', Qt::SkipEmptyParts);
        for (const QString &line : lines) {
            const int equals = line.indexOf('=');
            keys.insert(equals < 0 ? line : line.left(equals), equals < 0 ? QString() : line.mid(equals + 1));
        }
        return keys;
    }

private slots:
    void init()
    {
        QVERIFY(m_home.isValid());
        QDir(autostartDir()).removeRecursively();
    }

    void addQueryAndRemove()
    {
        const QString applicationDir = makeBundle("Applications");
        QVERIFY(!listed());

        QCOMPARE(loginItem(Script::Add, applicationDir).exitCode, 0);
        QVERIFY(listed());
        const QMap<QString, QString> keys = entryKeys();
        QCOMPARE(keys.value("[Desktop Entry]"), QString());
        QCOMPARE(keys.value("Type"), QStringLiteral("Application"));
        QCOMPARE(keys.value("Name"), QStringLiteral("OrvalVPN"));
        QCOMPARE(execArgument(keys.value("Exec")), QDir(applicationDir).canonicalPath() + "/OrvalVPN");

        QCOMPARE(loginItem(Script::Add, applicationDir).exitCode, 0);
        QCOMPARE(QDir(autostartDir()).entryList(QDir::Files | QDir::Hidden), QStringList {"OrvalVPN.desktop"});

        QCOMPARE(loginItem(Script::Remove, applicationDir).exitCode, 0);
        QVERIFY(!QFile::exists(entryPath()));
        QVERIFY(!listed());
        QCOMPARE(loginItem(Script::Remove, applicationDir).exitCode, 1);
    }

    // The session must start exactly this executable, wherever the bundle lies.
    void execNamesTheBundlesExecutable_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("blank") << "My Apps";
        QTest::newRow("quote, dollar, back-tick") << "a\"b$HOME`id`";
        QTest::newRow("backslash and percent") << "x\\y%f 100%";
    }

    void execNamesTheBundlesExecutable()
    {
        QFETCH(QString, where);
        const QString applicationDir = makeBundle(where);
        QCOMPARE(loginItem(Script::Add, applicationDir).exitCode, 0);
        QCOMPARE(execArgument(entryKeys().value("Exec")), QDir(applicationDir).canonicalPath() + "/OrvalVPN");
    }

    void otherProgramsItemsAreListedToo()
    {
        QDir().mkpath(autostartDir());
        for (const char *other : {"zeta.desktop", "OrvalVPN-beta.desktop", "gone.desktop"}) {
            QFile entry(autostartDir() + '/' + other);
            QVERIFY(entry.open(QIODevice::WriteOnly));
            entry.write(QByteArray("[Desktop Entry]\nType=Application\n")
                        + (qstrcmp(other, "gone.desktop") == 0 ? "Hidden=true\n" : ""));
        }
        QCOMPARE(loginItem(Script::List, QString()).output, QByteArray("OrvalVPN-beta, zeta\n"));
        QVERIFY(!listed());
        QCOMPARE(loginItem(Script::Add, makeBundle("Applications")).exitCode, 0);
        QCOMPARE(loginItem(Script::List, QString()).output, QByteArray("OrvalVPN, OrvalVPN-beta, zeta\n"));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("script");
        const QString events = "tell application \"System Events\" to ";
        QTest::newRow("name with a path") << MacOSXAbstractionImpl::loginItemScript(Script::Add, "../evil", "/tmp");
        QTest::newRow("no bundle") << MacOSXAbstractionImpl::loginItemScript(Script::Add, "OrvalVPN", "/tmp/a/b");
        QTest::newRow("delete with a path") << events + "delete login item \"../config\"";
        QTest::newRow("other property")
            << events + "make login item at end with properties {name:\"x\",path:\"/\",kind:1}";
        QTest::newRow("unterminated name") << events + "delete login item \"OrvalVPN";
        QTest::newRow("other command") << events + "delete every login item";
        QTest::newRow("other application") << "tell application \"Finder\" to get the name of every login item";
    }

    void refusals()
    {
        QFETCH(QString, script);
        QCOMPARE(osascript(script).exitCode, 1);
        QVERIFY(!QDir(autostartDir()).exists() || QDir(autostartDir()).isEmpty());
    }

    void administratorScriptStillRuns()
    {
        if (geteuid() != 0)
            QSKIP("the stand-in grants administrator rights to root only");
        const Run run = osascript("do shell script \"printf '%s' \\\"a b\\\"\" with administrator privileges");
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.output, QByteArray("a b\n"));
    }
};

QTEST_GUILESS_MAIN(TestOsascriptStandIn)
#include "tst_osascript_standin.moc"
