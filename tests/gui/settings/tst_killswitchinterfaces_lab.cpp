#include "Lab.h"

#include "gui/settings/InternetKillSwitchInterfacesDialog.h"
#include "system/MacOSXAbstractionImpl.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The services the dialog offers come from the real system layer: in the test
// network the client's end of the veth pair ("eth0") is a network service.
class TestKillSwitchInterfacesLab : public QObject
{
    Q_OBJECT

private slots:
    void offersTheServicesOfThisNetwork()
    {
        if (!Lab::isActive())
            QSKIP("runs only inside the test network");
        MacOSXAbstractionImpl os({QString(), QStringLiteral(ORVAL_PLATFORM_BIN_DIR "/networksetup")});
        const QList<NetworkInterface> services = os.listNetworkInterfaces();
        const NetworkInterface veth(QStringLiteral("eth0"));
        QVERIFY(services.contains(veth));

        InternetKillSwitchInterfacesDialog dialog(services, {veth});
        const QListWidget *list = dialog.findChild<QListWidget *>(QStringLiteral("internetKillSwitchInterfaces"));
        QCOMPARE(list->count(), services.size());
        const QList<QListWidgetItem *> shown = list->findItems(veth.getName(), Qt::MatchExactly);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first()->checkState(), Qt::Checked);

        QTimer::singleShot(0, dialog.findChild<QPushButton *>(QStringLiteral("okButton")), &QPushButton::click);
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.getInternetKillSwitchInterfacesSelected(), QList<NetworkInterface> {veth});
    }
};

QTEST_MAIN(TestKillSwitchInterfacesLab)
#include "tst_killswitchinterfaces_lab.moc"
