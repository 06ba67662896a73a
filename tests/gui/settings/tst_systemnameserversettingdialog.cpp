#include "backend/VpnBackend.h"
#include "gui/settings/SystemNameServerSettingDialog.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
// Records the name servers asked for; nothing else is expected of it.
class NameServerBackend : public VpnBackend
{
public:
    QList<DnsListEntry> nameServers;

    std::function<void(QString, QString)> getErrorSender() override { return {}; }
    void sendErrorMessageToFrontend(QString, QString) override {}
    void startVPN(QSharedPointer<ConnectionParameters>, QString, QString) override {}
    void skip() override {}
    void abort() override {}
    void login(const QString &, const QString &) override {}
    void stopVPN() override {}
    void setSystemNameServers(DnsListEntry entry) override { nameServers << entry; }
    void closeEvent(quint64) override {}
    void refreshPublicIp() override {}
};

DnsList someEntries()
{
    DnsList list(
        {DnsListEntry(QStringLiteral("Office"), QHostAddress(QStringLiteral("10.0.0.1")), QHostAddress(), true)});
    list.addHardCodedEntries();
    return list;
}

QComboBox *choices(QDialog &dialog)
{
    return dialog.findChild<QComboBox *>(QStringLiteral("nameServerComboBox"));
}

void pressLater(QDialog &dialog, const char *name)
{
    QTimer::singleShot(0, dialog.findChild<QPushButton *>(QLatin1String(name)), &QPushButton::click);
}
} // namespace

class TestSystemNameServerSettingDialog : public QObject
{
    Q_OBJECT

private slots:
    void form()
    {
        NameServerBackend backend;
        SystemNameServerSettingDialog dialog(&backend, someEntries());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Set System DNS"));
        QCOMPARE(dialog.size(), QSize(309, 208));
        QCOMPARE(dialog.findChild<QWidget *>(QStringLiteral("verticalLayoutWidget"))->geometry(),
                 QRect(9, 9, 291, 191));
    }

    void entriesInListOrderAfterDhcp()
    {
        NameServerBackend backend;
        const DnsList list = someEntries();
        SystemNameServerSettingDialog dialog(&backend, list);
        QComboBox *combo = choices(dialog);
        QCOMPARE(combo->count(), list.size() + 1);
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(combo->itemText(0), QStringLiteral("Set DNS to automatic (DHCP)"));
        QCOMPARE(combo->itemData(0).value<DnsListEntry>(), DnsListEntry::DHCPDEFAULT);
        for (int i = 0; i < list.size(); ++i) {
            QCOMPARE(combo->itemText(i + 1), list.at(i).getName());
            QCOMPARE(combo->itemData(i + 1).value<DnsListEntry>(), list.at(i));
        }
    }

    void okWithoutChoosingAsksForDhcp()
    {
        NameServerBackend backend;
        SystemNameServerSettingDialog dialog(&backend, someEntries());
        pressLater(dialog, "okButton");
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(backend.nameServers, QList<DnsListEntry> {DnsListEntry::DHCPDEFAULT});
    }

    void okAppliesTheChosenEntry_data()
    {
        QTest::addColumn<int>("index");
        // clang-format off
        QTest::newRow("built-in without a second address") << 5;
        QTest::newRow("custom") << 6;
        // clang-format on
    }

    void okAppliesTheChosenEntry()
    {
        QFETCH(int, index);
        NameServerBackend backend;
        const DnsList list = someEntries();
        SystemNameServerSettingDialog dialog(&backend, list);
        choices(dialog)->setCurrentIndex(index);
        pressLater(dialog, "okButton");
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(backend.nameServers, QList<DnsListEntry> {list.at(index - 1)});
    }

    void cancelOrCloseChangesNothing_data()
    {
        QTest::addColumn<bool>("escape");
        // clang-format off
        QTest::newRow("cancel") << false;
        QTest::newRow("escape") << true;
        // clang-format on
    }

    void cancelOrCloseChangesNothing()
    {
        QFETCH(bool, escape);
        NameServerBackend backend;
        SystemNameServerSettingDialog dialog(&backend, someEntries());
        choices(dialog)->setCurrentIndex(2);
        if (escape)
            QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
        else
            pressLater(dialog, "cancelButton");
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(backend.nameServers.isEmpty());
    }
};

QTEST_MAIN(TestSystemNameServerSettingDialog)
#include "tst_systemnameserversettingdialog.moc"
