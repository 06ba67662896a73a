#pragma once

#include <QByteArray>
#include <QList>

// Cuts one command channel's byte stream into trimmed lines. A line longer
// than the cap is not the engine speaking: its bytes are dropped up to the
// next line feed, so a misbehaving peer cannot grow the buffer without bound.
class OpenConnectLineBuffer
{
public:
    static constexpr int MAX_LINE_LENGTH = 64 * 1024;

    // The complete lines the bytes finish, in order; the rest waits.
    QList<QByteArray> append(const QByteArray &bytes);
    // Lines dropped for their length since construction or clear().
    int droppedLines() const;
    void clear();

private:
    QByteArray m_pending;
    bool m_discarding = false;
    int m_dropped = 0;
};
