// OpenConnect starts through the whole backend (its pipeline, handlers and
// frontend reports) where no engine may start, on a recording system layer.
#include "OpenConnectBackendWorld.h"
#include "RecordingOsAbstraction.h"

#include "openconnect/OpenConnectConnectVia.h"
#include "openconnect/OpenConnectConnectionParameters.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestOpenConnectBackend : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QSettings().clear();
        QVERIFY(m_config.isValid());
        QSettings().setValue("config/configDir", m_config.path());
        // Addresses only: the start looks nothing up.
        writeFile(m_config.filePath("site-udp.conf"), "client\nremote 192.0.2.10 1194\n");
        writeFile(m_config.filePath("openconnect.json"), R"({"default": {"port": 4443}})");
    }

    // The engine has no proxy support; connecting without the chosen proxy
    // would show the user's address where they asked to hide it.
    void proxyTransportIsRefusedBeforeAnyEngineStarts_data()
    {
        QTest::addColumn<QString>("via");
        QTest::newRow("stealth proxy") << "TCP_WITH_STEALTH_PROXY";
        QTest::newRow("custom proxy") << "TCP_WITH_CUSTOM_PROXY";
    }
    void proxyTransportIsRefusedBeforeAnyEngineStarts()
    {
        QFETCH(QString, via);
        OpenConnectBackendWorld<RecordingOsAbstraction> world;
        RecordingFrontend &frontend = world.frontend;

        world.backend.startVPN(parameters(OpenConnectConnectVia::fromString(via)), "user", "secret");
        QTRY_COMPARE(frontend.terminations.size(), 1);
        QTest::qWait(200);
        QCOMPARE(frontend.terminations.size(), 1);
        QVERIFY(frontend.terminations.first().getFailedToStartFlag());
        QCOMPARE(frontend.errors.size(), 1);
        QVERIFY2(frontend.errors.first().startsWith("The OpenConnect connection can not use a proxy. / "),
                 qPrintable(frontend.errors.first()));
        QCOMPARE(world.extra->count("started"), 0);
        QCOMPARE(world.extra->count("failedToStart"), 1);
        QCOMPARE(world.extra->count("terminated"), 0);
        QVERIFY(!frontend.reached("CONNECTING"));

        // Nothing is left running: the next start is taken.
        world.backend.startVPN(parameters(OpenConnectConnectVia::fromString(via)), "user", "secret");
        QCOMPARE(frontend.results.size(), 2);
        QTRY_COMPARE(frontend.terminations.size(), 2);
    }

private:
    QSharedPointer<ConnectionParameters> parameters(const OpenConnectConnectVia &via) const
    {
        return QSharedPointer<ConnectionParameters>(new OpenConnectConnectionParameters(
            HalvorixServerSite("USA", "Dallas", "site-udp.conf", "site-tcp.conf", false, false, QDir(m_config.path()),
                               {}, QHostAddress(), GeoLocation(), QString(), 0),
            via, Settings::IksSettings(), false, false));
    }

    static void writeFile(const QString &path, const QByteArray &content)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QTemporaryDir m_config;
};

QTEST_GUILESS_MAIN(TestOpenConnectBackend)
#include "tst_openconnect_backend.moc"
