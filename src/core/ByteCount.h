#pragma once
#include <QMetaType>
#include <QString>

// The traffic counters of a connection.
class ByteCount
{
public:
    ByteCount() = default;
    ByteCount(quint64 bytesReceived, quint64 bytesSent);

    quint64 getBytesReceived() const;
    quint64 getBytesSent() const;

    // "512 B", "1.500 KiB" (base 1024 when si is 0) or "1.500 kB" (base 1000).
    QString humanReadableByteCount(quint64 bytes, quint64 si) const;

private:
    quint64 m_bytesReceived = 0;
    quint64 m_bytesSent = 0;
};

Q_DECLARE_METATYPE(ByteCount)
