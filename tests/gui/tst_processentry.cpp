#include "RecordingMessageBoxFactory.h"
#include "gui/ProcessEntry.h"
#include "prefs/Settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>
#include <QTest>

#include <stdexcept>

// ProcessEntry makes and destroys its own application objects, so this test
// runs without one of its own.
class TestProcessEntry : public QObject
{
    Q_OBJECT

    QSharedPointer<RecordingMessageBoxFactory> m_factory;
    int m_argc = 1;
    char m_name[32] = "tst_processentry";
    char *m_argv[2] = {m_name, nullptr};

    ProcessEntry::BoxFactoryMaker recording()
    {
        m_factory.reset();
        // Boxes need the application, so the factory is made only when asked for.
        return [this] {
            m_factory = QSharedPointer<RecordingMessageBoxFactory>::create();
            m_factory->answers = {RecordingMessageBoxFactory::press(QMessageBox::Ok)};
            return m_factory;
        };
    }

private slots:
    void initTestCase()
    {
        // A store left by an earlier run must not switch on high-DPI scaling.
        QCoreApplication::setOrganizationName("OrvalVPN");
        QCoreApplication::setApplicationName("OrvalVPN");
        Settings().clear();
    }

    void runModeResultIsTheExitCode()
    {
        bool ran = false;
        const int code = ProcessEntry::run(
            m_argc, m_argv,
            [&](QApplication &, int, char **) {
                ran = true;
                // Every run mode finds the process prepared.
                if (QDir::currentPath() != "/" || QCoreApplication::applicationName() != "OrvalVPN"
                    || qgetenv("QT_BEARER_POLL_TIMEOUT") != "2000000000" || !QFile::exists(":/images/icon-256.png"))
                    return 99;
                return 7;
            },
            recording());
        QVERIFY(ran);
        QCOMPARE(code, 7);
        QVERIFY(!m_factory);
    }

    // The false row runs first: the attribute, once set, stays set for the process.
    void highDpiPreference_data()
    {
        QTest::addColumn<bool>("toggle");
        QTest::newRow("off") << false;
        QTest::newRow("on") << true;
    }

    void highDpiPreference()
    {
        QFETCH(bool, toggle);
        Settings().setPixelRatioToggle(toggle);
        qunsetenv("QT_AUTO_SCREEN_SCALE_FACTOR");
        bool scaling = !toggle;
        QByteArray factor = "unset";
        ProcessEntry::run(
            m_argc, m_argv,
            [&](QApplication &, int, char **) {
                scaling = QCoreApplication::testAttribute(Qt::AA_EnableHighDpiScaling);
                factor = qgetenv("QT_AUTO_SCREEN_SCALE_FACTOR");
                return 0;
            },
            recording());
        QCOMPARE(scaling, toggle);
        QCOMPARE(factor, toggle ? QByteArray("1") : QByteArray());
    }

    // The random picks ("Auto" cipher offers) must vary between runs: each
    // start seeds Qt's generator from the clock. The seed is the millisecond
    // of the start, so three starts all drawing alike would take a one in a
    // million coincidence.
    void startsDrawDifferently()
    {
        QSet<QByteArray> draws;
        for (int start = 0; start < 3; ++start) {
            QProcess probe;
            probe.start(QStringLiteral(ENTRY_PROBE), {"draw"});
            QVERIFY(probe.waitForFinished(30000));
            QCOMPARE(probe.exitCode(), 0);
            const QByteArray draw = probe.readAllStandardOutput().trimmed();
            QVERIFY(!draw.isEmpty());
            draws.insert(draw);
        }
        QVERIFY2(draws.size() > 1, draws.values().first().constData());
    }

    // Without a display no one could close the error box: the failure goes to
    // standard error and the process ends, as a clean-up at boot must.
    void escapingExceptionWithoutDisplayEndsWith1()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        QProcess probe;
        probe.setProcessEnvironment(environment);
        probe.start(QStringLiteral(ENTRY_PROBE), {"throw"});
        QVERIFY(probe.waitForFinished(30000));
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), 1);
        QVERIFY(probe.readAllStandardError().contains("Fatal error: \"probe failure\""));
    }

    void escapingExceptionShowsTheBoxAndEndsWith1()
    {
        bool appGone = false;
        const int code = ProcessEntry::run(
            m_argc, m_argv, [](QApplication &, int, char **) -> int { throw std::runtime_error("disk on fire"); },
            recording());
        appGone = QCoreApplication::instance() == nullptr;
        QCOMPARE(code, 1);
        QVERIFY(appGone);
        QCOMPARE(m_factory->shown.size(), 1);
        const RecordingMessageBoxFactory::Shown &box = m_factory->shown.first();
        QCOMPARE(box.text, QStringLiteral("disk on fire"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box.title, QStringLiteral("OrvalVPN"));
        QVERIFY(box.informativeText.isEmpty());
    }
};

int main(int argc, char **argv)
{
    TestProcessEntry test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_processentry.moc"
