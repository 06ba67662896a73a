#pragma once

#include <QByteArray>
#include <QStringList>

// Cuts the byte stream of one local-socket connection into protocol messages:
// one message per line feed, trimmed, UTF-8 up to any NUL byte. Bytes after the
// last line feed wait for the rest of their line.
class ProtocolLineBuffer
{
public:
    QStringList append(const QByteArray &bytes);

private:
    QByteArray m_pending;
};
