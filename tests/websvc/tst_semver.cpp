#include "core/SemVer.h"

#include <QTest>

class TestSemVer : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("patch");
        QTest::addColumn<QStringList>("preRelease");
        QTest::addColumn<QStringList>("build");
        QTest::addColumn<QString>("printed");
        QTest::newRow("running version") << "v0.5.10" << 0 << 5 << 10 << QStringList() << QStringList() << "v0.5.10";
        QTest::newRow("without v") << "0.5.10" << 0 << 5 << 10 << QStringList() << QStringList() << "v0.5.10";
        QTest::newRow("pre-release and build") << "v1.2.3-rc.1+build.7" << 1 << 2 << 3 << QStringList {"rc", "1"}
                                               << QStringList {"build", "7"} << "v1.2.3-rc.1+build.7";
        QTest::newRow("build only") << "2.0.1+exp.sha.5114f85" << 2 << 0 << 1 << QStringList()
                                    << QStringList {"exp", "sha", "5114f85"} << "v2.0.1+exp.sha.5114f85";
        QTest::newRow("empty identifier kept")
            << "v1.0.0-a..b" << 1 << 0 << 0 << QStringList {"a", "", "b"} << QStringList() << "v1.0.0-a..b";
        QTest::newRow("hyphen in identifier")
            << "v1.0.0-x-y" << 1 << 0 << 0 << QStringList {"x-y"} << QStringList() << "v1.0.0-x-y";
        QTest::newRow("leading zeros read as decimal")
            << "v01.002.0010" << 1 << 2 << 10 << QStringList() << QStringList() << "v1.2.10";
        QTest::newRow("two numbers") << "v1.2" << 0 << 0 << 0 << QStringList() << QStringList() << "v0.0.0";
        QTest::newRow("four numbers") << "1.2.3.4" << 0 << 0 << 0 << QStringList() << QStringList() << "v0.0.0";
        QTest::newRow("empty") << "" << 0 << 0 << 0 << QStringList() << QStringList() << "v0.0.0";
        QTest::newRow("capital V") << "V1.2.3" << 0 << 0 << 0 << QStringList() << QStringList() << "v0.0.0";
        QTest::newRow("trailing line break") << "v1.2.3\n" << 0 << 0 << 0 << QStringList() << QStringList() << "v0.0.0";
        QTest::newRow("leading blank") << " v1.2.3" << 0 << 0 << 0 << QStringList() << QStringList() << "v0.0.0";
        QTest::newRow("bad pre-release char")
            << "v1.2.3-rc_1" << 0 << 0 << 0 << QStringList() << QStringList() << "v0.0.0";
        QTest::newRow("empty pre-release") << "v1.2.3-" << 0 << 0 << 0 << QStringList() << QStringList() << "v0.0.0";
    }

    void parse()
    {
        QFETCH(QString, text);
        const SemVer version(text);
        QTEST(version.getMajor(), "major");
        QTEST(version.getMinor(), "minor");
        QTEST(version.getPatch(), "patch");
        QTEST(version.getPreRelease(), "preRelease");
        QTEST(version.getBuild(), "build");
        QTEST(version.toString(), "printed");
    }

    void precedence_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("aOlder");
        QTest::addColumn<bool>("bOlder");
        QTest::newRow("patch") << "v0.5.10"
                               << "v0.5.11" << true << false;
        QTest::newRow("patch numeric not textual") << "v0.5.9"
                                                   << "v0.5.10" << true << false;
        QTest::newRow("minor beats patch") << "v0.5.99"
                                           << "v0.6.0" << true << false;
        QTest::newRow("major beats minor") << "v1.99.99"
                                           << "v2.0.0" << true << false;
        QTest::newRow("equal") << "v0.5.10"
                               << "0.5.10" << false << false;
        QTest::newRow("pre-release below release") << "v1.0.0-rc.1"
                                                   << "v1.0.0" << true << false;
        QTest::newRow("alpha below alpha.1") << "v1.0.0-alpha"
                                             << "v1.0.0-alpha.1" << true << false;
        QTest::newRow("alpha.1 below beta") << "v1.0.0-alpha.1"
                                            << "v1.0.0-beta" << true << false;
        QTest::newRow("beta below release") << "v1.0.0-beta"
                                            << "v1.0.0" << true << false;
        QTest::newRow("numeric identifiers") << "v1.0.0-2"
                                             << "v1.0.0-10" << true << false;
        QTest::newRow("numeric against text") << "v1.0.0-1"
                                              << "v1.0.0-alpha" << true << false;
        QTest::newRow("text case order") << "v1.0.0-Beta"
                                         << "v1.0.0-alpha" << true << false;
        QTest::newRow("equal pre-release") << "v1.0.0-rc.1"
                                           << "v1.0.0-rc.1" << false << false;
        QTest::newRow("build ignored") << "v1.0.0+build.1"
                                       << "v1.0.0+build.2" << false << false;
        QTest::newRow("build ignored with pre-release") << "v1.0.0-rc+a"
                                                        << "v1.0.0-rc+b" << false << false;
        QTest::newRow("unparsable is 0.0.0") << "garbage"
                                             << "v0.0.1" << true << false;
        QTest::newRow("unparsable equals 0.0.0") << "garbage"
                                                 << "v0.0.0" << false << false;
        QTest::newRow("release candidate of running") << "v0.5.10-rc.1"
                                                      << "v0.5.10" << true << false;
    }

    void precedence()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QTEST(SemVer(a).isOlderThan(SemVer(b)), "aOlder");
        QTEST(SemVer(b).isOlderThan(SemVer(a)), "bOlder");
    }

    void copyKeepsEverything()
    {
        const SemVer original(QStringLiteral("v3.4.5-rc.2+b.9"));
        SemVer copy(original);
        QCOMPARE(copy.toString(), original.toString());
        copy = SemVer(QStringLiteral("v1.0.0"));
        QCOMPARE(copy.toString(), QStringLiteral("v1.0.0"));
        QCOMPARE(original.toString(), QStringLiteral("v3.4.5-rc.2+b.9"));
    }
};

QTEST_GUILESS_MAIN(TestSemVer)
#include "tst_semver.moc"
