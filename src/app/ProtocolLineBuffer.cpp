#include "app/ProtocolLineBuffer.h"

QStringList ProtocolLineBuffer::append(const QByteArray &bytes)
{
    m_pending.append(bytes);
    QStringList messages;
    int lineFeed;
    while ((lineFeed = m_pending.indexOf('\n')) >= 0) {
        const QByteArray line = m_pending.left(lineFeed).trimmed();
        m_pending.remove(0, lineFeed + 1);
        const int nul = line.indexOf('\0');
        messages.append(QString::fromUtf8(nul < 0 ? line : line.left(nul)));
    }
    return messages;
}
