#include "CatalogueGenerator.h"
#include "Lab.h"

#include "catalogue/HalvorixConfig.h"
#include "catalogue/WebConfigSource.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

namespace {

const QString ZIP_PATH = QStringLiteral("/Config/config.zip");

QString configsDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::DataLocation) + "/configs";
}

QByteArray archive()
{
    static const QByteArray zip =
        ZipWriter::write(CatalogueGenerator::fromFile(ORVAL_CATALOGUE).members(CatalogueGenerator::Options()));
    return zip;
}

// Serves an announcement of `version` for the archive, at the given address.
void announce(int version, const QString &zipUrl, const QByteArray &zip = archive())
{
    Lab::serve("/Config/default.txt", CatalogueGenerator::configTxt(version, zip, zipUrl) + "\n");
    Lab::serve(ZIP_PATH, archive());
}

QString zipUrl(const QString &scheme = QStringLiteral("https"))
{
    return QStringLiteral("%1://%2%3").arg(scheme, Lab::updateHost(), ZIP_PATH);
}

int installedVersion()
{
    return QSettings().value("config/version").toInt();
}

QJsonArray requestsFor(const QString &path)
{
    QJsonArray matching;
    for (const QJsonValue &request : Lab::requests()) {
        if (request.toObject().value("path").toString() == path)
            matching.append(request);
    }
    return matching;
}

} // namespace

// The configuration update against the lab's HTTPS update host, reached by the
// compiled-in host name and trusted through the lab's own CA.
class TestWebConfigSource : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_manager;

    WebConfigSource *makeSource(const QString &credentials = QString())
    {
        auto *source = new WebConfigSource(&m_manager, "OrvalVpnDesktop", SemVer("v0.5.10"),
                                           WebConfigSource::defaultConfigTxtAddress(), credentials, this);
        source->setInactivityTimeout(1500);
        return source;
    }

private slots:
    void initTestCase()
    {
        if (!Lab::isActive())
            QSKIP("runs only inside the test network");
        QCOMPARE(Lab::updateHost(), QUrl(WebConfigSource::defaultConfigTxtAddress()).host());
        QCoreApplication::setOrganizationName("OrvalVPN-test");
        QCoreApplication::setApplicationName("tst_webconfigsource");
    }

    void init()
    {
        QSettings().clear();
        QDir(configsDir()).removeRecursively();
        Lab::clearBehaviours();
        QFile::remove(Lab::directory() + "/https-requests.log");
    }

    void newerAnnouncementInstallsTheArchiveOverHttps()
    {
        announce(7, zipUrl("http"));
        WebConfigSource *source = makeSource("user:secret");
        QSignalSpy downloaded(source, &WebConfigSource::newConfigWasDownloaded);
        source->checkForUpdate();
        source->checkForUpdate(); // refused: one request at a time
        QVERIFY(downloaded.wait(15000));
        QCOMPARE(installedVersion(), 7);
        QVERIFY(HalvorixConfig::hasValidConfig());
        QVERIFY(QSettings()
                    .value("config/last-check")
                    .toString()
                    .contains(QRegularExpression(R"(^\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d$)")));

        const QJsonArray txt = requestsFor("/Config/default.txt");
        QCOMPARE(txt.size(), 1);
        const QJsonObject txtHeaders = txt.first().toObject().value("headers").toObject();
        QCOMPARE(txtHeaders.value("User-Agent").toString(), QStringLiteral("OrvalVpnDesktop/v0.5.10 (MacOSX)"));
        QCOMPARE(txtHeaders.value("Authorization").toString(), "Basic " + QByteArray("user:secret").toBase64());
        const QJsonObject zipHeaders = requestsFor(ZIP_PATH).first().toObject().value("headers").toObject();
        QCOMPARE(zipHeaders.value("User-Agent").toString(), QStringLiteral("OrvalVpnDesktop"));
        QVERIFY(zipHeaders.contains("Authorization"));

        // The credentials served their purpose once; the installed version is current now.
        source->checkForUpdate();
        QTRY_COMPARE(requestsFor("/Config/default.txt").size(), 2);
        QTest::qWait(300);
        QVERIFY(!requestsFor("/Config/default.txt")
                     .last()
                     .toObject()
                     .value("headers")
                     .toObject()
                     .contains("Authorization"));
        QCOMPARE(requestsFor(ZIP_PATH).size(), 1);
    }

    void failuresLeaveTheInstallationAlone_data()
    {
        QTest::addColumn<QJsonObject>("behaviour");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("lastCheckWritten");
        QTest::newRow("config.txt missing") << QJsonObject {{"status", 404}} << "/Config/default.txt" << false;
        QTest::newRow("config.txt hangs") << QJsonObject {{"hang", true}} << "/Config/default.txt" << false;
        QTest::newRow("config.txt oversized") << QJsonObject {{"repeat", 20000}} << "/Config/default.txt" << false;
        QTest::newRow("archive missing") << QJsonObject {{"status", 404}} << ZIP_PATH << true;
        QTest::newRow("archive hangs") << QJsonObject {{"hang", true}} << ZIP_PATH << true;
    }

    void failuresLeaveTheInstallationAlone()
    {
        QFETCH(QJsonObject, behaviour);
        QFETCH(QString, path);
        QFETCH(bool, lastCheckWritten);
        announce(9, zipUrl());
        Lab::setBehaviour(path, behaviour);
        WebConfigSource *source = makeSource();
        QSignalSpy downloaded(source, &WebConfigSource::newConfigWasDownloaded);
        QSignalSpy errors(source, &WebConfigSource::errorMessage);
        source->checkForUpdate();
        QTRY_VERIFY_WITH_TIMEOUT(requestsFor(path).size() == 1, 10000);
        QTest::qWait(2500); // past the inactivity limit
        QCOMPARE(downloaded.count(), 0);
        QCOMPARE(errors.count(), 0);
        QCOMPARE(installedVersion(), 0);
        QVERIFY(!QDir(configsDir()).exists() || QDir(configsDir()).isEmpty());
        QCOMPARE(QSettings().contains("config/last-check"), lastCheckWritten);

        // The source is free again: a hung host does not block later checks.
        Lab::clearBehaviours();
        source->checkForUpdate();
        QVERIFY(QSignalSpy(source, &WebConfigSource::newConfigWasDownloaded).wait(15000));
        QCOMPARE(installedVersion(), 9);
    }

    void checksumMismatchInstallsNothingButIsReported()
    {
        announce(11, zipUrl(), "a different archive");
        WebConfigSource *source = makeSource();
        QSignalSpy downloaded(source, &WebConfigSource::newConfigWasDownloaded);
        source->checkForUpdate();
        QVERIFY(downloaded.wait(15000));
        QCOMPARE(installedVersion(), 0);
    }
};

QTEST_GUILESS_MAIN(TestWebConfigSource)
#include "tst_webconfigsource.moc"
