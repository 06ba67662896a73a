#include "PrefsTestStore.h"

#include "prefs/Settings.h"
#include "system/NullOsAbstraction.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString FIXTURES = QStringLiteral(PREFS_FIXTURE_DIR);

const QStringList OLD_KEYS {"resolve-remote-hostnames-with-fallback-ips",
                            "prevent-dns-leak",
                            "openvpn243-enabled",
                            "openvpn23-enabled",
                            "pixel-ratio",
                            "network-server-ip-lookup",
                            "seamless-reconnect"};
} // namespace

class TestMigration : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    NullOsAbstraction m_os;

    // A copy of a fixture store, opened the way the file-based accessor does.
    QString copyOf(const QString &fixture)
    {
        const QString path = m_dir.filePath(fixture);
        QFile::remove(path);
        if (!QFile::copy(FIXTURES + "/" + fixture, path))
            qFatal("fixture %s missing", qPrintable(fixture));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }

    void expectSteps(int from, int to)
    {
        for (int version = from + 1; version <= to; ++version)
            QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("Settings updated to version %1").arg(version)));
    }

private slots:
    void initTestCase()
    {
        PrefsTestStore::init();
        QVERIFY(m_dir.isValid());
    }

    void fromEveryVersion_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<int>("from");
        QTest::newRow("version 1 (no version key)") << "settings-v1.conf" << 1;
        QTest::newRow("version 2") << "settings-v2.conf" << 2;
        QTest::newRow("version 3") << "settings-v3.conf" << 3;
        QTest::newRow("version 4") << "settings-v4.conf" << 4;
    }

    void fromEveryVersion()
    {
        QFETCH(QString, fixture);
        QFETCH(int, from);
        const QString path = copyOf(fixture);
        Settings settings(path);
        if (from == 1)
            QTest::ignoreMessage(QtDebugMsg, "Migration Settings: from version 1 to version 2");
        expectSteps(from, 5);
        settings.migrate(m_os);
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
        settings.sync();

        QSettings store(path, QSettings::IniFormat);
        QCOMPARE(store.value("settingVersion").toInt(), 5);
        store.beginGroup("preferences");
        for (const QString &key : OLD_KEYS) {
            // Stores of version 2 and later never held the keys that step 1 removes.
            const bool stepOneKey = key == "resolve-remote-hostnames-with-fallback-ips" || key == "prevent-dns-leak";
            if (from == 1 || !stepOneKey)
                QVERIFY2(!store.contains(key), qPrintable(key));
        }
    }

    void valuesAfterMigration()
    {
        {
            Settings v1(copyOf("settings-v1.conf"));
            QTest::ignoreMessage(QtDebugMsg, "Migration Settings: from version 1 to version 2");
            expectSteps(1, 5);
            v1.migrate(m_os);
            // Unrelated preferences and the older login survive every step.
            QVERIFY(v1.autoConnectOnStartup());
            QCOMPARE(v1.getProxySettings(), Settings::STEALTH);
            QCOMPARE(v1.getUsername(), QStringLiteral("old-user"));
            QVERIFY(v1.remembersCredentials());
            // The built-in default site was no choice of the user's.
            QVERIFY(!v1.hasDefaultServerSite());
            // A stored false is not carried over.
            QVERIFY(v1.seamlessReconnect());
            QVERIFY(!v1.contains("manage-routes-in-house"));
        }
        {
            Settings v2(copyOf("settings-v2.conf"));
            expectSteps(2, 5);
            v2.migrate(m_os);
            QCOMPARE(v2.defaultServerSite(), QStringLiteral("FR-Paris"));
            QVERIFY(!v2.displayCipherWarning());
            QCOMPARE(v2.value("manage-routes-in-house"), QVariant(true));
        }
        {
            Settings v3(copyOf("settings-v3.conf"));
            expectSteps(3, 5);
            v3.migrate(m_os);
            QVERIFY(!v3.hasDefaultServerSite());
            // A stored true overrides the newer key.
            QVERIFY(v3.seamlessReconnect());
        }
        {
            Settings v4(copyOf("settings-v4.conf"));
            expectSteps(4, 5);
            v4.migrate(m_os);
            QVERIFY(v4.hasDefaultServerSite());
            QCOMPARE(v4.defaultServerSite(), QStringLiteral("usa-dallas"));
            QVERIFY(v4.seamlessReconnect());
            QCOMPARE(v4.getTlsMinimumVersion(), Settings::TLS_1_0);
        }
    }

    void currentAndNewerStoresAreLeftAlone_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::newRow("current") << "settings-v5.conf";
        QTest::newRow("newer") << "settings-v7.conf";
    }

    void currentAndNewerStoresAreLeftAlone()
    {
        QFETCH(QString, fixture);
        const QString path = copyOf(fixture);
        QFile original(FIXTURES + "/" + fixture);
        QVERIFY(original.open(QIODevice::ReadOnly));
        {
            Settings settings(path);
            settings.migrate(m_os);
            settings.sync();
        }
        QFile migrated(path);
        QVERIFY(migrated.open(QIODevice::ReadOnly));
        QCOMPARE(migrated.readAll(), original.readAll());
    }

    void versionOutsideTheSteps_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("zero") << 0;
        QTest::newRow("negative") << -3;
    }

    void versionOutsideTheSteps()
    {
        QFETCH(int, version);
        const QString path = copyOf("settings-v4.conf");
        {
            QSettings raw(path, QSettings::IniFormat);
            raw.setValue("settingVersion", version);
        }
        Settings settings(path);
        settings.migrate(m_os);
        QCOMPARE(settings.value("seamless-reconnect"), QVariant(false));
        settings.endGroup();
        QCOMPARE(settings.value("settingVersion").toInt(), version);
        settings.beginGroup("preferences");
    }

    void freshNativeStoreRunsEveryStep()
    {
        PrefsTestStore::wipe();
        Settings settings;
        QTest::ignoreMessage(QtDebugMsg, "Migration Settings: from version 1 to version 2");
        expectSteps(1, 5);
        settings.migrate(m_os);
        QSettings raw;
        QCOMPARE(raw.value("settingVersion").toInt(), 5);
        QCOMPARE(raw.allKeys(), QStringList {"settingVersion"});
    }

    void interruptedMigrationResumes()
    {
        // A store whose step to 3 was written before the process died.
        const QString path = copyOf("settings-v1.conf");
        {
            QSettings raw(path, QSettings::IniFormat);
            raw.setValue("settingVersion", 3);
        }
        Settings settings(path);
        expectSteps(3, 5);
        settings.migrate(m_os);
        settings.endGroup();
        QCOMPARE(settings.value("settingVersion").toInt(), 5);
        settings.beginGroup("preferences");
        // Step 1 did not run again: its keys are still there.
        QVERIFY(settings.contains("prevent-dns-leak"));
    }
};

QTEST_GUILESS_MAIN(TestMigration)
#include "tst_migration.moc"
