#include "gui/GuiLocalDnsJsonRefresher.h"

#include "catalogue/LocalDnsJsonRefresh.h"
#include "gui/GuiLogging.h"
#include "gui/ProgressBarDialog.h"

#include <QDebug>

GuiLocalDnsJsonRefresher::GuiLocalDnsJsonRefresher(QWidget *parentWidget, QObject *parent)
    : QObject(parent)
    , m_parentWidget(parentWidget)
{
}

void GuiLocalDnsJsonRefresher::resolveHostNames(const QStringList &hostNames)
{
    LocalDnsJsonRefresh refresh(hostNames, true);
    ProgressBarDialog dialog(m_parentWidget);
    connect(&dialog, &ProgressBarDialog::closingDialog, &refresh, [&refresh] {
        refresh.setStopFlag(true);
        qCDebug(lcGui) << "Stop Refreshing DNS Cache";
    });
    dialog.setWindowTitle(QStringLiteral("Refreshing DNS Cache"));
    dialog.resetValuse();
    dialog.setMinMaxValues(0, hostNames.size());
    dialog.setPorcentageVisibleOnProgressBar(true);
    connect(&refresh, &LocalDnsJsonRefresh::lookingUpHostname, &dialog,
            [&dialog](const QString &host, int index, int) { dialog.advanceProgress(index, host); });
    connect(&refresh, &LocalDnsJsonRefresh::dnslookupfinished, &dialog, [this, &dialog] {
        emit refreshFinished();
        qCDebug(lcGui) << "Refreshing DNS Cache Complete";
        dialog.close();
    });
    refresh.setStopFlag(false);
    // Started from inside the dialog's loop: a refresh with nothing to look up
    // finishes at once, and its close must reach a dialog that is already open.
    QMetaObject::invokeMethod(&refresh, &LocalDnsJsonRefresh::doNextLookUpIfNeeded, Qt::QueuedConnection);
    qCDebug(lcGui) << "User action: Refreshing DNS Cache";
    dialog.exec();
}
