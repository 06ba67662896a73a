#include "openvpn/AbstractManagementSocket.h"

AbstractManagementSocket::AbstractManagementSocket(QObject *parent)
    : QObject(parent)
{
}

AbstractManagementSocket::~AbstractManagementSocket() = default;
