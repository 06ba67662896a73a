#include "gui/GuiVpnStartup.h"

#include "core/VpnStartupResult.h"
#include "prefs/Settings.h"

#include "AnsweringMessageBoxFactory.h"
#include "CheckedParameters.h"
#include "LogCapture.h"
#include "RecordingOsAbstraction.h"
#include "RecordingVpnBackend.h"

#include <QSettings>
#include <QTest>

namespace {

const unsigned char ROUTING = VpnStartupResult::ROUTING_TABLE_MANAGER_PROGRAM_CHECK_FAILED;
const unsigned char IKS = VpnStartupResult::IKS_SETTINGS_ASK;
const unsigned char TUNTAP = VpnStartupResult::TUNTAP_PROBLEM_DETECTED;

const QString UNCHANGED = QStringLiteral("iks=0 route=1 tuntap=1");

// The dialog a recorded box stands for.
QString dialogName(const RecordingMessageBoxFactory::Shown &shown)
{
    if (shown.text == GuiVpnStartup::ROUTING_TEXT)
        return QStringLiteral("routing");
    if (shown.text == GuiVpnStartup::IKS_TEXT)
        return QStringLiteral("iks");
    if (shown.text == GuiVpnStartup::TUNTAP_TEXT)
        return QStringLiteral("tuntap");
    return QStringLiteral("unknown: ") + shown.text;
}

} // namespace

class TestGuiVpnStartup : public QObject
{
    Q_OBJECT

    QSharedPointer<AnsweringMessageBoxFactory> m_factory;
    QSharedPointer<CheckedParameters> m_params;
    RecordingVpnBackend m_backend;
    RecordingOsAbstraction m_os;

    QStringList shownDialogs() const
    {
        QStringList names;
        for (const RecordingMessageBoxFactory::Shown &shown : m_factory->shown)
            names.append(dialogName(shown));
        return names;
    }

    VpnStartupResult result(VpnStartupResult::ResultType type, unsigned char flags) const
    {
        return VpnStartupResult(m_params, type, QStringLiteral("checks"), flags);
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN-test"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_guivpnstartup"));
    }

    void init()
    {
        QSettings().clear();
        m_factory.reset(new AnsweringMessageBoxFactory);
        MessageBoxFactory::setInstance(m_factory);
        m_params.reset(new CheckedParameters);
        m_backend.starts.clear();
        m_os.calls.clear();
    }

    void cleanup() { MessageBoxFactory::setInstance({}); }

    void startRefreshesTheSiteThenStarts()
    {
        Settings settings;
        GuiVpnStartup startup(m_backend, settings, m_os);
        startup.startVPN(m_params, QStringLiteral("alice"), QStringLiteral("secret"));

        QCOMPARE(m_params->refreshCount, 1);
        QCOMPARE(m_backend.starts.size(), 1);
        QCOMPARE(m_backend.starts[0].parameters, m_params.staticCast<ConnectionParameters>());
        QCOMPARE(m_backend.starts[0].user, QStringLiteral("alice"));
        QCOMPARE(m_backend.starts[0].password, QStringLiteral("secret"));
        QVERIFY(m_factory->shown.isEmpty());
    }

    void startWithoutParametersStartsNothing()
    {
        Settings settings;
        GuiVpnStartup startup(m_backend, settings, m_os);
        startup.startVPN(QSharedPointer<ConnectionParameters>(), QString(), QString());
        QVERIFY(m_backend.starts.isEmpty());
    }

    // Only a failed-checks result asks anything; the flags of the others are ignored.
    void resultsWithoutQuestions_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<bool>("warned");
        QTest::newRow("aborted") << 0 << false << false;
        QTest::newRow("started") << 2 << true << false;
        QTest::newRow("unknown type") << 7 << false << true;
        QTest::newRow("negative type") << -1 << false << true;
    }

    void resultsWithoutQuestions()
    {
        QFETCH(int, type);
        QFETCH(bool, expected);
        QFETCH(bool, warned);
        Settings settings;
        GuiVpnStartup startup(m_backend, settings, m_os);
        LogCapture log;
        const bool running = startup.onVpnStartupResult(
            nullptr, result(static_cast<VpnStartupResult::ResultType>(type), ROUTING | IKS | TUNTAP), "u", "p");

        QCOMPARE(running, expected);
        QVERIFY(m_factory->shown.isEmpty());
        QVERIFY(m_backend.starts.isEmpty());
        QCOMPARE(LogCapture::lines().contains(QStringLiteral("Warning: unknown VpnStartupResult Type")), warned);
    }

    void failedChecks_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("checkTunTapBefore");
        QTest::addColumn<QStringList>("dialogs");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<QString>("restart"); // the parameters started again; empty: no start
        QTest::addColumn<int>("storedIks");
        QTest::addColumn<bool>("storedCheckTunTap");
        QTest::addColumn<int>("reinstalls");

        const QStringList r {"routing"}, i {"iks"}, t {"tuntap"};
        QTest::newRow("no flag: restart unchanged")
            << 0 << QStringList() << true << QStringList() << true << UNCHANGED << 0 << true << 0;
        QTest::newRow("routing: yes") << int(ROUTING) << QStringList {"yes"} << true << r << true
                                      << "iks=0 route=0 tuntap=1" << 0 << true << 0;
        QTest::newRow("routing: no") << int(ROUTING) << QStringList {"no"} << true << r << false << QString() << 0
                                     << true << 0;
        QTest::newRow("routing: closed") << int(ROUTING) << QStringList {"close"} << true << r << false << QString()
                                         << 0 << true << 0;
        QTest::newRow("iks: yes, not saved")
            << int(IKS) << QStringList {"yes"} << true << i << true << "iks=1 route=1 tuntap=1" << 0 << true << 0;
        QTest::newRow("iks: yes, saved") << int(IKS) << QStringList {"tick yes"} << true << i << true
                                         << "iks=1 route=1 tuntap=1" << 1 << true << 0;
        QTest::newRow("iks: no, saved") << int(IKS) << QStringList {"tick no"} << true << i << true
                                        << "iks=2 route=1 tuntap=1" << 2 << true << 0;
        QTest::newRow("iks: cancel, ticked")
            << int(IKS) << QStringList {"tick cancel"} << true << i << false << QString() << 0 << true << 0;
        QTest::newRow("iks: closed, ticked")
            << int(IKS) << QStringList {"tick close"} << true << i << false << QString() << 0 << true << 0;
        QTest::newRow("tuntap: yes reinstalls")
            << int(TUNTAP) << QStringList {"yes"} << true << t << true << UNCHANGED << 0 << true << 1;
        QTest::newRow("tuntap: yes, unticked, switches the check on")
            << int(TUNTAP) << QStringList {"yes"} << false << t << true << UNCHANGED << 0 << true << 1;
        QTest::newRow("tuntap: no, ticked") << int(TUNTAP) << QStringList {"tick no"} << true << t << true
                                            << "iks=0 route=1 tuntap=0" << 0 << false << 0;
        QTest::newRow("tuntap: cancel, ticked")
            << int(TUNTAP) << QStringList {"tick cancel"} << true << t << false << QString() << 0 << false << 0;
        QTest::newRow("tuntap: closed") << int(TUNTAP) << QStringList {"close"} << false << t << false << QString() << 0
                                        << true << 0;
        QTest::newRow("all: every answer lets it go on")
            << int(ROUTING | IKS | TUNTAP) << QStringList {"yes", "tick no", "tick yes"} << true << (r + i + t) << true
            << "iks=2 route=0 tuntap=0" << 2 << false << 1;
        QTest::newRow("all: routing declined asks nothing more")
            << int(ROUTING | IKS | TUNTAP) << QStringList {"no"} << true << r << false << QString() << 0 << true << 0;
        QTest::newRow("all: iks cancelled skips the driver dialog")
            << int(ROUTING | IKS | TUNTAP) << QStringList {"yes", "cancel"} << true << (r + i) << false << QString()
            << 0 << true << 0;
        QTest::newRow("iks saved, then driver cancelled: the saved decision stays")
            << int(IKS | TUNTAP) << QStringList {"tick yes", "cancel"} << true << (i + t) << false << QString() << 1
            << true << 0;
    }

    void failedChecks()
    {
        QFETCH(int, flags);
        QFETCH(QStringList, answers);
        QFETCH(bool, checkTunTapBefore);
        QFETCH(QStringList, dialogs);
        QFETCH(bool, expected);
        QFETCH(QString, restart);
        QFETCH(int, storedIks);
        QFETCH(bool, storedCheckTunTap);
        QFETCH(int, reinstalls);

        Settings settings;
        settings.setCheckTunTapOnConnect(checkTunTapBefore);
        m_factory->answerWith(answers);
        GuiVpnStartup startup(m_backend, settings, m_os);
        const bool running = startup.onVpnStartupResult(
            nullptr, result(VpnStartupResult::PRELIMINARY_CHECKS_FAILED, static_cast<unsigned char>(flags)),
            QStringLiteral("bob"), QStringLiteral("pw2"));

        QCOMPARE(running, expected);
        QCOMPARE(shownDialogs(), dialogs);
        QCOMPARE(m_backend.starts.size(), restart.isEmpty() ? 0 : 1);
        if (!restart.isEmpty()) {
            const auto started = m_backend.starts[0].parameters.dynamicCast<CheckedParameters>();
            QVERIFY(started);
            QCOMPARE(started->describe(), restart);
            // The restart goes straight to the backend with the credentials given now.
            QCOMPARE(started->refreshCount, 0);
            QCOMPARE(m_backend.starts[0].user, QStringLiteral("bob"));
            QCOMPARE(m_backend.starts[0].password, QStringLiteral("pw2"));
        }
        QCOMPARE(m_params->describe(), UNCHANGED);
        QCOMPARE(m_params->refreshCount, 0);

        Settings after;
        QCOMPARE(int(after.iksEnableOnConnect()), storedIks);
        QCOMPARE(after.getCheckTunTapOnConnect(), storedCheckTunTap);
        QCOMPARE(m_os.callsOf(QStringLiteral("reinstallTunTapDriver")).size(), reinstalls);
    }

    // Only a saved Yes or No replaces an interface decision stored earlier.
    void storedInterfaceDecision_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("choice");
        QTest::addColumn<int>("storedAfter");
        QTest::newRow("yes, not saved") << "yes" << int(Settings::ENABLE) << int(Settings::NOOP);
        QTest::newRow("yes, saved") << "tick yes" << int(Settings::ENABLE) << int(Settings::ENABLE);
        QTest::newRow("cancel, ticked") << "tick cancel" << int(Settings::ASK) << int(Settings::NOOP);
        QTest::newRow("closed, ticked") << "tick close" << int(Settings::ASK) << int(Settings::NOOP);
        QTest::newRow("ended without a button, ticked") << "tick reject" << int(Settings::ASK) << int(Settings::NOOP);
    }

    void storedInterfaceDecision()
    {
        QFETCH(QString, answer);
        QFETCH(int, choice);
        QFETCH(int, storedAfter);
        Settings settings;
        settings.setIksEnableOnConnect(Settings::NOOP);
        m_factory->answerWith({answer});
        GuiVpnStartup startup(m_backend, settings, m_os);
        QCOMPARE(int(startup.warningAskUserIKSEnableOnConnect(nullptr, settings)), choice);
        QCOMPARE(int(Settings().iksEnableOnConnect()), storedAfter);
    }

    void dialogLooks_data()
    {
        QTest::addColumn<int>("flag");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("informativeText");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("checkBox");

        const int yesNo = QMessageBox::Yes | QMessageBox::No;
        const int yesNoCancel = yesNo | QMessageBox::Cancel;
        QTest::newRow("routing") << int(ROUTING) << "Network configuration problem detected"
                                 << "Problem detected: the network could not be properly configured. Do you want to "
                                    "try to connect anyway?"
                                 << "The connection could not start properly and/or leaks are possible."
                                 << int(QMessageBox::Warning) << yesNo << QString();
        QTest::newRow("interfaces") << int(IKS) << "OrvalVPN"
                                    << "Internet Kill Switch detected disabled interfaces!\nActivate these interfaces "
                                       "before conneting?"
                                    << QString() << int(QMessageBox::Question) << yesNoCancel << "Save my decision";
        QTest::newRow("driver") << int(TUNTAP) << "OrvalVPN"
                                << "A driver problem was detected." << GuiVpnStartup::TUNTAP_FIRST_INFORMATIVE_TEXT
                                << int(QMessageBox::Critical) << yesNoCancel << "Don't show this warning again";
    }

    void dialogLooks()
    {
        QFETCH(int, flag);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(QString, informativeText);
        QFETCH(int, icon);
        QFETCH(int, buttons);
        QFETCH(QString, checkBox);

        Settings settings;
        GuiVpnStartup startup(m_backend, settings, m_os);
        startup.onVpnStartupResult(
            nullptr, result(VpnStartupResult::PRELIMINARY_CHECKS_FAILED, static_cast<unsigned char>(flag)), QString(),
            QString());

        QCOMPARE(m_factory->shown.size(), 1);
        const RecordingMessageBoxFactory::Shown &shown = m_factory->shown[0];
        QCOMPARE(shown.title, title);
        QCOMPARE(shown.text, text);
        QCOMPARE(shown.informativeText, informativeText);
        QCOMPARE(int(shown.icon), icon);
        QCOMPARE(int(shown.buttons), buttons);
        QCOMPARE(m_factory->checkBoxTexts[0], checkBox);
    }

    void driverAdviceOnlyInTheFirstDialogOfAnObject()
    {
        Settings settings;
        m_factory->answerWith({"no", "no", "no"});
        {
            GuiVpnStartup startup(m_backend, settings, m_os);
            QVERIFY(startup.reinstallTAPDriver(nullptr, settings));
            QVERIFY(startup.reinstallTAPDriver(nullptr, settings));
        }
        GuiVpnStartup next(m_backend, settings, m_os);
        QVERIFY(next.reinstallTAPDriver(nullptr, settings));

        QCOMPARE(m_factory->shown.size(), 3);
        QVERIFY(m_factory->shown[0].informativeText.contains(QStringLiteral("virus protection")));
        QCOMPARE(m_factory->shown[1].informativeText, GuiVpnStartup::TUNTAP_REPEATED_INFORMATIVE_TEXT);
        QCOMPARE(m_factory->shown[2].informativeText, GuiVpnStartup::TUNTAP_FIRST_INFORMATIVE_TEXT);
    }

    void dialogsBelongToTheParentWindow()
    {
        QWidget window;
        Settings settings;
        QWidget *boxParent = nullptr;
        m_factory->answers.append([&boxParent](QDialog &dialog) {
            boxParent = dialog.parentWidget();
            RecordingMessageBoxFactory::press(QMessageBox::Yes)(dialog);
        });
        GuiVpnStartup startup(m_backend, settings, m_os);
        QVERIFY(startup.onVpnStartupResult(&window, result(VpnStartupResult::PRELIMINARY_CHECKS_FAILED, IKS), "", ""));
        QCOMPARE(boxParent, &window);
    }
};

QTEST_MAIN(TestGuiVpnStartup)
#include "tst_guivpnstartup.moc"
