#include "openvpn/NullManagementSocket.h"

NullManagementSocket::NullManagementSocket(QObject *parent)
    : AbstractManagementSocket(parent)
{
}

void NullManagementSocket::startVPN(QSharedPointer<ConnectionParameters>)
{
}

bool NullManagementSocket::isProcessRunning()
{
    return false;
}

void NullManagementSocket::sendSigTerm()
{
}

void NullManagementSocket::sendUsernamePassword(const QString &, const QString &)
{
}
