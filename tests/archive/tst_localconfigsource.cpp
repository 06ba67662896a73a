#include "catalogue/LocalConfigSource.h"
#include "catalogue/zip_archive.h"

#include <QCryptographicHash>
#include <QDir>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

namespace {

QByteArray resource(const QString &name)
{
    LocalConfigSource registersTheResources;
    Q_UNUSED(registersTheResources)
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString configsDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::DataLocation) + "/configs";
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void overwrite(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

int builtInVersion()
{
    return resource(":/config/default.txt").split('*').value(0).toInt();
}

} // namespace

class TestLocalConfigSource : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN-test"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_localconfigsource"));
    }

    void init()
    {
        QSettings().clear();
        QDir(configsDir()).removeRecursively();
    }

    void builtInAnnouncementMatchesTheArchive()
    {
        const QByteArray txt = resource(":/config/default.txt");
        const QByteArray zip = resource(":/config/default.zip");
        QVERIFY(!zip.isEmpty());
        const QRegularExpression format("^([0-9]+)\\*([0-9a-f]{32})\\*https://[^*\\s]+$");
        const QRegularExpressionMatch match = format.match(QString::fromLatin1(txt));
        QVERIFY2(match.hasMatch(), txt.constData());
        QCOMPARE(match.captured(2).toLatin1(), QCryptographicHash::hash(zip, QCryptographicHash::Md5).toHex());
        QVERIFY(builtInVersion() > 0);
    }

    void freshInstallInstallsEveryMember()
    {
        LocalConfigSource().execute();

        const QByteArray zip = resource(":/config/default.zip");
        const zip_archive archive(zip);
        QVERIFY(archive.files.size() > 20);
        for (const zip_file &file : archive.files)
            QCOMPARE(read(configsDir() + '/' + file.name), archive.get_file_data(file));
        QSettings settings;
        QCOMPARE(settings.value("config/configDir").toString(), QDir(configsDir()).absolutePath());
        QCOMPARE(settings.value("config/version").toInt(), builtInVersion());
        QCOMPARE(settings.value("config/md5sum").toByteArray(),
                 QCryptographicHash::hash(zip, QCryptographicHash::Md5).toHex());
    }

    // What a second run does, by the installed version and the directory's presence.
    void laterRuns_data()
    {
        QTest::addColumn<int>("versionOffset");
        QTest::addColumn<bool>("deleteDirectory");
        QTest::addColumn<bool>("reinstalls");
        QTest::newRow("older installed: replaced") << -1 << false << true;
        QTest::newRow("same installed: untouched") << 0 << false << false;
        QTest::newRow("newer from the web: kept") << 1 << false << false;
        QTest::newRow("directory gone: installed whatever the version") << 1 << true << true;
    }

    void laterRuns()
    {
        QFETCH(int, versionOffset);
        QFETCH(bool, deleteDirectory);
        QFETCH(bool, reinstalls);

        LocalConfigSource().execute();
        const QString catalogue = configsDir() + "/configs2.csv";
        const QByteArray original = read(catalogue);
        overwrite(catalogue, "changed since");
        QSettings().setValue("config/version", builtInVersion() + versionOffset);
        if (deleteDirectory)
            QDir(configsDir()).removeRecursively();

        LocalConfigSource().execute();

        QCOMPARE(read(catalogue), reinstalls ? original : QByteArray("changed since"));
        QCOMPARE(QSettings().value("config/version").toInt(),
                 reinstalls ? builtInVersion() : builtInVersion() + versionOffset);
    }
};

QTEST_GUILESS_MAIN(TestLocalConfigSource)
#include "tst_localconfigsource.moc"
