#include "SettingsDialogWorld.h"

#include "app/AbstractMessageHandler.h"
#include "catalogue/DnsJson.h"
#include "catalogue/HalvorixServerSite.h"
#include "catalogue/ServerSitePortFilter.h"
#include "catalogue/ServerSiteProtocolFilter.h"
#include "core/LogHandlerOption.h"
#include "gui/ApplicationTranslation.h"
#include "gui/settings/IpAddressEdit.h"
#include "prefs/DnsPreferenceAction.h"
#include "prefs/MtuPreference.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <QTranslator>

namespace {
template<typename T>
T *control(QWidget &dialog, const char *name)
{
    return SettingsDialogWorld::control<T>(dialog, name);
}

QStringList itemTexts(const QListWidget &list)
{
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.item(i)->text();
    return texts;
}

void select(QListWidget &list, const QStringList &texts)
{
    list.clearSelection();
    for (const QString &text : texts)
        list.findItems(text, Qt::MatchExactly).first()->setSelected(true);
}

// The name under which this program runs, as the process table shows it.
QString ownName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A file even root cannot delete (or can again).
bool setImmutable(const QString &path, bool immutable)
{
    return QProcess::execute(QStringLiteral("chattr"), {immutable ? QStringLiteral("+i") : QStringLiteral("-i"), path})
           == 0;
}

QString logFolderPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::DataLocation) + QStringLiteral("/logs");
}

HalvorixServerSite dedicatedSite(const QString &country, const QString &address)
{
    return HalvorixServerSite::dedicatedServerSite(
        country, QString(), QHostAddress(address), QDir(Settings().configDir()),
        ServerSiteProtocolFilter(ServerSiteProtocolFilter::ANYPROTOCOL), ServerSitePortFilter());
}
} // namespace

// The actions of the settings tabs: what each slot changes in the form, what
// it does at once, and what it leaves to the save.
class TestSettingsActions : public QObject
{
    Q_OBJECT

    std::unique_ptr<SettingsDialogWorld> m_world;
    QTemporaryDir m_scratch;
    QTranslator m_translator;

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        QVERIFY(m_scratch.isValid());
        // The product name comes from the application's translation.
        QVERIFY(ApplicationTranslation::install(m_translator));
    }

    void init() { m_world = std::make_unique<SettingsDialogWorld>(); }
    void cleanup() { m_world.reset(); }

    void addProcess_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("addEnabled");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("lineEdit");
        QTest::addColumn<bool>("terminate");
        const QStringList stored {"Mail", "sleep"};
        QTest::newRow("new name, trimmed, sorted in")
            << "  firefox " << true << QStringList {"Mail", "firefox", "sleep"} << "" << true;
        QTest::newRow("listed name: selected, text kept") << "sleep" << false << stored << "sleep" << true;
        QTest::newRow("differs in case only")
            << "Sleep" << true << QStringList {"Mail", "Sleep", "sleep"} << "" << true;
        QTest::newRow("blanks only") << "   " << false << stored << "   " << false;
        QTest::newRow("this program itself") << ownName() << false << stored << ownName() << false;
        QTest::newRow("an option for killall") << "-e" << false << stored << "-e" << false;
        QTest::newRow("an option after blanks") << "  -9" << false << stored << "  -9" << false;
    }

    void addProcess()
    {
        QFETCH(QString, typed);
        QFETCH(bool, addEnabled);
        QFETCH(QStringList, list);
        QFETCH(QString, lineEdit);
        QFETCH(bool, terminate);
        Settings().setProcessKillList({QStringLiteral("Mail"), QStringLiteral("sleep")});
        const auto dialog = m_world->open();
        QLineEdit *name = control<QLineEdit>(*dialog, "nameOfProcessToAdd");
        QPushButton *add = control<QPushButton>(*dialog, "addProcessToKillList");
        QListWidget *processes = control<QListWidget>(*dialog, "processesToKillByNameList");
        name->setText(typed);
        QCOMPARE(add->isEnabled(), addEnabled);
        // The slot refuses what the button would not offer.
        QMetaObject::invokeMethod(&SettingsDialogWorld::widget(*dialog), "on_addProcessToKillList_clicked");
        QCOMPARE(itemTexts(*processes), list);
        QCOMPARE(name->text(), lineEdit);
        QCOMPARE(control<QCheckBox>(*dialog, "doTerminateProcessesOnDisconnect")->isChecked(), terminate);
        if (typed == QLatin1String("sleep"))
            QCOMPARE(processes->currentItem()->text(), typed);
        SettingsDialogWorld::press(*dialog, QDialogButtonBox::Save);
        QCOMPARE(Settings().processKillList(), list);
    }

    void removeAndSelection()
    {
        Settings().setProcessKillList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        const auto dialog = m_world->open();
        QListWidget *processes = control<QListWidget>(*dialog, "processesToKillByNameList");
        QPushButton *remove = control<QPushButton>(*dialog, "removeSelectedProcessFromKillList");
        QPushButton *test = control<QPushButton>(*dialog, "testKillAll");
        QVERIFY(!remove->isEnabled() && !test->isEnabled());
        select(*processes, {"a", "c"});
        QVERIFY(remove->isEnabled() && test->isEnabled());
        remove->click();
        QCOMPARE(itemTexts(*processes), QStringList {"b"});
        QVERIFY(!remove->isEnabled() && !test->isEnabled());
    }

    // "Test" ends running programs: only the selected ones, and only after
    // the user confirmed them by name.
    void testKillsOnlyTheSelectedAfterYes()
    {
        const QString sleep = QStandardPaths::findExecutable(QStringLiteral("sleep"));
        if (QStandardPaths::findExecutable(QStringLiteral("killall")).isEmpty() || sleep.isEmpty())
            QSKIP("needs killall (psmisc) and sleep");
        const QString suffix = QString::number(QCoreApplication::applicationPid());
        const QString chosen = QStringLiteral("osA") + suffix;
        const QString other = QStringLiteral("osB") + suffix;
        QProcess chosenProcess;
        QProcess otherProcess;
        for (auto [name, process] : {std::make_pair(chosen, &chosenProcess), std::make_pair(other, &otherProcess)}) {
            const QString copy = m_scratch.filePath(name);
            QVERIFY(QFile::copy(sleep, copy));
            QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner);
            process->start(copy, {QStringLiteral("60")});
            QVERIFY(process->waitForStarted());
        }
        Settings().setProcessKillList({chosen, other});
        const auto dialog = m_world->open();
        select(*control<QListWidget>(*dialog, "processesToKillByNameList"), {chosen});

        m_world->boxes->answerWith({"no"});
        control<QPushButton>(*dialog, "testKillAll")->click();
        QCOMPARE(m_world->boxes->shown.size(), 1);
        QCOMPARE(m_world->boxes->shown.first().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(m_world->boxes->shown.first().informativeText, chosen);
        QVERIFY(!chosenProcess.waitForFinished(1000));

        m_world->boxes->answerWith({"yes"});
        control<QPushButton>(*dialog, "testKillAll")->click();
        QVERIFY(chosenProcess.waitForFinished(10000));
        QCOMPARE(chosenProcess.exitStatus(), QProcess::CrashExit);
        QVERIFY(!otherProcess.waitForFinished(1000));
        QCOMPARE(itemTexts(*control<QListWidget>(*dialog, "processesToKillByNameList")), (QStringList {chosen, other}));
        otherProcess.kill();
        otherProcess.waitForFinished();
    }

    // A stored list may hold a name the list now refuses; Test passes it over.
    void testNeverEndsThisProgram()
    {
        Settings().setProcessKillList({ownName(), QStringLiteral("-s")});
        const auto dialog = m_world->open();
        select(*control<QListWidget>(*dialog, "processesToKillByNameList"), {ownName(), "-s"});
        control<QPushButton>(*dialog, "testKillAll")->click();
        QCOMPARE(m_world->boxes->shown.size(), 0);
    }

    void pickProcess_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("added");
        QTest::newRow("picked") << "picked" << true;
        QTest::newRow("this program itself") << "own" << false;
        QTest::newRow("cancelled") << "cancel" << false;
    }

    // The picker offers the running programs; a pick is added as if typed.
    void pickProcess()
    {
        QFETCH(QString, answer);
        QFETCH(bool, added);
        const auto dialog = m_world->open();
        QString picked;
        m_world->boxes->answers << [answer, &picked](QDialog &box) {
            auto *input = qobject_cast<QInputDialog *>(&box);
            const QStringList offered = input->comboBoxItems();
            // This test itself, or some other program of this user.
            for (const QString &name : offered) {
                if (answer == QLatin1String("own") ? ownName().startsWith(name)
                                                   : SettingsWidget::isKillableProcessName(name))
                    picked = name;
            }
            input->setTextValue(picked);
            if (answer == QLatin1String("cancel"))
                input->reject();
            else
                input->accept();
        };
        control<QPushButton>(*dialog, "selectProcessName")->click();
        QCOMPARE(m_world->boxes->shown.size(), 1);
        QCOMPARE(m_world->boxes->shown.first().title, QStringLiteral("OrvalVPN/ Select Process"));
        QCOMPARE(m_world->boxes->shown.first().text, QStringLiteral("Select a process for adding to kill list:"));
        QVERIFY(!picked.isEmpty());
        const QStringList listed = itemTexts(*control<QListWidget>(*dialog, "processesToKillByNameList"));
        QCOMPARE(listed.contains(picked), added);
        QCOMPARE(control<QCheckBox>(*dialog, "doTerminateProcessesOnDisconnect")->isChecked(), added);
    }

    void selectScript_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("before connect") << "selectPathToBeforeConnectScript"
                                        << "pathToBeforeConnectScript" << true;
        QTest::newRow("after connect") << "selectPathToAfterConnectScript"
                                       << "pathToAfterConnectScript" << true;
        QTest::newRow("after disconnect") << "selectPathToAfterDisconnectScript"
                                          << "pathToAfterDisconnectScript" << true;
        QTest::newRow("cancelled") << "selectPathToAfterConnectScript"
                                   << "pathToAfterConnectScript" << false;
    }

    void selectScript()
    {
        QFETCH(QString, button);
        QFETCH(QString, target);
        QFETCH(bool, chosen);
        const QString script = m_scratch.filePath(QStringLiteral("up.sh"));
        QVERIFY(writeFile(script, "#!/bin/sh\n"));
        const auto dialog = m_world->open();
        if (chosen)
            m_world->boxes->answers << AnsweringMessageBoxFactory::chooseFile(script);
        control<QPushButton>(*dialog, qPrintable(button))->click();
        QCOMPARE(m_world->boxes->shown.size(), 1);
        QCOMPARE(control<QLineEdit>(*dialog, qPrintable(target))->text(), chosen ? script : QString());
        QCOMPARE(control<QCheckBox>(*dialog, "doExecuteExternalScripts")->isChecked(), chosen);

        control<QPushButton>(*dialog, "clearScript")->click();
        QVERIFY(control<QLineEdit>(*dialog, qPrintable(target))->text().isEmpty());
        QVERIFY(!control<QCheckBox>(*dialog, "doExecuteExternalScripts")->isChecked());
    }

    void addDedicatedIp_data()
    {
        QTest::addColumn<bool>("setAsDefault");
        QTest::addColumn<bool>("saved");
        QTest::newRow("default, saved") << true << true;
        QTest::newRow("default, cancelled") << true << false;
        QTest::newRow("not default, saved") << false << true;
    }

    // The new site and its default mark are written together by the save.
    void addDedicatedIp()
    {
        QFETCH(bool, setAsDefault);
        QFETCH(bool, saved);
        Settings().setDefaultServerSite(QStringLiteral("previous"));
        const auto dialog = m_world->open();
        m_world->boxes->answers << [setAsDefault](QDialog &entry) {
            entry.findChild<QLineEdit *>(QStringLiteral("serverSitesDedicatedIpAddress"))
                ->setText(QStringLiteral("203.0.113.5"));
            entry.findChild<QCheckBox *>(QStringLiteral("serverSitesSetAsDefaultCheckbox"))->setChecked(setAsDefault);
            entry.findChild<QPushButton *>(QStringLiteral("okButton"))->click();
        };
        control<QPushButton>(*dialog, "serverSitesDedicatedIpAdd")->click();
        QListWidget *list = control<QListWidget>(*dialog, "serverSitesDedicatedIpList");
        QCOMPARE(list->count(), 1);
        const HalvorixServerSite site = list->item(0)->data(Qt::UserRole).value<HalvorixServerSite>();
        QCOMPARE(site.getDedicatedIp(), QHostAddress(QStringLiteral("203.0.113.5")));
        QCOMPARE(list->item(0)->text(), site.getDedicatedIpDisplayInfo());
        // Nothing is written before the dialog ends.
        QCOMPARE(Settings().defaultServerSite(), QStringLiteral("previous"));
        SettingsDialogWorld::press(*dialog, saved ? QDialogButtonBox::Save : QDialogButtonBox::Cancel);
        QCOMPARE(Settings().defaultServerSite(), setAsDefault && saved ? site.getId() : QStringLiteral("previous"));
        QCOMPARE(Settings().serverSitesWithDedicatedIp().size(), saved ? 1 : 0);
    }

    void removeDedicatedIp_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<int>("left");
        QTest::addColumn<bool>("defaultKept");
        QTest::newRow("OK, saved") << "ok" << true << 0 << false;
        QTest::newRow("OK, cancelled") << "ok" << false << 2 << true;
        // The default comes first in the selection: it and all after it stay.
        QTest::newRow("Cancel, saved") << "cancel" << true << 2 << true;
    }

    // Removing the default server asks; its removal is written by the save.
    void removeDedicatedIp()
    {
        QFETCH(QString, answer);
        QFETCH(bool, saved);
        QFETCH(int, left);
        QFETCH(bool, defaultKept);
        const HalvorixServerSite first = dedicatedSite(QStringLiteral("de"), QStringLiteral("203.0.113.5"));
        const HalvorixServerSite second = dedicatedSite(QStringLiteral("nl"), QStringLiteral("203.0.113.6"));
        {
            Settings settings;
            settings.setServerSitesWithDedicatedIp({first, second});
            settings.setDefaultServerSite(first.getId());
        }
        const auto dialog = m_world->open();
        QListWidget *list = control<QListWidget>(*dialog, "serverSitesDedicatedIpList");
        QPushButton *remove = control<QPushButton>(*dialog, "serverSitesDedicatedIpRemove");
        QVERIFY(!remove->isEnabled());
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setSelected(true);
        QVERIFY(remove->isEnabled());
        m_world->boxes->answerWith({answer});
        remove->click();
        QCOMPARE(m_world->boxes->shown.size(), 1);
        QCOMPARE(m_world->boxes->shown.first().text, QStringLiteral("You are removing your default server!"));
        QCOMPARE(Settings().defaultServerSite(), first.getId());
        SettingsDialogWorld::press(*dialog, saved ? QDialogButtonBox::Save : QDialogButtonBox::Cancel);
        QCOMPARE(Settings().serverSitesWithDedicatedIp().size(), left);
        QCOMPARE(Settings().defaultServerSite() == first.getId(), defaultKept);
    }

    void stealthProxies_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("kindEnabled");
        QTest::addColumn<bool>("comboEnabled");
        QTest::newRow("none") << 0 << false << false;
        QTest::newRow("one") << 1 << true << false;
        QTest::newRow("two") << 2 << true << true;
    }

    void stealthProxies()
    {
        QFETCH(int, count);
        QFETCH(bool, kindEnabled);
        QFETCH(bool, comboEnabled);
        m_world->stealthProxies = m_world->stealthProxies.mid(0, count);
        {
            Settings settings;
            settings.setProxySettings(Settings::STEALTH);
            settings.setStealthProxyId(QStringLiteral("xx-Nowhere"));
        }
        const auto dialog = m_world->open();
        QComboBox *combo = control<QComboBox>(*dialog, "stealthProxyServer");
        QCOMPARE(combo->count(), count);
        QCOMPARE(control<QRadioButton>(*dialog, "proxySettingsStealth")->isEnabled(), kindEnabled);
        QCOMPARE(combo->isEnabled(), comboEnabled);
        if (count) {
            QCOMPARE(combo->itemText(0), QStringLiteral("Netherlands - Amsterdam"));
            QCOMPARE(combo->itemData(0).toString(), QStringLiteral("nl-Amsterdam"));
        }
        SettingsDialogWorld::press(*dialog, QDialogButtonBox::Save);
        // An unknown stored proxy becomes the first one; without any it stays.
        QCOMPARE(Settings().getStealthProxyId(), count ? QStringLiteral("nl-Amsterdam") : QStringLiteral("xx-Nowhere"));
    }

    void mtuChoice_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("storedMtu");
        const QList<MtuPreference *> all = MtuPreference::ALLMTUPREFERENCES();
        for (int i = 0; i < all.size(); ++i) {
            if (!all.at(i)->isCustomMtu())
                QTest::newRow(qPrintable(all.at(i)->displayName()))
                    << i << QString() << false << false << all.at(i)->getMtu();
            else {
                QTest::newRow("custom 1400") << i << "1400" << true << false << 1400;
                QTest::newRow("custom 100: refused") << i << "100" << true << true << 1300;
                QTest::newRow("custom 0: refused") << i << "0" << true << true << 1300;
                QTest::newRow("custom 50000: refused") << i << "50000" << true << true << 1300;
                QTest::newRow("custom 70000: refused") << i << "70000" << true << true << 1300;
                QTest::newRow("custom empty: refused") << i << "" << true << true << 1300;
            }
        }
    }

    // A refused custom MTU turns red, says why under the field and cannot be
    // saved; the store keeps its MTU.
    void mtuChoice()
    {
        QFETCH(int, index);
        QFETCH(QString, typed);
        QFETCH(bool, editable);
        QFETCH(bool, refused);
        QFETCH(int, storedMtu);
        MtuPreference::CUSTOM_MTUPREFERENCE()->setMtuIfCustom(1300);
        Settings().setMtuPreference(MtuPreference::CUSTOM_MTUPREFERENCE());
        const auto dialog = m_world->open();
        QComboBox *combo = control<QComboBox>(*dialog, "mtuComboBox");
        QLineEdit *edit = control<QLineEdit>(*dialog, "mtuLineEdit");
        QLabel *check = control<QLabel>(*dialog, "mtuCheck");
        QPushButton *save = SettingsDialogWorld::button(*dialog, QDialogButtonBox::Save);
        QCOMPARE(combo->currentData().value<MtuPreference *>(), MtuPreference::CUSTOM_MTUPREFERENCE());
        QCOMPARE(edit->text(), QStringLiteral("1300"));
        QVERIFY(check->isHidden());
        combo->setCurrentIndex(index);
        const MtuPreference *chosen = combo->currentData().value<MtuPreference *>();
        QCOMPARE(edit->isEnabled(), editable);
        if (!editable)
            QCOMPARE(edit->text(), QString::number(chosen->getMtu()));
        else
            edit->setText(typed);
        QCOMPARE(edit->styleSheet(), refused ? QStringLiteral("color : red") : QStringLiteral("color : black"));
        QCOMPARE(check->isHidden(), !refused);
        QCOMPARE(check->text(), refused ? QStringLiteral("The MTU must be a number from 512 to 48000.") : QString());
        QCOMPARE(save->isEnabled(), !refused);
        if (refused) {
            SettingsDialogWorld::press(*dialog, QDialogButtonBox::Cancel);
        } else {
            SettingsDialogWorld::press(*dialog, QDialogButtonBox::Save);
            QCOMPARE(Settings().getMtuPreference()->getType(), chosen->getType());
        }
        QCOMPARE(Settings().getMtuPreference()->getMtu(), storedMtu);
    }

    // Leaving a refused custom MTU for a fixed one takes the refusal away.
    void refusedMtuLeftForAFixedOne()
    {
        const auto dialog = m_world->open();
        QComboBox *combo = control<QComboBox>(*dialog, "mtuComboBox");
        const QList<MtuPreference *> all = MtuPreference::ALLMTUPREFERENCES();
        combo->setCurrentIndex(all.indexOf(MtuPreference::CUSTOM_MTUPREFERENCE()));
        control<QLineEdit>(*dialog, "mtuLineEdit")->setText(QStringLiteral("0"));
        QVERIFY(!SettingsDialogWorld::button(*dialog, QDialogButtonBox::Save)->isEnabled());
        combo->setCurrentIndex(all.indexOf(MtuPreference::LOW_MTUPREFERENCE()));
        QVERIFY(control<QLabel>(*dialog, "mtuCheck")->isHidden());
        QCOMPARE(control<QLineEdit>(*dialog, "mtuLineEdit")->styleSheet(), QStringLiteral("color : black"));
        QVERIFY(SettingsDialogWorld::button(*dialog, QDialogButtonBox::Save)->isEnabled());
    }

    void proxyFields_data()
    {
        const QString invalid = QStringLiteral("Warning: the inserted address is not valid.");
        const QString portRange = QStringLiteral("The port must be a number from 1 to 65535.");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("addressReason");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("portStyle");
        QTest::addColumn<QString>("portReason");
        QTest::newRow("both good") << "198.51.100.1" << QString() << "8888"
                                   << "color : black" << QString();
        QTest::newRow("empty address") << ""
                                       << "Enter the address of the proxy server."
                                       << "1"
                                       << "color : black" << QString();
        QTest::newRow("partly typed") << "198.51." << invalid << "65535"
                                      << "color : black" << QString();
        QTest::newRow("group above 255") << "198.51.100.256" << invalid << "0"
                                         << "color : red" << portRange;
        QTest::newRow("port above the range") << "10.0.0.1" << QString() << "65536"
                                              << "color : red" << portRange;
        QTest::newRow("port 70000") << "10.0.0.1" << QString() << "70000"
                                    << "color : red" << portRange;
        QTest::newRow("empty port") << "10.0.0.1" << QString() << ""
                                    << "color : red" << portRange;
    }

    // A refused custom proxy field says why on a line of its own.
    void proxyFields()
    {
        QFETCH(QString, address);
        QFETCH(QString, addressReason);
        QFETCH(QString, port);
        QFETCH(QString, portStyle);
        QFETCH(QString, portReason);
        const auto dialog = m_world->open();
        control<QRadioButton>(*dialog, "proxySettingsCustom")->setChecked(true);
        QVERIFY(control<QWidget>(*dialog, "proxySettingsCustomValues")->isEnabled());
        QVERIFY(!control<QWidget>(*dialog, "proxySettingsStealthValues")->isEnabled());
        control<IpAddressEdit>(*dialog, "proxyAddress")->setText(QStringLiteral("1.2.3.4"));
        control<IpAddressEdit>(*dialog, "proxyAddress")->setText(address);
        QLabel *addressCheck = control<QLabel>(*dialog, "proxyAddressCheck");
        QCOMPARE(addressCheck->isHidden(), addressReason.isEmpty());
        if (!addressReason.isEmpty())
            QCOMPARE(addressCheck->text(), addressReason);
        control<QLineEdit>(*dialog, "proxyPort")->setText(port);
        QCOMPARE(control<QLineEdit>(*dialog, "proxyPort")->styleSheet(), portStyle);
        QLabel *portCheck = control<QLabel>(*dialog, "proxyPortCheck");
        QCOMPARE(portCheck->isHidden(), portReason.isEmpty());
        QCOMPARE(portCheck->text(), portReason);

        // Another kind of proxy needs neither field: nothing is refused.
        control<QRadioButton>(*dialog, "proxySettingsDirect")->setChecked(true);
        QVERIFY(portCheck->isHidden());
        QCOMPARE(addressCheck->isHidden(), addressReason.isEmpty() || address.isEmpty());
    }

    void forgetCredentials_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("forgotten");
        QTest::newRow("OK") << "ok" << true;
        QTest::newRow("Cancel") << "cancel" << false;
    }

    // Forgetting the credentials acts at once, a cancelled dialog or not.
    void forgetCredentials()
    {
        QFETCH(QString, answer);
        QFETCH(bool, forgotten);
        Settings().rememberCredentials(QStringLiteral("alice"), QStringLiteral("s3cret"));
        const auto dialog = m_world->open();
        QVERIFY(control<QPushButton>(*dialog, "forgetCredentials")->isEnabled());
        m_world->boxes->answerWith({answer});
        control<QPushButton>(*dialog, "forgetCredentials")->click();
        QCOMPARE(m_world->boxes->shown.first().text, QStringLiteral("Deleting username and password!"));
        SettingsDialogWorld::press(*dialog, QDialogButtonBox::Cancel);
        QCOMPARE(Settings().remembersCredentials(), !forgotten);
    }

    void dependentBoxes()
    {
        {
            Settings settings;
            settings.setInternetKillSwitch(false);
            settings.setSeamlessReconnect(false);
        }
        const auto dialog = m_world->open();
        QCheckBox *killSwitch = control<QCheckBox>(*dialog, "internetKillSwitch");
        QVERIFY(!control<QPushButton>(*dialog, "internetKillSwitchShowDialogButton")->isEnabled());
        QVERIFY(!control<QCheckBox>(*dialog, "removeIKSonClose")->isEnabled());
        killSwitch->setChecked(true);
        QVERIFY(control<QPushButton>(*dialog, "internetKillSwitchShowDialogButton")->isEnabled());
        QVERIFY(control<QCheckBox>(*dialog, "removeIKSonClose")->isEnabled());

        QCheckBox *seamless = control<QCheckBox>(*dialog, "seamlessReconnect");
        QVERIFY(!control<QCheckBox>(*dialog, "blockInternetWhenNotConnected")->isEnabled());
        seamless->click();
        QVERIFY(control<QCheckBox>(*dialog, "blockInternetWhenNotConnected")->isEnabled());

        // Without a system tray the tray choices stay locked.
        QVERIFY(!control<QCheckBox>(*dialog, "enableTrayIcon")->isEnabled());
        QCOMPARE(control<QCheckBox>(*dialog, "enableTrayIcon")->toolTip(),
                 QStringLiteral("System tray is not available on your platform."));
        QVERIFY(!control<QCheckBox>(*dialog, "startMinimized")->isEnabled());
    }

    void dnsButtons_data()
    {
        QTest::addColumn<bool>("connectionActive");
        QTest::newRow("no connection") << false;
        QTest::newRow("connection starts or runs") << true;
    }

    void dnsButtons()
    {
        QFETCH(bool, connectionActive);
        m_world->connectionActive = connectionActive;
        const auto dialog = m_world->open();
        QCOMPARE(control<QPushButton>(*dialog, "setSystemDNSButton")->isEnabled(), !connectionActive);
        QCOMPARE(control<QPushButton>(*dialog, "refreshDNSCacheNow")->isEnabled(), !connectionActive);
    }

    // The chosen name servers go to the backend; the dialog writes nothing.
    void setSystemNameServers()
    {
        const auto dialog = m_world->open();
        m_world->boxes->answers << [](QDialog &chooser) {
            QComboBox *servers = chooser.findChild<QComboBox *>(QStringLiteral("nameServerComboBox"));
            servers->setCurrentText(QStringLiteral("Quad9"));
            chooser.findChild<QPushButton *>(QStringLiteral("okButton"))->click();
        };
        control<QPushButton>(*dialog, "setSystemDNSButton")->click();
        QCOMPARE(m_world->backend.callsOf(QStringLiteral("setSystemNameServers")),
                 QStringList {"setSystemNameServers Quad9 [9.9.9.9]"});
    }

    void dnsActionLists_data()
    {
        QTest::addColumn<int>("customEntries");
        QTest::newRow("built-in entries only") << 0;
        QTest::newRow("two custom entries") << 2;
    }

    // None, then every entry; after connecting also the three server-side choices.
    void dnsActionLists()
    {
        QFETCH(int, customEntries);
        DnsList custom;
        for (int i = 0; i < customEntries; ++i)
            custom << DnsListEntry(QStringLiteral("Entry %1").arg(i),
                                   QHostAddress(QStringLiteral("10.0.0.%1").arg(i + 1)), QHostAddress(), true);
        Settings().setCustomDNS(custom);
        const DnsList list = Settings().getCustomDNS();
        const auto dialog = m_world->open();
        for (const char *name : {"onStartDnsComboBox", "beforeConnectDnsComboBox", "afterConnectDnsComboBox"}) {
            QComboBox *combo = control<QComboBox>(*dialog, name);
            const bool after = QByteArray(name).startsWith("after");
            QCOMPARE(combo->count(), (after ? 4 : 1) + list.size());
            QCOMPARE(combo->itemText(0), QStringLiteral("None"));
            if (after)
                QCOMPARE((QStringList {combo->itemText(1), combo->itemText(2), combo->itemText(3)}),
                         (QStringList {"Pushed DNS", "VPN DNS", "Ad Blocking DNS"}));
            const int first = after ? 4 : 1;
            for (int i = 0; i < list.size(); ++i)
                QCOMPARE(combo->itemData(first + i).value<DnsPreferenceAction>(),
                         DnsPreferenceAction::getDnsPreferenceActionCustom(list.at(i)));
        }
    }

    // An entry named like a built-in action stays chosen through a rebuild of
    // the lists (the edit dialog cancelled) and is saved as itself.
    void customEntryNamedLikeABuiltInAction()
    {
        const DnsListEntry vpn(QStringLiteral("VPN DNS"), QHostAddress(QStringLiteral("10.0.0.4")), QHostAddress(),
                               true);
        const DnsPreferenceAction custom = DnsPreferenceAction::getDnsPreferenceActionCustom(vpn);
        {
            Settings settings;
            settings.setCustomDNS(DnsList({vpn}));
            settings.setDnsPreferenceActionAfterConnect(custom);
        }
        const auto dialog = m_world->open();
        QComboBox *after = control<QComboBox>(*dialog, "afterConnectDnsComboBox");
        QCOMPARE(after->currentData().value<DnsPreferenceAction>(), custom);
        m_world->boxes->answerWith({"reject"});
        control<QPushButton>(*dialog, "dnsListWidget")->click();
        QCOMPARE(m_world->boxes->shown.size(), 1);
        QCOMPARE(after->currentData().value<DnsPreferenceAction>(), custom);
        SettingsDialogWorld::press(*dialog, QDialogButtonBox::Save);
        QCOMPARE(Settings().getDnsPreferenceActionAfterConnect(), custom);
    }

    void cleanDnsCache_data()
    {
        QTest::addColumn<bool>("removable");
        QTest::newRow("removed") << true;
        QTest::newRow("cannot be removed") << false;
    }

    // The cache goes at once; a failure is reported, and the button is off either way.
    void cleanDnsCache()
    {
        QFETCH(bool, removable);
        const QString cache = DnsJson::getLocalDnsjsonFileInfo().absoluteFilePath();
        QDir().mkpath(QFileInfo(cache).path());
        if (removable) {
            QVERIFY(writeFile(cache, "{}"));
        } else {
            // A directory in its place, with something inside, is not removed as a file.
            QVERIFY(QDir().mkpath(cache + QStringLiteral("/inside")));
        }
        const auto dialog = m_world->open();
        QPushButton *clean = control<QPushButton>(*dialog, "cleanDNSCache");
        QVERIFY(clean->isEnabled());
        clean->click();
        QCOMPARE(QFileInfo::exists(cache), !removable);
        QCOMPARE(m_world->boxes->shown.size(), removable ? 0 : 1);
        if (!removable) {
            QCOMPARE(m_world->boxes->shown.first().text, QStringLiteral("Local DNS cache could not be deleted."));
            QCOMPARE(m_world->boxes->shown.first().icon, QMessageBox::Warning);
            QDir(cache).removeRecursively();
        }
        QVERIFY(!clean->isEnabled());
    }

    // Host routes to the name servers exist only while the look-ups run.
    void refreshDnsCacheProtectsTheNameServers()
    {
        m_world->os.nameServers = {QHostAddress(QStringLiteral("192.0.2.53"))};
        const auto dialog = m_world->open();
        // The progress dialog ends by itself: there is no catalogue to look up.
        m_world->boxes->answers << AnsweringMessageBoxFactory::leave();
        control<QPushButton>(*dialog, "refreshDNSCacheNow")->click();
        QCOMPARE(m_world->os.callsOf(QStringLiteral("protectHost")), QStringList {"protectHost 192.0.2.53"});
        QCOMPARE(m_world->os.callsOf(QStringLiteral("releaseHost")), QStringList {"releaseHost 192.0.2.53"});
        QVERIFY(m_world->os.calls.indexOf(QStringLiteral("protectHost 192.0.2.53"))
                < m_world->os.calls.indexOf(QStringLiteral("releaseHost 192.0.2.53")));
    }

    void logFolder_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("cleanEnabled");
        QTest::addColumn<quint64>("bytes");
        QTest::newRow("missing: created") << "missing" << false << quint64(0);
        QTest::newRow("empty") << "empty" << false << quint64(0);
        QTest::newRow("only a subfolder") << "subfolder" << true << quint64(0);
        QTest::newRow("two logs") << "files" << true << quint64(1500 + 700);
        QTest::newRow("only a hidden file") << "hidden" << false << quint64(0);
        QTest::newRow("a log beside a hidden file") << "log and hidden" << true << quint64(1500);
    }

    void logFolder()
    {
        QFETCH(QString, content);
        QFETCH(bool, cleanEnabled);
        QFETCH(quint64, bytes);
        QDir folder(logFolderPath());
        folder.removeRecursively();
        if (content != QLatin1String("missing"))
            QVERIFY(folder.mkpath(QStringLiteral(".")));
        if (content == QLatin1String("subfolder"))
            QVERIFY(folder.mkpath(QStringLiteral("old")));
        if (content == QLatin1String("files")) {
            QVERIFY(writeFile(folder.filePath(QStringLiteral("log_0.txt")), QByteArray(1500, 'a')));
            QVERIFY(writeFile(folder.filePath(QStringLiteral("log_1.txt")), QByteArray(700, 'b')));
            QVERIFY(folder.mkpath(QStringLiteral("sub")));
            QVERIFY(writeFile(folder.filePath(QStringLiteral("sub/big.txt")), QByteArray(9000, 'c')));
        }
        if (content.contains(QLatin1String("hidden")))
            QVERIFY(writeFile(folder.filePath(QStringLiteral(".DS_Store")), QByteArray(6148, 'h')));
        if (content == QLatin1String("log and hidden"))
            QVERIFY(writeFile(folder.filePath(QStringLiteral("log_0.txt")), QByteArray(1500, 'a')));
        const auto dialog = m_world->open();
        QVERIFY(QFileInfo(logFolderPath()).isDir());
        QCOMPARE(control<QLineEdit>(*dialog, "logFolderPathLineEdit")->text(), logFolderPath());
        QVERIFY(control<QLineEdit>(*dialog, "logFolderPathLineEdit")->isReadOnly());
        QCOMPARE(control<QPushButton>(*dialog, "cleanLogFolderButton")->isEnabled(), cleanEnabled);
        QCOMPARE(control<QLabel>(*dialog, "logFolderSizeBytes")->text(),
                 AbstractMessageHandler::humanReadableByte(bytes));

        // A log written while the dialog is open shows after Refresh.
        QVERIFY(writeFile(folder.filePath(QStringLiteral("log_4.txt")), QByteArray(100, 'd')));
        control<QPushButton>(*dialog, "logFolderSizeRefreshButton")->click();
        QCOMPARE(control<QLabel>(*dialog, "logFolderSizeBytes")->text(),
                 AbstractMessageHandler::humanReadableByte(bytes + 100));
        QVERIFY(control<QPushButton>(*dialog, "cleanLogFolderButton")->isEnabled());
    }

    void cleanLogFolder_data()
    {
        QTest::addColumn<bool>("removable");
        QTest::newRow("all removed") << true;
        QTest::newRow("one cannot be removed") << false;
    }

    void cleanLogFolder()
    {
        QFETCH(bool, removable);
        QDir folder(logFolderPath());
        folder.removeRecursively();
        QVERIFY(folder.mkpath(QStringLiteral(".")));
        QVERIFY(writeFile(folder.filePath(QStringLiteral("log_0.txt")), QByteArray(300, 'a')));
        const QString stuck = folder.filePath(QStringLiteral("log_1.txt"));
        QVERIFY(writeFile(stuck, QByteArray(200, 'b')));
        if (!removable && !setImmutable(stuck, true))
            QSKIP("the file system cannot make a file undeletable (chattr)");
        const auto dialog = m_world->open();
        control<QPushButton>(*dialog, "cleanLogFolderButton")->click();
        if (!removable)
            QVERIFY(setImmutable(stuck, false));
        QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("log_0.txt"))));
        QCOMPARE(m_world->boxes->shown.size(), removable ? 0 : 1);
        if (!removable)
            QCOMPARE(m_world->boxes->shown.first().text, QStringLiteral("Some log file could not be deleted."));
        QCOMPARE(control<QLabel>(*dialog, "logFolderSizeBytes")->text(),
                 AbstractMessageHandler::humanReadableByte(removable ? 0 : 200));
        QCOMPARE(control<QPushButton>(*dialog, "cleanLogFolderButton")->isEnabled(), !removable);
        folder.removeRecursively();
    }

    void showLog()
    {
        Settings().setLogHandlerOption(LogHandlerOption::FileHandler());
        const auto dialog = m_world->open();
        QPushButton *show = control<QPushButton>(*dialog, "showLogButton");
        QVERIFY(show->isEnabled());
        m_world->boxes->answerWith({"reject"});
        show->click();
        QCOMPARE(m_world->boxes->shown.size(), 1);
        QCOMPARE(m_world->boxes->shown.first().className, QStringLiteral("LogDialog"));
    }
};

QTEST_MAIN(TestSettingsActions)
#include "tst_settingsactions.moc"
