#pragma once

#include <QByteArray>
#include <QList>

// Cuts a program's output into whole lines. A line that arrives in several
// reads is handed out once, complete; the unfinished tail waits for the next read.
class LineSplitter
{
public:
    // The lines completed by these bytes, without their line feeds.
    QList<QByteArray> feed(const QByteArray &bytes);

private:
    QByteArray m_partial;
};
