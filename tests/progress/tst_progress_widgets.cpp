#include "../dnscache/DnsTestStore.h"

#include "gui/GuiLocalDnsJsonRefresher.h"
#include "gui/OrvalVPNProgressMessageGUI.h"
#include "gui/ProgressBarDialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TestProgressWidgets : public QObject
{
    Q_OBJECT

private slots:
    void lineStates()
    {
        using Line = OrvalVPNProgressMessageGUI;
        Line line("Checking the network");
        QCOMPARE(line.getMessage(), QStringLiteral("Checking the network"));
        QCOMPARE(line.statusText(), Line::PROGRESSING);
        QCOMPARE(line.statusStyleSheet(), QStringLiteral("font-weight: bold; color: grey"));
        QVERIFY(line.isOnGoing());

        line.setOnGoing("waiting for a default route");
        line.setFailure();
        QCOMPARE(line.statusText(), QStringLiteral("Failed!"));
        QCOMPARE(line.statusStyleSheet(), QStringLiteral("font-weight: bold; color: red"));
        QVERIFY(!line.isOnGoing());
        QVERIFY(line.toolTip().isEmpty());

        line.setOnGoing("again");
        QVERIFY(line.isOnGoing());
        QCOMPARE(line.toolTip(), QStringLiteral("again"));
        line.setSkipped();
        QCOMPARE(line.statusText(), QStringLiteral("Skipped"));
        line.setSuccess();
        QCOMPARE(line.statusText(), QStringLiteral("Success!"));
        QCOMPARE(line.statusStyleSheet(), QStringLiteral("font-weight: bold; color: green"));
    }

    void abortEmitsAbortThenClosing()
    {
        ProgressBarDialog dialog;
        QStringList order;
        connect(&dialog, &ProgressBarDialog::abortButtonClicked, [&] { order << "abort"; });
        connect(&dialog, &ProgressBarDialog::closingDialog, [&] { order << "closing"; });
        dialog.show();
        dialog.findChild<QPushButton *>("abort")->click();
        QCOMPARE(order, QStringList({"abort", "closing"}));
        QVERIFY(!dialog.isVisible());
    }

    void resetRestoresTheStart()
    {
        ProgressBarDialog dialog;
        QVERIFY(dialog.description()->text().isEmpty());
        dialog.setMinMaxValues(0, 7);
        dialog.advanceProgress(3, "vpn-three.orvalvpn.test");
        QCOMPARE(dialog.progressBar()->value(), 3);
        QCOMPARE(dialog.description()->text(), QStringLiteral("vpn-three.orvalvpn.test"));
        dialog.resetValuse();
        QCOMPARE(dialog.progressBar()->minimum(), 0);
        QCOMPARE(dialog.progressBar()->maximum(), 100);
        QCOMPARE(dialog.progressBar()->value(), 0);
        QVERIFY(dialog.description()->text().isEmpty());
    }

    // Nothing to look up finishes at once; the dialog must still close.
    void userRefreshEndsAndReports()
    {
        DnsTestStore store;
        QWidget owner;
        GuiLocalDnsJsonRefresher refresher(&owner);
        QSignalSpy finished(&refresher, &GuiLocalDnsJsonRefresher::refreshFinished);
        refresher.resolveHostNames({"192.0.2.1", "198.51.100.7"});
        QCOMPARE(finished.count(), 1);
        QVERIFY(DnsJson::isLocalDNSCachePresent());
        refresher.resolveHostNames({});
        QCOMPARE(finished.count(), 2);
    }
};

QTEST_MAIN(TestProgressWidgets)
#include "tst_progress_widgets.moc"
