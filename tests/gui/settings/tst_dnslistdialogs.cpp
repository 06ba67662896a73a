#include "ModalAnswer.h"

#include "gui/settings/DnsListDialog.h"
#include "gui/settings/DnsListEntryDialog.h"
#include "gui/settings/DnsListWidget.h"
#include "gui/settings/IpAddressEdit.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {
DnsListEntry custom(const QString &name, const QString &dns1, const QString &dns2 = QString())
{
    return DnsListEntry(name, QHostAddress(dns1), QHostAddress(dns2), true);
}

DnsList builtInsAnd(const QList<DnsListEntry> &entries)
{
    DnsList list(entries);
    list.addHardCodedEntries();
    return list;
}

QPushButton *button(QWidget &form, const char *name)
{
    return form.findChild<QPushButton *>(QLatin1String(name));
}

QLineEdit *field(QWidget &form, const char *name)
{
    return form.findChild<QLineEdit *>(QLatin1String(name));
}

QListWidget *listOf(QWidget &form)
{
    return form.findChild<QListWidget *>(QStringLiteral("customDnsList"));
}

QStringList shownTexts(QWidget &form)
{
    QStringList texts;
    for (int row = 0; row < listOf(form)->count(); ++row)
        texts << listOf(form)->item(row)->text();
    return texts;
}

void select(QWidget &form, const QString &name)
{
    const QList<QListWidgetItem *> found =
        listOf(form)->findItems(name + QStringLiteral(" : "), Qt::MatchStartsWith | Qt::MatchCaseSensitive);
    QCOMPARE(found.size(), 1);
    listOf(form)->setCurrentItem(found.first());
}

// Fills the entry dialog that is about to open and presses the named button.
void answerEntryDialog(const QString &name, const QString &dns1, const QString &dns2, const char *pressed)
{
    whenModal([=](QWidget &dialog) {
        field(dialog, "nameNS")->setText(name);
        field(dialog, "dns1Address")->setText(dns1);
        field(dialog, "dns2Address")->setText(dns2);
        QVERIFY(button(dialog, pressed)->isEnabled());
        button(dialog, pressed)->click();
    });
}
} // namespace

class TestDnsListDialogs : public QObject
{
    Q_OBJECT

private slots:
    void entryDialogTitleAndStartState()
    {
        DnsListEntryDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit nameserver entry"));
        dialog.setListEntryToEdit({}, DnsListEntry(QString(), QHostAddress(), QHostAddress(), true));
        QVERIFY(!button(dialog, "okButton")->isEnabled());
        // A new entry not yet begun is not scolded.
        QVERIFY(dialog.findChild<QLabel *>(QStringLiteral("inputsCheck"))->isHidden());
        QVERIFY(field(dialog, "nameNS")->text().isEmpty());
        QVERIFY(qobject_cast<IpAddressEdit *>(field(dialog, "dns1Address")));
        QVERIFY(qobject_cast<IpAddressEdit *>(field(dialog, "dns2Address")));
        QCOMPARE(field(dialog, "dns2Address")->placeholderText(), QStringLiteral("IP Address"));
    }

    void entryOk_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("dns1");
        QTest::addColumn<QString>("dns2");
        QTest::addColumn<QStringList>("usedNames");
        QTest::addColumn<QString>("reason");

        const QStringList used {"Level3", "Google", "Home"};
        const QString noName = QStringLiteral("Enter a name for the entry.");
        const QString usedName = QStringLiteral("Another entry has this name.");
        const auto reserved = [](const char *name) {
            return QStringLiteral("\"%1\" is already the name of a DNS choice.").arg(QLatin1String(name));
        };
        const QString noFirst = QStringLiteral("Enter the address of the first name server.");
        const QString badFirst = QStringLiteral("The first address is not a valid IPv4 address.");
        const QString badSecond = QStringLiteral("The second address is not a valid IPv4 address (or leave it empty).");
        // clang-format off
        QTest::newRow("one address") << "Office" << "10.0.0.1" << "" << used << QString();
        QTest::newRow("two addresses") << "Office" << "10.0.0.1" << "10.0.0.2" << used << QString();
        QTest::newRow("blanks around the name") << "  Office  " << "10.0.0.1" << "" << used << QString();
        QTest::newRow("empty name") << "" << "10.0.0.1" << "" << used << noName;
        QTest::newRow("blanks only") << "   " << "10.0.0.1" << "" << used << noName;
        QTest::newRow("used name") << "Google" << "10.0.0.1" << "" << used << usedName;
        QTest::newRow("used name with blanks") << " Home " << "10.0.0.1" << "" << used << usedName;
        QTest::newRow("used name, other case") << "google" << "10.0.0.1" << "" << used << QString();
        QTest::newRow("reserved None") << "None" << "10.0.0.1" << "" << used << reserved("None");
        QTest::newRow("reserved Pushed DNS") << "Pushed DNS" << "10.0.0.1" << "" << used << reserved("Pushed DNS");
        QTest::newRow("reserved VPN DNS") << "VPN DNS" << "10.0.0.1" << "" << used << reserved("VPN DNS");
        QTest::newRow("reserved Ad Blocking DNS") << "Ad Blocking DNS" << "10.0.0.1" << "" << used << reserved("Ad Blocking DNS");
        QTest::newRow("reserved DHCP") << "Set DNS to automatic (DHCP)" << "10.0.0.1" << "" << used << reserved("Set DNS to automatic (DHCP)");
        QTest::newRow("reserved, other case and blanks") << "  vpn dns " << "10.0.0.1" << "" << used << reserved("vpn dns");
        QTest::newRow("reserved name as part of a name") << "None of these" << "10.0.0.1" << "" << used << QString();
        QTest::newRow("no first address") << "Office" << "" << "10.0.0.2" << used << noFirst;
        QTest::newRow("incomplete first address") << "Office" << "10.0.0" << "" << used << badFirst;
        QTest::newRow("incomplete second address") << "Office" << "10.0.0.1" << "10.0." << used << badSecond;
        QTest::newRow("group above 255") << "Office" << "300.1.1.1" << "" << used << badFirst;
        QTest::newRow("leading zero") << "Office" << "010.0.0.1" << "" << used << badFirst;
        QTest::newRow("leading zero, second") << "Office" << "10.0.0.1" << "10.0.0.02" << used << badSecond;
        // clang-format on
    }

    void entryOk()
    {
        QFETCH(QString, name);
        QFETCH(QString, dns1);
        QFETCH(QString, dns2);
        QFETCH(QStringList, usedNames);
        QFETCH(QString, reason);
        DnsListEntryDialog dialog;
        dialog.setListEntryToEdit(usedNames, DnsListEntry(QString(), QHostAddress(), QHostAddress(), true));
        field(dialog, "nameNS")->setText(name);
        field(dialog, "dns1Address")->setText(dns1);
        field(dialog, "dns2Address")->setText(dns2);
        QCOMPARE(button(dialog, "okButton")->isEnabled(), reason.isEmpty());
        // OK greyed out says why, under the fields.
        const QLabel *check = dialog.findChild<QLabel *>(QStringLiteral("inputsCheck"));
        QVERIFY(check);
        QCOMPARE(check->isHidden(), reason.isEmpty());
        QCOMPARE(check->text(), reason);
    }

    void okFollowsEveryField()
    {
        DnsListEntryDialog dialog;
        dialog.setListEntryToEdit({}, DnsListEntry(QString(), QHostAddress(), QHostAddress(), true));
        QTest::keyClicks(field(dialog, "nameNS"), QStringLiteral("Office"));
        QVERIFY(!button(dialog, "okButton")->isEnabled());
        QTest::keyClicks(field(dialog, "dns1Address"), QStringLiteral("1921681.1"));
        QVERIFY(button(dialog, "okButton")->isEnabled());
        QTest::keyClicks(field(dialog, "dns2Address"), QStringLiteral("10"));
        QVERIFY(!button(dialog, "okButton")->isEnabled());
        QTest::keyClick(field(dialog, "dns2Address"), Qt::Key_Backspace);
        QTest::keyClick(field(dialog, "dns2Address"), Qt::Key_Backspace);
        QVERIFY(button(dialog, "okButton")->isEnabled());
        QTest::keyClick(field(dialog, "dns1Address"), Qt::Key_Backspace);
        QVERIFY(!button(dialog, "okButton")->isEnabled());
    }

    void newEntryIsTrimmedAndEditable()
    {
        DnsListEntryDialog dialog;
        dialog.setListEntryToEdit({}, DnsListEntry(QString(), QHostAddress(), QHostAddress(), true));
        field(dialog, "nameNS")->setText(QStringLiteral("  Office "));
        field(dialog, "dns1Address")->setText(QStringLiteral("10.0.0.1"));
        QCOMPARE(dialog.getModifiedEntry(), custom("Office", "10.0.0.1"));
        QVERIFY(dialog.getModifiedEntry().getDns2().isNull());
        field(dialog, "dns2Address")->setText(QStringLiteral("10.0.0.2"));
        QCOMPARE(dialog.getModifiedEntry(), custom("Office", "10.0.0.1", "10.0.0.2"));
    }

    void editingShowsTheEntryAndMayKeepItsName()
    {
        DnsListEntryDialog dialog;
        dialog.setListEntryToEdit({"Google", "Other"}, custom("Office", "10.0.0.1"));
        QCOMPARE(field(dialog, "nameNS")->text(), QStringLiteral("Office"));
        QCOMPARE(field(dialog, "dns1Address")->text(), QStringLiteral("10.0.0.1"));
        QVERIFY(field(dialog, "dns2Address")->text().isEmpty());
        QVERIFY(button(dialog, "okButton")->isEnabled());
        field(dialog, "nameNS")->setText(QStringLiteral("Other"));
        QVERIFY(!button(dialog, "okButton")->isEnabled());
    }

    void incompleteEntryShowsEmptyFields_data()
    {
        QTest::addColumn<DnsListEntry>("entry");
        // clang-format off
        QTest::newRow("no name") << custom("", "10.0.0.1", "10.0.0.2");
        QTest::newRow("no first address") << custom("Office", "", "10.0.0.2");
        // clang-format on
    }

    void incompleteEntryShowsEmptyFields()
    {
        QFETCH(DnsListEntry, entry);
        DnsListEntryDialog dialog;
        dialog.setListEntryToEdit({}, entry);
        for (const char *name : {"nameNS", "dns1Address", "dns2Address"})
            QVERIFY2(field(dialog, name)->text().isEmpty(), name);
        QVERIFY(!button(dialog, "okButton")->isEnabled());
    }

    void entryDialogResults()
    {
        DnsListEntryDialog dialog;
        whenModal([](QWidget &modal) { button(modal, "cancelButton")->click(); });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        dialog.setListEntryToEdit({}, custom("Office", "10.0.0.1"));
        whenModal([](QWidget &modal) { button(modal, "okButton")->click(); });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    }

    void listShowsEveryEntrySorted()
    {
        DnsListDialog dialog(builtInsAnd({custom("Zeta", "10.0.0.9"), custom("Alpha", "10.0.0.1", "10.0.0.2")}), {});
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit nameservers"));
        QCOMPARE(shownTexts(dialog),
                 (QStringList {"Alpha : ( 10.0.0.1, 10.0.0.2 )", "Cloudflare : ( 1.1.1.1, 1.0.0.1 )",
                               "Google : ( 8.8.8.8, 8.8.4.4 )", "Level3 : ( 4.2.2.2, 4.2.2.3 )",
                               "OpenDNS : ( 208.67.222.222, 208.67.220.220 )", "Quad9 : ( 9.9.9.9,  )",
                               "Zeta : ( 10.0.0.9,  )"}));
        QCOMPARE(listOf(dialog)->item(0)->data(Qt::UserRole).value<DnsListEntry>(),
                 custom("Alpha", "10.0.0.1", "10.0.0.2"));
        QVERIFY(listOf(dialog)->selectedItems().isEmpty());
        QVERIFY(!button(dialog, "customDNSListEdit")->isEnabled());
        QVERIFY(!button(dialog, "customDNSListRemove")->isEnabled());
    }

    void lock_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("editable");
        // clang-format off
        QTest::newRow("built-in") << "Google" << false;
        QTest::newRow("used by an action") << "Home" << false;
        QTest::newRow("free") << "Office" << true;
        QTest::newRow("same name as a used one, other address") << "Lab" << true;
        // clang-format on
    }

    void lock()
    {
        QFETCH(QString, name);
        QFETCH(bool, editable);
        // "Lab" is in use only with another address: entries are compared whole.
        const QList<DnsListEntry> inUse {DnsListEntry::DHCPDEFAULT, custom("Home", "10.0.0.1"),
                                         custom("Lab", "10.0.0.4")};
        DnsListDialog dialog(
            builtInsAnd({custom("Home", "10.0.0.1"), custom("Office", "10.0.0.2"), custom("Lab", "10.0.0.3")}), inUse);
        select(dialog, name);
        QCOMPARE(button(dialog, "customDNSListEdit")->isEnabled(), editable);
        QCOMPARE(button(dialog, "customDNSListRemove")->isEnabled(), editable);
        listOf(dialog)->clearSelection();
        QVERIFY(!button(dialog, "customDNSListEdit")->isEnabled());
        QVERIFY(!button(dialog, "customDNSListRemove")->isEnabled());
    }

    void addAppendsAndViewStaysSorted()
    {
        DnsListWidget widget;
        widget.setCustomDnsList(builtInsAnd({custom("Zeta", "10.0.0.9")}), {});
        answerEntryDialog(QStringLiteral(" Alpha "), QStringLiteral("10.0.0.1"), QString(), "okButton");
        button(widget, "customDNSListAdd")->click();
        const DnsList result = widget.getCustomDnsList();
        QCOMPARE(result.getNames(),
                 (QStringList {"Level3", "Google", "OpenDNS", "Cloudflare", "Quad9", "Zeta", "Alpha"}));
        QCOMPARE(result.last(), custom("Alpha", "10.0.0.1"));
        QCOMPARE(shownTexts(widget).first(), QStringLiteral("Alpha : ( 10.0.0.1,  )"));
    }

    void addRefusesAnExistingName()
    {
        DnsListWidget widget;
        widget.setCustomDnsList(builtInsAnd({}), {});
        whenModal([](QWidget &dialog) {
            field(dialog, "nameNS")->setText(QStringLiteral("Quad9"));
            field(dialog, "dns1Address")->setText(QStringLiteral("10.0.0.1"));
            QVERIFY(!button(dialog, "okButton")->isEnabled());
            button(dialog, "cancelButton")->click();
        });
        button(widget, "customDNSListAdd")->click();
        QCOMPARE(widget.getCustomDnsList(), builtInsAnd({}));
    }

    void cancelledAddChangesNothing()
    {
        DnsListWidget widget;
        widget.setCustomDnsList(builtInsAnd({}), {});
        answerEntryDialog(QStringLiteral("Office"), QStringLiteral("10.0.0.1"), QString(), "cancelButton");
        button(widget, "customDNSListAdd")->click();
        QCOMPARE(widget.getCustomDnsList(), builtInsAnd({}));
    }

    void editKeepsThePosition()
    {
        DnsListWidget widget;
        widget.setCustomDnsList(builtInsAnd({custom("Home", "10.0.0.1"), custom("Office", "10.0.0.2")}), {});
        select(widget, QStringLiteral("Home"));
        answerEntryDialog(QStringLiteral("Cottage"), QStringLiteral("10.0.0.7"), QStringLiteral("10.0.0.8"),
                          "okButton");
        button(widget, "customDNSListEdit")->click();
        const DnsList result = widget.getCustomDnsList();
        QCOMPARE(result.at(5), custom("Cottage", "10.0.0.7", "10.0.0.8"));
        QCOMPARE(result.at(6), custom("Office", "10.0.0.2"));
        QCOMPARE(result.size(), 7);
        QVERIFY(listOf(widget)->selectedItems().isEmpty());
        QVERIFY(!button(widget, "customDNSListEdit")->isEnabled());
    }

    void cancelledEditChangesNothing()
    {
        const DnsList list = builtInsAnd({custom("Home", "10.0.0.1")});
        DnsListWidget widget;
        widget.setCustomDnsList(list, {});
        select(widget, QStringLiteral("Home"));
        answerEntryDialog(QStringLiteral("Cottage"), QStringLiteral("10.0.0.7"), QString(), "cancelButton");
        button(widget, "customDNSListEdit")->click();
        QCOMPARE(widget.getCustomDnsList(), list);
    }

    void removeDropsTheEntry()
    {
        DnsListWidget widget;
        widget.setCustomDnsList(builtInsAnd({custom("Home", "10.0.0.1"), custom("Office", "10.0.0.2")}), {});
        select(widget, QStringLiteral("Home"));
        button(widget, "customDNSListRemove")->click();
        QCOMPARE(widget.getCustomDnsList(), builtInsAnd({custom("Office", "10.0.0.2")}));
        QCOMPARE(shownTexts(widget).size(), 6);
        QVERIFY(!button(widget, "customDNSListRemove")->isEnabled());
    }

    void outerDialogResults_data()
    {
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<int>("result");
        // clang-format off
        QTest::newRow("ok") << "okButton" << int(QDialog::Accepted);
        QTest::newRow("cancel") << "cancelButton" << int(QDialog::Rejected);
        // clang-format on
    }

    // The caller takes the edited list only from an accepted dialog.
    void outerDialogResults()
    {
        QFETCH(QString, pressed);
        QFETCH(int, result);
        DnsListDialog dialog(builtInsAnd({}), {});
        whenModal([pressed](QWidget &modal) {
            answerEntryDialog(QStringLiteral("Office"), QStringLiteral("10.0.0.1"), QString(), "okButton");
            button(modal, "customDNSListAdd")->click();
            button(modal, qPrintable(pressed))->click();
        });
        QCOMPARE(dialog.exec(), result);
        QCOMPARE(dialog.getDnsList().getNames().last(), QStringLiteral("Office"));
    }
};

QTEST_MAIN(TestDnsListDialogs)
#include "tst_dnslistdialogs.moc"
