#include "core/ByteCount.h"

#include <cmath>

ByteCount::ByteCount(quint64 bytesReceived, quint64 bytesSent)
    : m_bytesReceived(bytesReceived)
    , m_bytesSent(bytesSent)
{
}

quint64 ByteCount::getBytesReceived() const
{
    return m_bytesReceived;
}

quint64 ByteCount::getBytesSent() const
{
    return m_bytesSent;
}

QString ByteCount::humanReadableByteCount(quint64 bytes, quint64 si) const
{
    const quint64 unit = si ? 1000 : 1024;
    if (bytes < unit)
        return QString::number(bytes) + QStringLiteral(" B");

    const int exp = qBound(1, int(std::log(double(bytes)) / std::log(double(unit))), 6);
    const double value = double(bytes) / std::pow(double(unit), exp);
    const QChar prefix = QLatin1String(si ? "kMGTPE" : "KMGTPE")[exp - 1];
    // Numbers are formatted by Qt, not by a printf conversion that would have
    // to match the 64-bit count; the texts are those of "%d B" and "%.3f %c%sB".
    return QString::number(value, 'f', 3) + QLatin1Char(' ') + prefix + QLatin1String(si ? "" : "i") + QLatin1Char('B');
}
