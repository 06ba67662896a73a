// The generator as the build and the end-to-end tests run it.
#include "catalogue/zip_archive.h"

#include "CatalogueGenerator.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <map>

namespace {

std::map<QString, QByteArray> unpack(const QByteArray &zip)
{
    std::map<QString, QByteArray> members;
    const zip_archive archive(zip);
    for (const zip_file &file : archive.files)
        members[file.name] = archive.get_file_data(file);
    return members;
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestConfigGen : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;

    // Runs the tool on the built-in description with extra arguments.
    std::map<QString, QByteArray> generate(const QStringList &arguments, QByteArray *txt = nullptr)
    {
        QProcess tool;
        tool.start(ORVAL_CONFIGGEN, QStringList {"--catalogue", ORVAL_CATALOGUE, "--zip", m_tmp.filePath("c.zip"),
                                                 "--txt", m_tmp.filePath("c.txt")}
                                        + arguments);
        if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
            qWarning() << tool.readAllStandardError();
        const QByteArray zip = read(m_tmp.filePath("c.zip"));
        if (txt)
            *txt = read(m_tmp.filePath("c.txt"));
        return unpack(zip);
    }

private slots:
    void announcementMatchesArchive()
    {
        QByteArray txt;
        generate({"--version", "41", "--url", "https://update.test/Config/config.zip"}, &txt);
        const QByteArray md5 = QCryptographicHash::hash(read(m_tmp.filePath("c.zip")), QCryptographicHash::Md5).toHex();
        QCOMPARE(txt, "41*" + md5 + "*https://update.test/Config/config.zip");
    }

    void builtInCatalogueMembers()
    {
        auto members = generate({});
        for (const char *name : {"configs2.csv", "config5.json", "configs-stealth-proxies.csv", "dns.json",
                                 "openconnect.json", "dedicated-udp.conf", "dedicated-tcp.conf", "usa-dallas-udp.conf",
                                 "usa-dallas-tcp.conf", "ca.crt", "tls-crypt.key", "tls-auth.key"})
            QVERIFY2(members.count(name), name);
        QVERIFY(members["configs2.csv"].count('\n') >= 13);
        QVERIFY(QJsonDocument::fromJson(members["config5.json"]).object().contains("default"));
        // Enciphered: the header is not legible, and deciphering restores it.
        const QByteArray stealth = members["configs-stealth-proxies.csv"];
        QVERIFY(!stealth.startsWith("COUNTRY"));
        QVERIFY(
            CatalogueGenerator::encipherStealthProxies(stealth).startsWith("COUNTRY;CITY;HOST;PORT;PASSWORD;METHOD\n"));
    }

    void everySiteThroughOneTestServer()
    {
        auto members = generate({"--server", "vpn.e2e.test=10.200.0.1", "--udp-port", "11940", "--tcp-port", "4430",
                                 "--openconnect-port", "4443"});
        QCOMPARE(QJsonDocument::fromJson(members["openconnect.json"])
                     .object()
                     .value("default")
                     .toObject()
                     .value("port")
                     .toInt(),
                 4443);
        QVERIFY(members["usa-dallas-udp.conf"].contains("\nremote vpn.e2e.test 11940\n"));
        QVERIFY(!members["usa-dallas-udp.conf"].contains("orvalvpn.example"));
        QVERIFY(members["aut-vienna-tcp.conf"].contains("\nremote vpn.e2e.test 4430\n"));
        QVERIFY(members["dedicated-udp.conf"].contains("\nremote vpn.e2e.test 11940\n"));
        const QJsonObject resolve = QJsonDocument::fromJson(members["dns.json"]).object().value("resolve").toObject();
        QCOMPARE(resolve.keys(), QStringList {"vpn.e2e.test"});
        QCOMPARE(resolve.value("vpn.e2e.test").toArray().first().toString(), QStringLiteral("10.200.0.1"));
    }

    void membersReplacedAndSitesGenerated()
    {
        QFile ca(m_tmp.filePath("test-ca.crt"));
        QVERIFY(ca.open(QIODevice::WriteOnly));
        ca.write("test CA");
        ca.close();
        auto members = generate({"--member", "ca.crt=" + ca.fileName(), "--synthetic-sites", "50"});
        QCOMPARE(members["ca.crt"], QByteArray("test CA"));
        QCOMPARE(members["configs2.csv"].count('\n'), 51);
        const QJsonObject serverSites =
            QJsonDocument::fromJson(members["config5.json"]).object().value("serverSites").toObject();
        int sitesWithOwnList = 0;
        for (const QJsonValue &cities : serverSites)
            sitesWithOwnList += cities.toObject().size();
        QCOMPARE(sitesWithOwnList, 13);
    }
};

QTEST_GUILESS_MAIN(TestConfigGen)
#include "tst_configgen.moc"
