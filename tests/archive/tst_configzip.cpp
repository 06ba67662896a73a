#include "catalogue/ConfigZip.h"
#include "catalogue/ConfigZipWriteException.h"

#include "ZipWriter.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <functional>

namespace {

using Member = ZipWriter::Member;

QString md5(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

// ConfigZip over a chosen data location, with a way to make entering the
// configuration directory fail.
class ConfigZipAt : public ConfigZip
{
public:
    ConfigZipAt(const QByteArray &zip, const QString &checksum, int version, const QString &location,
                bool refuseCd = false)
        : ConfigZip(zip, checksum, version)
        , m_location(location)
        , m_refuseCd(refuseCd)
    {
    }

protected:
    QString writableDataLocation() const override { return m_location; }
    bool enterDirectory(QDir &dir, const QString &path) const override
    {
        return !m_refuseCd && ConfigZip::enterDirectory(dir, path);
    }

private:
    QString m_location;
    bool m_refuseCd;
};

// Lowers a resource limit for one scope.
class ScopedLimit
{
public:
    ScopedLimit(int resource, rlim_t soft)
        : m_resource(resource)
    {
        getrlimit(resource, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = soft;
        setrlimit(resource, &lowered);
    }
    ~ScopedLimit() { setrlimit(m_resource, &m_saved); }

private:
    int m_resource;
    rlimit m_saved {};
};

rlim_t lowestFreeDescriptor()
{
    const int fd = dup(0);
    close(fd);
    return rlim_t(fd);
}

// Everything an install may touch: files under the data location and the
// recorded configuration.
QMap<QString, QByteArray> snapshot(const QString &location)
{
    QMap<QString, QByteArray> state;
    QDirIterator it(location, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        state.insert(QDir(location).relativeFilePath(path),
                     it.fileInfo().isDir() ? QByteArray("<dir>") : (file.open(QIODevice::ReadOnly), file.readAll()));
    }
    QSettings settings;
    for (const char *key : {"config/configDir", "config/version", "config/md5sum"})
        state.insert(QStringLiteral("setting ") + key, settings.value(QLatin1String(key)).toString().toUtf8());
    return state;
}

QStringList &capturedLines()
{
    static QStringList lines;
    return lines;
}

void capture(QtMsgType, const QMessageLogContext &, const QString &message)
{
    capturedLines().append(message);
}

enum class Fault { None, EmptyLocation, LocationUnderFile, RefuseCd, NoDescriptors, FileSizeLimit };

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(ZipWriter::Member)

class TestConfigZip : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString m_location;

    QString configsDir() const { return m_location + "/configs"; }

    void install(const QList<Member> &members, int version)
    {
        const QByteArray zip = ZipWriter::write(members);
        ConfigZipAt(zip, md5(zip), version, m_location).execute();
    }

    // Version 1 of a configuration: two members, a file of the user's own and a directory.
    void installPrevious()
    {
        install({Member {"a.conf", "old a"}, Member {"b.conf", "old b", ZipWriter::Stored}}, 1);
        QFile keep(configsDir() + "/keep.txt");
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.write("not from the archive");
        keep.close();
        QVERIFY(QDir().mkdir(configsDir() + "/sub"));
    }

    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN-test"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_configzip"));
        // Writes past RLIMIT_FSIZE must fail, not end the process.
        std::signal(SIGXFSZ, SIG_IGN);
    }

    void init()
    {
        QSettings().clear();
        QVERIFY(m_tmp.isValid());
        m_location = m_tmp.path() + "/data";
        QDir(m_location).removeRecursively();
    }

    void installsEveryMemberAndRecordsIt()
    {
        const QByteArray zip =
            ZipWriter::write({Member {"configs2.csv", "Country;City\n"}, Member {"ca.crt", "cert", ZipWriter::Stored}});
        ConfigZipAt(zip, md5(zip), 7, m_location).execute();

        QCOMPARE(read(configsDir() + "/configs2.csv"), QByteArray("Country;City\n"));
        QCOMPARE(read(configsDir() + "/ca.crt"), QByteArray("cert"));
        QSettings settings;
        QCOMPARE(settings.value("config/configDir").toString(), QDir(configsDir()).absolutePath());
        QCOMPARE(settings.value("config/version").toInt(), 7);
        QCOMPARE(settings.value("config/md5sum").toString(), md5(zip));
        QCOMPARE(QDir(m_location).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList {"configs"});
    }

    void replacesMembersAndKeepsOtherFiles()
    {
        installPrevious();
        install({Member {"a.conf", "new a"}, Member {"c.conf", "new c"}}, 2);
        QCOMPARE(read(configsDir() + "/a.conf"), QByteArray("new a"));
        QCOMPARE(read(configsDir() + "/b.conf"), QByteArray("old b"));
        QCOMPARE(read(configsDir() + "/c.conf"), QByteArray("new c"));
        QCOMPARE(read(configsDir() + "/keep.txt"), QByteArray("not from the archive"));
        QCOMPARE(QSettings().value("config/version").toInt(), 2);
    }

    void emptyArchiveStillRecordsTheInstallation()
    {
        const QByteArray zip = ZipWriter::write({});
        ConfigZipAt(zip, md5(zip), 4, m_location).execute();
        QVERIFY(QFileInfo(configsDir()).isDir());
        QCOMPARE(QSettings().value("config/version").toInt(), 4);
        QCOMPARE(QSettings().value("config/md5sum").toString(), md5(zip));
    }

    void checksumMismatchInstallsNothing_data()
    {
        QTest::addColumn<QString>("checksum");
        const QByteArray zip = ZipWriter::write({Member {"a.conf", "new a"}});
        QTest::newRow("other archive") << md5("something else");
        QTest::newRow("upper-case digits") << md5(zip).toUpper();
        QTest::newRow("empty") << QString();
    }

    void checksumMismatchInstallsNothing()
    {
        QFETCH(QString, checksum);
        installPrevious();
        const auto before = snapshot(m_location);
        const QByteArray zip = ZipWriter::write({Member {"a.conf", "new a"}});
        capturedLines().clear();
        qInstallMessageHandler(capture);
        ConfigZipAt(zip, checksum, 2, m_location).execute();
        qInstallMessageHandler(nullptr);
        QCOMPARE(snapshot(m_location), before);
        QCOMPARE(capturedLines().mid(1), (QStringList {"ConfigZip/execute: MD5 check failed, keeping current config!",
                                                       "ConfigZip/execute: expected: " + checksum,
                                                       "ConfigZip/execute: actual:   " + md5(zip)}));
    }

    // Every failure throws its message and leaves the installed
    // configuration, and everything else under the data location, as it was.
    void failureLeavesEverythingAsItWas_data()
    {
        QTest::addColumn<QList<Member>>("members");
        QTest::addColumn<QByteArray>("damage");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("message");

        const QList<Member> good = {Member {"a.conf", "new a"}, Member {"c.conf", "new c"}};
        const QString configs = "<configs>/";
        auto row = [&](const char *name, QList<Member> members, Fault fault, const QString &message,
                       const QByteArray &damage = {}) { QTest::newRow(name) << members << damage << fault << message; };
        row("no writable data location", good, Fault::EmptyLocation,
            "Can not determine path to a writeable data location");
        row("directory cannot be created", good, Fault::LocationUnderFile, "Can not create <location>/configs");
        row("directory cannot be entered", good, Fault::RefuseCd, "Can not cd into <location>/configs");
        row("malformed archive", good, Fault::None, "FATAL: Can not unzip the data", "truncate");
        row("corrupt member after good ones", good + QList<Member> {Member {"z.conf", "zzzz"}}, Fault::None,
            "FATAL: Can not unzip the data", "corrupt last");
        row("member over 1 MiB after good ones", good + QList<Member> {Member {"big.conf", QByteArray(1048577, 'x')}},
            Fault::None, "FATAL: Can not unzip the data");
        row("name with a slash", good + QList<Member> {Member {"../escape.conf", "x"}}, Fault::None,
            "FATAL: Refusing member name of config.zip: ../escape.conf");
        row("name in a subdirectory", {Member {"sub/x.conf", "x"}}, Fault::None,
            "FATAL: Refusing member name of config.zip: sub/x.conf");
        row("name with a backslash", good + QList<Member> {Member {"..\\escape.conf", "x"}}, Fault::None,
            "FATAL: Refusing member name of config.zip: ..\\escape.conf");
        row("name of the parent", good + QList<Member> {Member {"..", "x"}}, Fault::None,
            "FATAL: Refusing member name of config.zip: ..");
        row("name of the directory itself", good + QList<Member> {Member {".", "x"}}, Fault::None,
            "FATAL: Refusing member name of config.zip: .");
        row("empty name", good + QList<Member> {Member {"", "x"}}, Fault::None,
            "FATAL: Refusing member name of config.zip: ");
        row("member cannot be opened", good, Fault::NoDescriptors,
            "FATAL: Can not open file for writing: " + configs + "a.conf");
        row("member cannot be written", {Member {"a.conf", QByteArray(40000, 'w')}}, Fault::FileSizeLimit,
            "FATAL: Can not write to file: " + configs + "a.conf");
        row("member cannot be committed", good + QList<Member> {Member {"b.conf", QByteArray(4000, 'w')}},
            Fault::FileSizeLimit, "FATAL: Can not write to file: " + configs + "b.conf");
        row("member replaces a directory",
            {Member {"a.conf", "new a"}, Member {"c.conf", "new c"}, Member {"sub", "x"}, Member {"b.conf", "new b"}},
            Fault::None, "FATAL: Can not write to file: " + configs + "sub");
    }

    void failureLeavesEverythingAsItWas()
    {
        QFETCH(QList<Member>, members);
        QFETCH(QByteArray, damage);
        QFETCH(Fault, fault);
        QFETCH(QString, message);

        installPrevious();
        const auto before = snapshot(m_location);

        QByteArray zip = ZipWriter::write(members);
        if (damage == "truncate")
            zip.chop(30);
        if (damage == "corrupt last") {
            const int last = zip.lastIndexOf("z.conf", zip.indexOf(QByteArray("PK\x01\x02", 4)));
            zip[last + 6] = char(0xff);
        }

        QString zipLocation = m_location;
        if (fault == Fault::EmptyLocation)
            zipLocation.clear();
        if (fault == Fault::LocationUnderFile)
            zipLocation = m_location + "/keep-file/data";
        QFile(m_location + "/keep-file").open(QIODevice::WriteOnly);
        const auto beforeWithFile = snapshot(m_location);

        message.replace("<configs>/", QDir(configsDir()).absolutePath() + '/');
        message.replace("<location>", zipLocation);
        ConfigZipAt configZip(zip, md5(zip), 2, zipLocation, fault == Fault::RefuseCd);
        try {
            if (fault == Fault::NoDescriptors) {
                ScopedLimit limit(RLIMIT_NOFILE, lowestFreeDescriptor());
                configZip.execute();
            } else if (fault == Fault::FileSizeLimit) {
                ScopedLimit limit(RLIMIT_FSIZE, 1000);
                configZip.execute();
            } else {
                configZip.execute();
            }
            QFAIL("no exception");
        } catch (const ConfigZipWriteException &e) {
            QCOMPARE(e.getMessage(), message);
        }
        QCOMPARE(snapshot(m_location), beforeWithFile);
        QFile::remove(m_location + "/keep-file");
        QCOMPARE(snapshot(m_location), before);
    }

    void failedFirstInstallLeavesNoConfigurationBehind()
    {
        const QByteArray zip = ZipWriter::write({Member {"a.conf", "a"}, Member {"b/c", "x"}});
        QVERIFY_EXCEPTION_THROWN(ConfigZipAt(zip, md5(zip), 1, m_location).execute(), ConfigZipWriteException);
        QVERIFY(!QFileInfo::exists(configsDir()));
        QVERIFY(!QSettings().contains("config/version"));
    }

    void newVersionAfterFailedOneInstalls()
    {
        installPrevious();
        const QByteArray bad = ZipWriter::write({Member {"a.conf", "bad"}, Member {"sub", "x"}});
        QVERIFY_EXCEPTION_THROWN(ConfigZipAt(bad, md5(bad), 2, m_location).execute(), ConfigZipWriteException);
        install({Member {"a.conf", "new a"}}, 2);
        QCOMPARE(read(configsDir() + "/a.conf"), QByteArray("new a"));
        QCOMPARE(QSettings().value("config/version").toInt(), 2);
    }
};

QTEST_GUILESS_MAIN(TestConfigZip)
#include "tst_configzip.moc"
