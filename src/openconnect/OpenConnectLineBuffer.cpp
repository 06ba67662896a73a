#include "openconnect/OpenConnectLineBuffer.h"

#include "openvpn/EngineLogging.h"

#include <QDebug>

QList<QByteArray> OpenConnectLineBuffer::append(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    int start = 0;
    while (start < bytes.size()) {
        const int newline = bytes.indexOf('\n', start);
        const int end = newline < 0 ? bytes.size() : newline;
        if (!m_discarding)
            m_pending.append(bytes.constData() + start, end - start);
        if (m_pending.size() > MAX_LINE_LENGTH) {
            qCWarning(lcEngine) << "OpenConnect: dropping a command channel line longer than" << MAX_LINE_LENGTH
                                << "bytes";
            m_pending.clear();
            m_discarding = true;
            ++m_dropped;
        }
        if (newline < 0)
            break;
        if (!m_discarding)
            lines.append(m_pending.trimmed());
        m_pending.clear();
        m_discarding = false;
        start = newline + 1;
    }
    return lines;
}

int OpenConnectLineBuffer::droppedLines() const
{
    return m_dropped;
}

void OpenConnectLineBuffer::clear()
{
    m_pending.clear();
    m_discarding = false;
}
