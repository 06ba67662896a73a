#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

// The real program run as an ordinary user with a home of its own, while
// another ordinary user (nobody) has taken names first in the temporary
// folder that all share, as /tmp is: the single-instance socket lives where
// only its user can put anything, and where there is no such place the
// program says why and ends.
namespace {
constexpr uid_t CLIENT = 4243;
constexpr uid_t SQUATTER = 65534;
const QString MESSAGE =
    QStringLiteral("OrvalVPN cannot start: it has no private folder for its single-instance socket: "
                   "XDG_RUNTIME_DIR is not set; the cache folder ");

QStringList asUser(uid_t uid, const QString &program)
{
    return {QStringLiteral("--reuid=%1").arg(uid), QStringLiteral("--regid=%1").arg(uid),
            QStringLiteral("--clear-groups"), program};
}

bool makeFolder(const QString &path, uid_t owner, mode_t mode)
{
    const QByteArray native = QFile::encodeName(path);
    return QDir().mkpath(path) && ::chown(native.constData(), owner, owner) == 0
           && ::chmod(native.constData(), mode) == 0;
}

struct Entry
{
    uid_t owner = 0;
    mode_t mode = 0;
    bool operator==(const Entry &other) const { return owner == other.owner && mode == other.mode; }
};

// Owner, type and mode of everything in `folder`, links not followed.
QMap<QString, Entry> entries(const QString &folder)
{
    QMap<QString, Entry> found;
    for (const QString &name : QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        struct stat st
        {};
        if (::lstat(QFile::encodeName(folder + '/' + name).constData(), &st) == 0)
            found.insert(name, Entry {st.st_uid, st.st_mode});
    }
    return found;
}
} // namespace

class TestSingleInstanceUser : public QObject
{
    Q_OBJECT

    // Short: the socket's path must fit a local socket's address.
    QTemporaryDir m_base {QDir::tempPath() + "/su-XXXXXX"};
    QString m_program;
    // Each test's own folders, open for the two users to go through.
    int m_cases = 0;
    QString m_case;
    QString m_shared;
    QString m_home;
    QString m_data;

    // Runs the program as the client user with its own home and settings,
    // no runtime folder, no display and the shared folder as its temporary
    // folder; its cache folder is under the home unless `cacheHome` is given.
    void start(QProcess &process, const QStringList &arguments, const QString &cacheHome = QString())
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"XDG_RUNTIME_DIR", "XDG_CACHE_HOME", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        environment.insert("HOME", m_home);
        environment.insert("XDG_CONFIG_HOME", m_data + "/config");
        environment.insert("XDG_DATA_HOME", m_data + "/data");
        environment.insert("TMPDIR", m_shared);
        if (!cacheHome.isEmpty())
            environment.insert("XDG_CACHE_HOME", cacheHome);
        process.setProcessEnvironment(environment);
        process.start("setpriv", asUser(CLIENT, m_program) + arguments);
    }

    // What the other user does first, as that user: a shell script run in
    // the shared folder.
    static bool squat(const QString &folder, const QString &script)
    {
        QProcess shell;
        shell.setWorkingDirectory(folder);
        shell.start("setpriv", asUser(SQUATTER, "sh") + QStringList {"-ec", script});
        return shell.waitForFinished(10000) && shell.exitStatus() == QProcess::NormalExit && shell.exitCode() == 0;
    }

    QString logFile() const { return m_data + "/data/OrvalVPN/OrvalVPN/logs/log_0.txt"; }

    bool storeLogOption(const QString &option) const
    {
        {
            QSettings settings(m_data + "/config/OrvalVPN/OrvalVPN.conf", QSettings::IniFormat);
            settings.setValue("preferences/logHandlerOption", option);
        }
        QProcess chown;
        chown.start("chown", {"-R", QStringLiteral("%1:%1").arg(CLIENT), m_data});
        return chown.waitForFinished(10000) && chown.exitCode() == 0;
    }

private slots:
    void initTestCase()
    {
        if (::geteuid() != 0 || QStandardPaths::findExecutable("setpriv").isEmpty())
            QSKIP("needs root and setpriv to run the program as two ordinary users");
        QVERIFY(m_base.isValid());
        QCOMPARE(::chmod(QFile::encodeName(m_base.path()).constData(), 0755), 0);
        // A copy the client user can run wherever the build tree lies; its
        // bundle has no helper to make set-uid.
        QVERIFY(QDir().mkpath(m_base.filePath("MacOS")));
        m_program = m_base.filePath("MacOS/OrvalVPN");
        QVERIFY(QFile::copy(QStringLiteral(ORVAL_PRODUCT_PROGRAM), m_program));
        QCOMPARE(::chmod(QFile::encodeName(m_program).constData(), 0755), 0);
    }

    void init()
    {
        m_case = m_base.filePath(QString::number(++m_cases));
        m_shared = m_case + "/tmp";
        m_home = m_case + "/home";
        m_data = m_case + "/data";
        QVERIFY(makeFolder(m_case, 0, 0755));
        QVERIFY(makeFolder(m_shared, 0, 01777));
        QVERIFY(makeFolder(m_home, CLIENT, 0755));
        QVERIFY(makeFolder(m_data, CLIENT, 0700));
    }

    // The names an earlier version used in the temporary folder, taken by the
    // other user first in every form: the client starts all the same, takes
    // its name in its own home, and a second start meets it there.
    void oldNamesTakenFirstDoNotStopTheClient()
    {
        QVERIFY(storeLogOption("StdErr"));
        const QString old = QStringLiteral("OrvalVPN-%1").arg(CLIENT);
        QVERIFY(squat(m_shared, QStringLiteral("mkdir %1; : > %1-1; ln -s / %1-2; mkfifo %1-3").arg(old)));
        const QMap<QString, Entry> squatted = entries(m_shared);
        QCOMPARE(squatted.size(), 4);

        QProcess first;
        start(first, {"--server-mode"});
        const QString folder = m_home + "/.cache/OrvalVPN-run";
        const QString socket = folder + "/OrvalVPN-Service";
        QTRY_VERIFY2_WITH_TIMEOUT(QFileInfo(socket).exists() || first.state() == QProcess::NotRunning,
                                  qPrintable(socket), 20000);
        QVERIFY2(first.state() == QProcess::Running, first.readAllStandardError().constData());
        struct stat st
        {};
        QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &st), 0);
        QCOMPARE(st.st_uid, CLIENT);
        QCOMPARE(st.st_mode, mode_t(S_IFDIR | 0700));
        QVERIFY(QFileInfo::exists(socket + ".lock"));

        // The second start finds the first one through the same name and
        // leaves; the first one ends with its last connection, the probe.
        QProcess second;
        start(second, {"--server-mode"});
        QVERIFY(second.waitForFinished(30000));
        const QByteArray secondLog = second.readAllStandardError();
        QCOMPARE(second.exitCode(), 0);
        QVERIFY2(secondLog.contains("Another server instance is running."), secondLog.constData());
        QVERIFY(first.waitForFinished(30000));
        QCOMPARE(first.exitCode(), 0);
        QVERIFY(first.readAllStandardError().contains("Last connection lost: shutDown the local server"));
        QVERIFY(!QFileInfo::exists(socket));

        // What the other user put there is as it was, and nothing was added
        // under the program's name.
        const QMap<QString, Entry> after = entries(m_shared);
        for (auto it = squatted.cbegin(); it != squatted.cend(); ++it)
            QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));
        for (const QString &name : after.keys())
            QVERIFY2(squatted.contains(name) || !name.startsWith("OrvalVPN"), qPrintable(name));
    }

    // A home, or a cache folder, that another user can change or has taken
    // gives no private folder: the program says why, on standard error and
    // in its log, and ends with 1 rather than in silence.
    void unusableHomeIsTold_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("reason");
        QTest::newRow("home writable by others") << "open home"
                                                 << "%home is writable by others than its owner (mode 0777)";
        QTest::newRow("home of another user") << "others' home"
                                              << "%home belongs to another user (uid 65534)";
        QTest::newRow("home a link of another user") << "others' link"
                                                     << "%tmp/home is a link of another user (uid 65534)";
        QTest::newRow("cache folder taken first") << "others' cache"
                                                  << "%tmp/cache belongs to another user (uid 65534)";
        QTest::newRow("socket path too long")
            << "long home"
            << "the socket's path %home/.cache/OrvalVPN-run/OrvalVPN-Service is longer than the 107 bytes";
    }

    void unusableHomeIsTold()
    {
        QFETCH(QString, setup);
        QFETCH(QString, reason);
        QVERIFY(storeLogOption("File"));
        QString cacheHome;
        if (setup == "open home") {
            QCOMPARE(::chmod(QFile::encodeName(m_home).constData(), 0777), 0);
        } else if (setup == "others' home") {
            QVERIFY(makeFolder(m_home, SQUATTER, 0755));
        } else if (setup == "others' link") {
            QVERIFY(squat(m_shared, "ln -s " + m_home + " home"));
            m_home = m_shared + "/home";
        } else if (setup == "others' cache") {
            QVERIFY(squat(m_shared, "mkdir cache"));
            cacheHome = m_shared + "/cache";
        } else {
            m_home = m_case + '/' + QString(120 - m_case.size(), 'h');
            QVERIFY(makeFolder(m_home, CLIENT, 0755));
        }
        reason.replace("%home", m_home).replace("%tmp", m_shared);

        QProcess client;
        start(client, {"--server-mode"}, cacheHome);
        QVERIFY(client.waitForFinished(30000));
        const QString error = QString::fromLocal8Bit(client.readAllStandardError());
        QCOMPARE(client.exitStatus(), QProcess::NormalExit);
        QCOMPARE(client.exitCode(), 1);
        QVERIFY2(error.contains(MESSAGE) && error.contains(reason), qPrintable(error));
        QFile log(logFile());
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString logged = QString::fromUtf8(log.readAll());
        QVERIFY2(logged.contains(MESSAGE) && logged.contains(reason), qPrintable(logged));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstanceUser)
#include "tst_singleinstance_user.moc"
