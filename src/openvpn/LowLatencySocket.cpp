#include "openvpn/LowLatencySocket.h"

#include <QAbstractSocket>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

void LowLatencySocket::tune(QAbstractSocket &socket)
{
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    acknowledgeAtOnce(socket);
}

void LowLatencySocket::acknowledgeAtOnce(QAbstractSocket &socket)
{
#ifdef TCP_QUICKACK
    const int on = 1;
    ::setsockopt(int(socket.socketDescriptor()), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#else
    Q_UNUSED(socket);
#endif
}
