#include "AnsweringMessageBoxFactory.h"
#include "ConnectionLab.h"
#include "RecordingOsAbstraction.h"
#include "RecordingVpnBackend.h"

#include "gui/settings/SettingsDialog.h"
#include "prefs/MtuPreference.h"
#include "prefs/Settings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

#include <functional>

// What the settings dialog saves is what the backend uses: the dialog, run
// in this test, writes the driver's own settings file; the driver then
// connects through the lab's real servers.
class TestSettingsDialogLab : public QObject
{
    Q_OBJECT

    QScopedPointer<ConnectionLab> m_lab;

    // Opens the dialog on the driver's settings, lets `choose` change the
    // form, and presses Save.
    void saveThroughDialog(const std::function<void(SettingsDialog &)> &choose)
    {
        RecordingOsAbstraction os;
        RecordingVpnBackend backend;
        QSharedPointer<AnsweringMessageBoxFactory> boxes(new AnsweringMessageBoxFactory);
        MessageBoxFactory::setInstance(boxes);
        {
            SettingsDialog dialog(nullptr, {}, os, backend, false, true, false);
            choose(dialog);
            QPushButton *save = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Save);
            QVERIFY(save->isEnabled());
            save->click();
        }
        MessageBoxFactory::setInstance({});
        QVERIFY2(boxes->shown.isEmpty(), qPrintable(boxes->shown.value(0).text));
    }

    bool connect(const QStringList &transport)
    {
        const QStringList arguments {"--site",     ConnectionLab::SITE,    "--user", ConnectionLab::USER,
                                     "--password", ConnectionLab::PASSWORD};
        if (m_lab->startDriver(arguments + transport) && m_lab->waitFor("connected") >= 0)
            return true;
        qWarning().noquote() << m_lab->diagnostics();
        return false;
    }

    // The command line of the engine that runs in the client namespace.
    static QStringList engineArguments()
    {
        const QList<qint64> engines = Lab::clientProcesses(QStringLiteral("openvpn"));
        if (engines.size() != 1)
            return {};
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(engines.first()));
        if (!cmdline.open(QIODevice::ReadOnly))
            return {};
        QStringList arguments;
        for (const QByteArray &argument : cmdline.readAll().split('\0'))
            arguments << QString::fromLocal8Bit(argument);
        return arguments;
    }

private slots:
    void initTestCase()
    {
        const QString reason = ConnectionLab::unavailableReason();
        if (!reason.isEmpty())
            QSKIP(qPrintable(reason));
        m_lab.reset(new ConnectionLab);
        QVERIFY(m_lab->setUp());
        // This process's preferences are the driver's.
        QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN"));
        QCoreApplication::setApplicationName(QStringLiteral("OrvalVPN"));
        const QFileInfo file(m_lab->settingsFile());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, file.dir().absolutePath() + "/..");
        QCOMPARE(QFileInfo(Settings().fileName()).absoluteFilePath(), file.absoluteFilePath());
    }

    void cleanupTestCase() { m_lab.reset(); }

    void init() { m_lab->resetHome(); }
    void cleanup() { m_lab->quit(); }

    // A custom HTTP proxy chosen in the dialog carries the connection: the
    // lab's tinyproxy opens the tunnel to the server's TCP port.
    void customHttpProxyCarriesTheConnection()
    {
        saveThroughDialog([](SettingsDialog &dialog) {
            dialog.findChild<QRadioButton *>(QStringLiteral("proxySettingsCustom"))->setChecked(true);
            dialog.findChild<QComboBox *>(QStringLiteral("proxyProtocol"))->setCurrentText(QStringLiteral("HTTP"));
            dialog.findChild<QLineEdit *>(QStringLiteral("proxyAddress"))->setText(Lab::serverAddress());
            dialog.findChild<QLineEdit *>(QStringLiteral("proxyPort"))
                ->setText(QString::number(ConnectionLab::HTTP_PROXY_PORT));
        });
        const QByteArray logBefore = m_lab->httpProxyLog();
        QVERIFY(connect({"--via", "custom"}));
        // Relayed on the server side: the server never sees the client itself.
        QVERIFY(!m_lab->lastPeerAddress(false).isEmpty());
        QVERIFY(m_lab->lastPeerAddress(false) != Lab::clientAddress());
        // The client came to the proxy, which opened the tunnel to the server's TCP port.
        const QString seen = QString::fromUtf8(m_lab->httpProxyLog().mid(logBefore.size()));
        const QRegularExpression client(QStringLiteral("Connect \\(file descriptor \\d+\\): ")
                                        + QRegularExpression::escape(Lab::clientAddress()));
        const QRegularExpression request(
            QStringLiteral("Request \\(file descriptor \\d+\\): CONNECT [0-9.]+:%1 ").arg(ConnectionLab::TCP_PORT));
        QVERIFY2(seen.contains(client) && seen.contains(request), qPrintable(seen));
    }

    // A custom MTU typed in the dialog reaches the engine. (The lab's
    // server pushes its own tun-mtu, which a current engine takes over the
    // client's for the device, so the device itself proves nothing here.)
    void customMtuReachesTheEngine()
    {
        saveThroughDialog([](SettingsDialog &dialog) {
            QComboBox *mtu = dialog.findChild<QComboBox *>(QStringLiteral("mtuComboBox"));
            mtu->setCurrentText(MtuPreference::CUSTOM_MTUPREFERENCE()->displayName());
            dialog.findChild<QLineEdit *>(QStringLiteral("mtuLineEdit"))->setText(QStringLiteral("1400"));
        });
        QVERIFY(Settings().getMtuPreference()->isCustomMtu());
        QCOMPARE(Settings().getMtuPreference()->getMtu(), 1400);
        QVERIFY(connect({"--protocol", "udp"}));
        const QStringList arguments = engineArguments();
        const int option = arguments.indexOf(QStringLiteral("--tun-mtu"));
        QVERIFY2(option >= 0, qPrintable(arguments.join(' ')));
        QCOMPARE(arguments.value(option + 1), QStringLiteral("1400"));
    }
};

QTEST_MAIN(TestSettingsDialogLab)
#include "tst_settingsdialog_lab.moc"
