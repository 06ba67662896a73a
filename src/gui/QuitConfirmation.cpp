#include "gui/QuitConfirmation.h"

#include "gui/MessageBoxFactory.h"
#include "gui/NullEventMessageCloser.h"

#include <QMessageBox>

bool QuitConfirmation::ask(QWidget *parent)
{
    NullEventMessageCloser closer;
    const QSharedPointer<QMessageBox> box = MessageBoxFactory::getInstance()->getMessageBox(
        parent, tr("OrvalVPN is still active."), QMessageBox::Yes | QMessageBox::No, MessageBoxFactory::Question,
        tr("Do you really want to quit?"), QString(), QMessageBox::No, 0, &closer);
    box->setDefaultButton(QMessageBox::No);
    return box->exec() == QMessageBox::Yes;
}
