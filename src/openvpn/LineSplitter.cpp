#include "openvpn/LineSplitter.h"

QList<QByteArray> LineSplitter::feed(const QByteArray &bytes)
{
    m_partial += bytes;
    QList<QByteArray> lines;
    int start = 0;
    for (int end = m_partial.indexOf('\n'); end >= 0; end = m_partial.indexOf('\n', start)) {
        lines.append(m_partial.mid(start, end - start));
        start = end + 1;
    }
    m_partial.remove(0, start);
    return lines;
}
