#include "openvpn/LocalPortProbe.h"

#include <QHostAddress>
#include <QRandomGenerator>
#include <QTcpServer>

bool LocalPortProbe::isFree(int port)
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, static_cast<quint16>(port));
}

int LocalPortProbe::freePort()
{
    const int count = LAST - FIRST + 1;
    const int start = static_cast<int>(QRandomGenerator::global()->bounded(count));
    for (int i = 0; i < count; ++i) {
        const int port = FIRST + (start + i) % count;
        if (isFree(port))
            return port;
    }
    return 0;
}
