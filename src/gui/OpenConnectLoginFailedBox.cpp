#include "gui/OpenConnectLoginFailedBox.h"

#include "gui/MessageBoxFactory.h"
#include "gui/NullEventMessageCloser.h"
#include "openconnect/OpenConnectManagementSocket.h"

void OpenConnectLoginFailedBox::install()
{
    OpenConnectManagementSocket::setLoginFailedNotifier(&OpenConnectLoginFailedBox::show);
}

void OpenConnectLoginFailedBox::show(const QString &message)
{
    NullEventMessageCloser closer;
    MessageBoxFactory::getInstance()->execMessageBox(nullptr, message, QMessageBox::Ok, MessageBoxFactory::Information,
                                                     QString(), QString(), QMessageBox::NoButton, 0, &closer);
}
