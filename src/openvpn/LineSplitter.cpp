#include "openvpn/LineSplitter.h"

QList<QByteArray> LineSplitter::feed(const QByteArray& bytes)
{
    partial += bytes;
    QList<QByteArray> lines;
    int start = 0;
    for (int end = partial.indexOf('\n'); end >= 0; end = partial.indexOf('\n', start)) {
        lines.append(partial.mid(start, end - start));
        start = end + 1;
    }
    partial.remove(0, start);
    return lines;
}
