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
const uid_t OTHER_USER = 65534;

mode_t modeOf(const QString &path)
{
    struct stat st
    {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : mode_t(0);
}

// Puts a folder of the given kind at `path`: "private" (this user's, 0700),
// "open" (this user's, 0755), "others" (another user's, 0700), "link" (to a
// private folder elsewhere), "file", or nothing ("missing").
bool make(const QString &path, const QString &kind, const QString &scratch)
{
    const QByteArray native = QFile::encodeName(path);
    if (kind == QLatin1String("missing"))
        return true;
    if (kind == QLatin1String("file")) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly);
    }
    if (kind == QLatin1String("link")) {
        const QString target = scratch + QStringLiteral("/target-") + QFileInfo(path).fileName();
        return ::mkdir(QFile::encodeName(target).constData(), 0700) == 0
               && ::symlink(QFile::encodeName(target).constData(), native.constData()) == 0;
    }
    const mode_t mode = kind == QLatin1String("open") ? 0755 : 0700;
    if (::mkdir(native.constData(), mode) != 0 || ::chmod(native.constData(), mode) != 0)
        return false;
    return kind != QLatin1String("others") || ::chown(native.constData(), OTHER_USER, OTHER_USER) == 0;
}
} // namespace

class TestPrivateRuntimeDirectory : public QObject
{
    Q_OBJECT

    QString temporaryName(int index) const
    {
        const QString base = QDir::tempPath() + '/' + APPLICATION + '-' + QString::number(geteuid());
        return index == 0 ? base : base + '-' + QString::number(index);
    }

private slots:
    void locate_data()
    {
        QTest::addColumn<QString>("runtime");  // the XDG_RUNTIME_DIR: a kind for make(), "unset" or "relative"
        QTest::addColumn<QString>("squat");    // what lies at the first temporary names
        QTest::addColumn<int>("squatted");     // how many of them
        QTest::addColumn<QString>("expected"); // "runtime", "temp0", "temp1" or "none"

        QTest::newRow("own runtime folder") << "private"
                                            << "missing" << 0 << "runtime";
        QTest::newRow("runtime folder open to others") << "open"
                                                       << "missing" << 0 << "temp0";
        QTest::newRow("another user's runtime folder") << "others"
                                                       << "missing" << 0 << "temp0";
        QTest::newRow("runtime folder through a link") << "link"
                                                       << "missing" << 0 << "temp0";
        QTest::newRow("runtime folder is a file") << "file"
                                                  << "missing" << 0 << "temp0";
        QTest::newRow("runtime folder missing") << "missing"
                                                << "missing" << 0 << "temp0";
        QTest::newRow("relative runtime folder") << "relative"
                                                 << "missing" << 0 << "temp0";
        QTest::newRow("no runtime folder") << "unset"
                                           << "missing" << 0 << "temp0";
        QTest::newRow("own temporary folder again") << "unset"
                                                    << "private" << 1 << "temp0";
        QTest::newRow("temporary name of another user") << "unset"
                                                        << "others" << 1 << "temp1";
        QTest::newRow("temporary name open to others") << "unset"
                                                       << "open" << 1 << "temp1";
        QTest::newRow("temporary name is a link") << "unset"
                                                  << "link" << 1 << "temp1";
        QTest::newRow("temporary name is a file") << "unset"
                                                  << "file" << 1 << "temp1";
        QTest::newRow("every temporary name taken")
            << "unset"
            << "others" << PrivateRuntimeDirectory::temporaryNameCount << "none";
    }

    void locate()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, squat);
        QFETCH(int, squatted);
        QFETCH(QString, expected);
        if ((runtime == "others" || squat == "others") && geteuid() != 0)
            QSKIP("making another user's folder needs root");
        QTemporaryDir temporary;
        QTemporaryDir scratch;
        QVERIFY(temporary.isValid() && scratch.isValid());
        qputenv("TMPDIR", QFile::encodeName(temporary.path()));

        const QString runtimeDir = scratch.filePath("run");
        if (runtime == "unset") {
            qunsetenv("XDG_RUNTIME_DIR");
        } else if (runtime == "relative") {
            qputenv("XDG_RUNTIME_DIR", "run");
        } else {
            QVERIFY(make(runtimeDir, runtime, scratch.path()));
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir));
        }
        QMap<QString, mode_t> squats;
        for (int i = 0; i < squatted; ++i) {
            QVERIFY(make(temporaryName(i), squat, scratch.path()));
            squats.insert(temporaryName(i), modeOf(temporaryName(i)));
        }

        const QString located = PrivateRuntimeDirectory::locate(APPLICATION);
        qunsetenv("XDG_RUNTIME_DIR");

        const QMap<QString, QString> paths {
            {"runtime", runtimeDir}, {"temp0", temporaryName(0)}, {"temp1", temporaryName(1)}, {"none", QString()}};
        QCOMPARE(located, paths.value(expected));
        if (!located.isEmpty()) {
            QVERIFY(PrivateRuntimeDirectory::isPrivate(located));
            QCOMPARE(modeOf(located), mode_t(0700));
        }
        // What was in the way is neither used nor changed.
        for (auto it = squats.cbegin(); it != squats.cend(); ++it)
            QCOMPARE(modeOf(it.key()), it.value());
    }

    // A folder made under a strict umask still ends up private, not skipped.
    void strictUmaskStillGivesAPrivateFolder()
    {
        QTemporaryDir temporary;
        qputenv("TMPDIR", QFile::encodeName(temporary.path()));
        qunsetenv("XDG_RUNTIME_DIR");
        const mode_t previous = ::umask(0277);
        const QString located = PrivateRuntimeDirectory::locate(APPLICATION);
        ::umask(previous);
        QCOMPARE(located, temporaryName(0));
        QCOMPARE(modeOf(located), mode_t(0700));
    }
};

QTEST_GUILESS_MAIN(TestPrivateRuntimeDirectory)
#include "tst_privateruntimedirectory.moc"
