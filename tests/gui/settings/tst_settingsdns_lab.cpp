#include "CatalogueGenerator.h"
#include "Lab.h"

#include "catalogue/DnsJson.h"
#include "prefs/Settings.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Every site of the test catalogue has this server name; the lab's resolver
// answers it with the address.
const QString SERVER_NAME = QStringLiteral("refresh.lab.orvalvpn.example");
const QString SERVER_ADDRESS = QStringLiteral("198.51.100.77");
} // namespace

// The two DNS buttons of the settings dialog, pressed in the dialog of a
// probe that the real helper serves (settingsdialog_probe): the client
// namespace's name servers change and come back, and the local DNS cache is
// filled from the lab's resolver through a host route that exists only while
// the look-ups run.
class TestSettingsDnsLab : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_probeProgram;
    QByteArray m_originalResolvConf;

    QString probe(const QStringList &arguments, int *exitCode = nullptr)
    {
        QProcess process;
        process.start(m_probeProgram, arguments);
        const bool finished = process.waitForFinished(120000);
        if (exitCode)
            *exitCode = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }

    static QByteArray resolvConf()
    {
        QFile file(QStringLiteral("/etc/resolv.conf"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QStringList nameServers()
    {
        QStringList servers;
        for (const QByteArray &line : resolvConf().split('\n')) {
            if (line.startsWith("nameserver "))
                servers << QString::fromLatin1(line.mid(11).trimmed());
        }
        return servers;
    }

    // The catalogue, with every site at SERVER_NAME, as the installed configuration.
    bool installCatalogue()
    {
        const QString configDir = m_dir.filePath(QStringLiteral("config"));
        try {
            CatalogueGenerator::Options options;
            options.serverName = SERVER_NAME;
            options.serverAddresses = QStringList {SERVER_ADDRESS};
            const CatalogueGenerator generator = CatalogueGenerator::fromFile(QStringLiteral(ORVAL_CATALOGUE));
            if (!QDir().mkpath(configDir))
                return false;
            for (const ZipWriter::Member &member : generator.members(options)) {
                QFile file(configDir + QLatin1Char('/') + member.name);
                if (!file.open(QIODevice::WriteOnly) || file.write(member.data) != member.data.size())
                    return false;
            }
        } catch (const std::exception &e) {
            qWarning() << e.what();
            return false;
        }
        QSettings().setValue(QStringLiteral("config/configDir"), configDir);
        return true;
    }

private slots:
    void initTestCase()
    {
        if (!Lab::isActive())
            QSKIP("runs only inside the test network");
        QVERIFY(m_dir.isValid());
        QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN"));
        QCoreApplication::setApplicationName(QStringLiteral("OrvalVPN"));
        const QString contents = Lab::makeBundle(QStringLiteral(ORVAL_BUNDLE_DIR), m_dir.path(),
                                                 QStringLiteral("Probe"), QStringLiteral(SETTINGS_PROBE),
                                                 {QStringLiteral("Helpers/Stelvane"), QStringLiteral("Platform")});
        QVERIFY(!contents.isEmpty());
        m_probeProgram = contents + QStringLiteral("/MacOS/OrvalVPN");
        m_originalResolvConf = resolvConf();
        QVERIFY(!nameServers().isEmpty());
    }

    void init() { QSettings().clear(); }

    // Whatever a failed test changed, the next one starts from the lab's own name servers.
    void cleanup()
    {
        if (resolvConf() == m_originalResolvConf)
            return;
        QFile file(QStringLiteral("/etc/resolv.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(m_originalResolvConf);
    }

    void setSystemNameServers()
    {
        int exitCode = -1;
        QCOMPARE(probe({"system-dns", "Google"}, &exitCode), QStringLiteral("dialogs 1\ndone"));
        QCOMPARE(exitCode, 0);
        QCOMPARE(nameServers(), (QStringList {"8.8.8.8", "8.8.4.4"}));

        QCOMPARE(probe({"system-dns", "Set DNS to automatic (DHCP)"}), QStringLiteral("dialogs 1\ndone"));
        QCOMPARE(resolvConf(), m_originalResolvConf);

        // An entry with a single address: no empty second server reaches the helper.
        QCOMPARE(probe({"system-dns", "Quad9"}), QStringLiteral("dialogs 1\ndone"));
        QCOMPARE(nameServers(), QStringList {"9.9.9.9"});

        QCOMPARE(probe({"system-dns", "Set DNS to automatic (DHCP)"}), QStringLiteral("dialogs 1\ndone"));
        QCOMPARE(resolvConf(), m_originalResolvConf);
    }

    void refreshCacheFromTheLabResolver()
    {
        QVERIFY(installCatalogue());
        Lab::addDnsHost(SERVER_NAME, SERVER_ADDRESS);
        QVERIFY(DnsJson::cleanLocalDNSCache());
        const QString nameServer = nameServers().first();
        const QString output = probe({"refresh-cache"});
        const QStringList lines = output.split(QLatin1Char('\n'));
        const int protectedAt =
            lines.indexOf(QRegularExpression("^protected " + QRegularExpression::escape(nameServer) + ": .+"));
        const int releasedAt = lines.indexOf("released " + nameServer + ": ");
        QVERIFY2(protectedAt >= 0 && releasedAt > protectedAt, qPrintable(output));
        QVERIFY2(!output.contains(QLatin1String("error: ")), qPrintable(output));
        QVERIFY2(lines.last() == QLatin1String("done"), qPrintable(output));

        QVERIFY(DnsJson::isLocalDNSCachePresent());
        QCOMPARE(DnsJson::getLocalDnsCache().resolve(SERVER_NAME), QList<QHostAddress> {QHostAddress(SERVER_ADDRESS)});
    }
};

QTEST_MAIN(TestSettingsDnsLab)
#include "tst_settingsdns_lab.moc"
