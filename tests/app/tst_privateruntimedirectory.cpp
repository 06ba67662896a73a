#include "app/PrivateRuntimeDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString APPLICATION = QStringLiteral("OrvalVPN");
const QString SOCKET = QStringLiteral("OrvalVPN-Service");
const uid_t OTHER_USER = 65534;

struct Entry
{
    uid_t owner = 0;
    mode_t mode = 0;
    bool operator==(const Entry &other) const { return owner == other.owner && mode == other.mode; }
};

Entry entryAt(const QString &path)
{
    struct stat st
    {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? Entry {st.st_uid, st.st_mode} : Entry {};
}

bool makeFolder(const QString &path, mode_t mode, uid_t owner)
{
    const QByteArray native = QFile::encodeName(path);
    return ::mkdir(native.constData(), mode) == 0 && ::chmod(native.constData(), mode) == 0
           && ::chown(native.constData(), owner, owner) == 0;
}

// Puts an entry of the given kind at `path`: "private" (this user's, 0700),
// "open" (this user's, 0755), "writable" (this user's, 0777), "sticky" (this
// user's, 01777), "others" (another user's, 0755), "link" (this user's link
// to a private folder elsewhere), "others' link" (another user's link to
// one), "file", "fifo", or nothing ("missing").
bool make(const QString &path, const QString &kind, const QString &scratch)
{
    const QByteArray native = QFile::encodeName(path);
    if (kind == "missing")
        return true;
    if (kind == "file") {
        QFile file(path);
        return file.open(QIODevice::WriteOnly);
    }
    if (kind == "fifo")
        return ::mkfifo(native.constData(), 0600) == 0;
    if (kind == "link" || kind == "others' link") {
        const QString target = scratch + "/target-" + QFileInfo(path).fileName();
        const QByteArray linked = QFile::encodeName(target);
        return makeFolder(target, 0700, geteuid()) && ::symlink(linked.constData(), native.constData()) == 0
               && (kind == "link" || ::lchown(native.constData(), OTHER_USER, OTHER_USER) == 0);
    }
    const QMap<QString, mode_t> modes {
        {"private", 0700}, {"open", 0755}, {"writable", 0777}, {"sticky", 01777}, {"others", 0755}};
    return modes.contains(kind) && makeFolder(path, modes.value(kind), kind == "others" ? OTHER_USER : geteuid());
}
} // namespace

class TestPrivateRuntimeDirectory : public QObject
{
    Q_OBJECT

    QString m_scratch;
    const QByteArray m_home = qgetenv("HOME");
    const QByteArray m_temporary = qgetenv("TMPDIR");

    // The names an earlier version took in the shared temporary folder.
    static QStringList oldNames(const QString &temporary)
    {
        const QString base = temporary + '/' + APPLICATION + '-' + QString::number(geteuid());
        return {base, base + "-1", base + "-2", base + "-3"};
    }

    QString path(const QString &name) const { return m_scratch + '/' + name; }

private slots:
    void cleanup()
    {
        qputenv("HOME", m_home);
        if (m_temporary.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", m_temporary);
        qunsetenv("XDG_RUNTIME_DIR");
        qunsetenv("XDG_CACHE_HOME");
    }

    // The runtime folder when it is private; else the cache folder, built
    // under $HOME or $XDG_CACHE_HOME. What lies in the shared temporary
    // folder is neither used nor changed.
    void locate_data()
    {
        QTest::addColumn<QString>("runtime");  // XDG_RUNTIME_DIR: a kind for make(), "unset", "relative",
                                               // "under open" (private, in a folder open to all) or "long"
        QTest::addColumn<QString>("place");    // "home", "cache" (home/.cache), "folder" (its OrvalVPN-run),
                                               // "cache home" (XDG_CACHE_HOME) or "" for none
        QTest::addColumn<QString>("kind");     // what lies there
        QTest::addColumn<QString>("expected"); // "runtime", "folder", "cache home" or a reason for none

        QTest::newRow("own runtime folder") << "private"
                                            << ""
                                            << ""
                                            << "runtime";
        QTest::newRow("runtime folder open to others") << "open"
                                                       << ""
                                                       << ""
                                                       << "folder";
        QTest::newRow("another user's runtime folder") << "others"
                                                       << ""
                                                       << ""
                                                       << "folder";
        QTest::newRow("runtime folder through a link") << "link"
                                                       << ""
                                                       << ""
                                                       << "folder";
        QTest::newRow("runtime folder is a file") << "file"
                                                  << ""
                                                  << ""
                                                  << "folder";
        QTest::newRow("runtime folder missing") << "missing"
                                                << ""
                                                << ""
                                                << "folder";
        QTest::newRow("relative runtime folder") << "relative"
                                                 << ""
                                                 << ""
                                                 << "folder";
        QTest::newRow("runtime folder in a folder open to others") << "under open"
                                                                   << ""
                                                                   << ""
                                                                   << "folder";
        QTest::newRow("runtime folder too deep for a socket") << "long"
                                                              << ""
                                                              << ""
                                                              << "folder";
        QTest::newRow("no runtime folder") << "unset"
                                           << ""
                                           << ""
                                           << "folder";

        QTest::newRow("home missing") << "unset"
                                      << "home"
                                      << "missing"
                                      << "folder";
        QTest::newRow("home private") << "unset"
                                      << "home"
                                      << "private"
                                      << "folder";
        QTest::newRow("home sticky") << "unset"
                                     << "home"
                                     << "sticky"
                                     << "folder";
        QTest::newRow("home through own link") << "unset"
                                               << "home"
                                               << "link"
                                               << "folder";
        QTest::newRow("home writable by others") << "unset"
                                                 << "home"
                                                 << "writable"
                                                 << "%home is writable by others than its owner (mode 0777)";
        QTest::newRow("home of another user") << "unset"
                                              << "home"
                                              << "others"
                                              << "%home belongs to another user (uid 65534)";
        QTest::newRow("home through another user's link") << "unset"
                                                          << "home"
                                                          << "others' link"
                                                          << "%home is a link of another user (uid 65534)";
        QTest::newRow("home is a file") << "unset"
                                        << "home"
                                        << "file"
                                        << "%home is not a folder";
        QTest::newRow("cache folder of another user") << "unset"
                                                      << "cache"
                                                      << "others"
                                                      << "%home/.cache belongs to another user (uid 65534)";
        QTest::newRow("cache folder through own link") << "unset"
                                                       << "cache"
                                                       << "link"
                                                       << "folder";
        QTest::newRow("own folder again") << "unset"
                                          << "folder"
                                          << "private"
                                          << "folder";
        QTest::newRow("own folder open to reading") << "unset"
                                                    << "folder"
                                                    << "open"
                                                    << "folder";
        QTest::newRow("own folder writable by others")
            << "unset"
            << "folder"
            << "writable"
            << "%home/.cache/OrvalVPN-run is writable by others than you (mode 0777)";
        QTest::newRow("folder of another user") << "unset"
                                                << "folder"
                                                << "others"
                                                << "%home/.cache/OrvalVPN-run belongs to another user (uid 65534)";
        QTest::newRow("folder is a link") << "unset"
                                          << "folder"
                                          << "link"
                                          << "%home/.cache/OrvalVPN-run is a link";
        QTest::newRow("folder is a file") << "unset"
                                          << "folder"
                                          << "file"
                                          << "%home/.cache/OrvalVPN-run is not a folder";
        QTest::newRow("folder is a fifo") << "unset"
                                          << "folder"
                                          << "fifo"
                                          << "%home/.cache/OrvalVPN-run is not a folder";
        QTest::newRow("cache home private") << "unset"
                                            << "cache home"
                                            << "private"
                                            << "cache home";
        QTest::newRow("cache home of another user") << "unset"
                                                    << "cache home"
                                                    << "others"
                                                    << "%scratch/xdg-cache belongs to another user (uid 65534)";
    }

    void locate()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, place);
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        if ((runtime == "others" || kind.startsWith("others")) && geteuid() != 0)
            QSKIP("making another user's entry needs root");
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        m_scratch = scratch.path();

        // Open to all, as /tmp is, and taken by another user first where that can be made so.
        const QString temporary = path("tmp");
        QVERIFY(makeFolder(temporary, 01777, geteuid()));
        qputenv("TMPDIR", QFile::encodeName(temporary));
        const QStringList squatKinds {geteuid() == 0 ? "others" : "open", "file", "link", "fifo"};
        QMap<QString, Entry> squats;
        for (int i = 0; i < squatKinds.size(); ++i) {
            QVERIFY(make(oldNames(temporary).at(i), squatKinds.at(i), m_scratch));
            squats.insert(oldNames(temporary).at(i), entryAt(oldNames(temporary).at(i)));
        }

        QString runtimeDir = path("run");
        if (runtime == "unset") {
            qunsetenv("XDG_RUNTIME_DIR");
        } else if (runtime == "relative") {
            qputenv("XDG_RUNTIME_DIR", "run");
        } else {
            if (runtime == "under open") {
                QVERIFY(make(path("open"), "writable", m_scratch));
                runtimeDir = path("open/run");
            } else if (runtime == "long") {
                runtimeDir = path(QString(110 - m_scratch.size(), 'r'));
            }
            QVERIFY(make(runtimeDir, runtime == "under open" || runtime == "long" ? "private" : runtime, m_scratch));
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir));
        }

        const QString home = path("home");
        const QMap<QString, QString> places {{"home", home},
                                             {"cache", home + "/.cache"},
                                             {"folder", home + "/.cache/OrvalVPN-run"},
                                             {"cache home", path("xdg-cache")}};
        for (const QString &above : {QString("home"), QString("cache")}) {
            if (above == place)
                break;
            QVERIFY(make(places.value(above), "open", m_scratch));
        }
        if (!place.isEmpty())
            QVERIFY(make(places.value(place), kind, m_scratch));
        const Entry placed = entryAt(places.value(place));
        qputenv("HOME", QFile::encodeName(home));
        if (place == "cache home")
            qputenv("XDG_CACHE_HOME", QFile::encodeName(places.value(place)));
        else
            qunsetenv("XDG_CACHE_HOME");

        const PrivateRuntimeDirectory located(APPLICATION, SOCKET);

        // Resolved: the folders reached through links, not the links.
        const QMap<QString, QString> paths {
            {"runtime", runtimeDir},
            {"folder", QFileInfo(home + "/.cache").canonicalFilePath() + "/OrvalVPN-run"},
            {"cache home", places.value("cache home") + "/OrvalVPN-run"}};
        if (paths.contains(expected)) {
            QCOMPARE(located.path(), paths.value(expected));
            QCOMPARE(located.socketPath(), located.path() + '/' + SOCKET);
            QVERIFY(located.problem().isEmpty());
            QVERIFY(PrivateRuntimeDirectory::isPrivate(located.path()));
        } else {
            QVERIFY(located.path().isEmpty());
            QVERIFY(located.socketPath().isEmpty());
            const QString reason = QString(expected).replace("%home", home).replace("%scratch", m_scratch);
            QVERIFY2(located.problem().startsWith("OrvalVPN cannot start: it has no private folder for its "
                                                  "single-instance socket: XDG_RUNTIME_DIR is not set; "),
                     qPrintable(located.problem()));
            QVERIFY2(located.problem().contains(reason), qPrintable(located.problem()));
            // What was in the way is neither used nor changed.
            QVERIFY(entryAt(places.value(place)) == placed);
        }
        for (auto it = squats.cbegin(); it != squats.cend(); ++it)
            QVERIFY2(entryAt(it.key()) == it.value(), qPrintable(it.key()));
        QCOMPARE(QDir(temporary).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size(),
                 squats.size());
    }

    // A folder made under a strict umask still ends up private, not skipped,
    // and so does a cache folder made on the way.
    void strictUmaskStillGivesAPrivateFolder()
    {
        QTemporaryDir cache;
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.filePath("new/cache")));
        qunsetenv("XDG_RUNTIME_DIR");
        const mode_t previous = ::umask(0277);
        const PrivateRuntimeDirectory located(APPLICATION, SOCKET);
        ::umask(previous);
        QCOMPARE(located.path(), cache.filePath("new/cache/OrvalVPN-run"));
        QCOMPARE(entryAt(located.path()).mode, mode_t(S_IFDIR | 0700));
        QCOMPARE(entryAt(cache.filePath("new/cache")).mode, mode_t(S_IFDIR | 0700));
    }
};

QTEST_GUILESS_MAIN(TestPrivateRuntimeDirectory)
#include "tst_privateruntimedirectory.moc"
