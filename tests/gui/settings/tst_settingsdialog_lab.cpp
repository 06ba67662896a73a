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

    QScopedPointer<ConnectionLab> lab;

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
        if (lab->startDriver(arguments + transport) && lab->waitFor("connected") >= 0)
            return true;
        qWarning().noquote() << lab->diagnostics();
        return false;
    }

    // The MTU of the client namespace's tunnel device; 0 when there is none.
    static int tunnelMtu()
    {
        QString links;
        ConnectionLab::run("ip", {"-o", "link", "show", "type", "tun"}, &links);
        const QRegularExpressionMatch mtu = QRegularExpression(QStringLiteral(" mtu (\\d+) ")).match(links);
        return mtu.hasMatch() ? mtu.captured(1).toInt() : 0;
    }

private slots:
    void initTestCase()
    {
        const QString reason = ConnectionLab::unavailableReason();
        if (!reason.isEmpty())
            QSKIP(qPrintable(reason));
        lab.reset(new ConnectionLab);
        QVERIFY(lab->setUp());
        // This process's preferences are the driver's.
        QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN"));
        QCoreApplication::setApplicationName(QStringLiteral("OrvalVPN"));
        const QFileInfo file(lab->settingsFile());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, file.dir().absolutePath() + "/..");
        QCOMPARE(QFileInfo(Settings().fileName()).absoluteFilePath(), file.absoluteFilePath());
    }

    void cleanupTestCase() { lab.reset(); }

    void init() { lab->resetHome(); }
    void cleanup() { lab->quit(); }

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
        const QByteArray logBefore = lab->httpProxyLog();
        QVERIFY(connect({"--via", "custom"}));
        QCOMPARE(lab->lastPeerAddress(false), Lab::serverAddress());
        const QByteArray seen = lab->httpProxyLog().mid(logBefore.size());
        QVERIFY2(seen.contains(
                     QStringLiteral("CONNECT %1:%2").arg(Lab::serverAddress()).arg(ConnectionLab::TCP_PORT).toUtf8()),
                 seen.constData());
    }

    // A custom MTU typed in the dialog is the tunnel device's MTU.
    void customMtuIsTheTunnelMtu()
    {
        saveThroughDialog([](SettingsDialog &dialog) {
            QComboBox *mtu = dialog.findChild<QComboBox *>(QStringLiteral("mtuComboBox"));
            mtu->setCurrentText(MtuPreference::CUSTOM_MTUPREFERENCE()->displayName());
            dialog.findChild<QLineEdit *>(QStringLiteral("mtuLineEdit"))->setText(QStringLiteral("1400"));
        });
        QVERIFY(connect({"--protocol", "udp"}));
        QCOMPARE(tunnelMtu(), 1400);
    }
};

QTEST_MAIN(TestSettingsDialogLab)
#include "tst_settingsdialog_lab.moc"
