#include "gui/settings/InternetKillSwitchInterfacesDialog.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
QList<NetworkInterface> services(const QStringList &names)
{
    QList<NetworkInterface> list;
    for (const QString &name : names)
        list << NetworkInterface(name);
    return list;
}

QStringList names(const QList<NetworkInterface> &list)
{
    QStringList result;
    for (const NetworkInterface &service : list)
        result << service.getName();
    return result;
}

void click(QDialog &dialog, const char *name)
{
    dialog.findChild<QPushButton *>(QLatin1String(name))->click();
}
} // namespace

class TestKillSwitchInterfacesDialog : public QObject
{
    Q_OBJECT

private slots:
    void form()
    {
        InternetKillSwitchInterfacesDialog dialog({}, {});
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Select Interfaces"));
        QCOMPARE(dialog.size(), QSize(489, 300));
        QVERIFY(dialog.findChild<QListWidget *>(QStringLiteral("internetKillSwitchInterfaces"))->isSortingEnabled());
    }

    void selection_data()
    {
        QTest::addColumn<QStringList>("all");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("result");

        using Names = QStringList;
        const Names all {"Wi-Fi", "Ethernet", "Thunderbolt Bridge", "USB 10/100 LAN"};
        const Names sorted {"Ethernet", "Thunderbolt Bridge", "USB 10/100 LAN", "Wi-Fi"};
        // clang-format off
        QTest::newRow("none chosen") << all << Names() << sorted << Names();
        QTest::newRow("result in sorted order") << all << Names {"Wi-Fi", "Ethernet"} << sorted
                                                << Names {"Ethernet", "Wi-Fi"};
        QTest::newRow("vanished service dropped") << all << Names {"Bluetooth PAN", "Wi-Fi"} << sorted
                                                  << Names {"Wi-Fi"};
        QTest::newRow("names compared exactly") << all << Names {"wi-fi", "Ethernet "} << sorted << Names();
        QTest::newRow("equal names both checked") << Names {"Wi-Fi", "Ethernet", "Wi-Fi"} << Names {"Wi-Fi"}
                                                  << Names {"Ethernet", "Wi-Fi", "Wi-Fi"} << Names {"Wi-Fi", "Wi-Fi"};
        QTest::newRow("no services") << Names() << Names {"Wi-Fi"} << Names() << Names();
        // clang-format on
    }

    void selection()
    {
        QFETCH(QStringList, all);
        QFETCH(QStringList, selected);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, result);
        InternetKillSwitchInterfacesDialog dialog(services(all), services(selected));
        const QListWidget *list = dialog.findChild<QListWidget *>(QStringLiteral("internetKillSwitchInterfaces"));
        QStringList texts;
        for (int row = 0; row < list->count(); ++row) {
            texts << list->item(row)->text();
            QCOMPARE(list->item(row)->data(Qt::UserRole).value<NetworkInterface>().getName(), texts.last());
        }
        QCOMPARE(texts, shown);
        QCOMPARE(names(dialog.getInternetKillSwitchInterfacesSelected()), result);
    }

    void userToggles()
    {
        InternetKillSwitchInterfacesDialog dialog(services({"b", "a", "c"}), services({"a"}));
        QListWidget *list = dialog.findChild<QListWidget *>(QStringLiteral("internetKillSwitchInterfaces"));
        list->item(2)->setCheckState(Qt::Checked);
        list->item(0)->setCheckState(Qt::Unchecked);
        QCOMPARE(names(dialog.getInternetKillSwitchInterfacesSelected()), (QStringList {"c"}));
    }

    void checkAllAndUncheckAll()
    {
        InternetKillSwitchInterfacesDialog dialog(services({"b", "a", "c"}), services({"a"}));
        click(dialog, "checkAllButton");
        QCOMPARE(names(dialog.getInternetKillSwitchInterfacesSelected()), (QStringList {"a", "b", "c"}));
        click(dialog, "uncheckAllButton");
        QVERIFY(dialog.getInternetKillSwitchInterfacesSelected().isEmpty());
    }

    void results_data()
    {
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<int>("result");
        // clang-format off
        QTest::newRow("ok") << "okButton" << int(QDialog::Accepted);
        QTest::newRow("cancel") << "cancelButton" << int(QDialog::Rejected);
        // clang-format on
    }

    void results()
    {
        QFETCH(QString, pressed);
        QFETCH(int, result);
        InternetKillSwitchInterfacesDialog dialog(services({"a"}), {});
        QTimer::singleShot(0, dialog.findChild<QPushButton *>(pressed), &QPushButton::click);
        QCOMPARE(dialog.exec(), result);
    }
};

QTEST_MAIN(TestKillSwitchInterfacesDialog)
#include "tst_killswitchinterfacesdialog.moc"
