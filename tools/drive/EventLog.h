#pragma once

#include <QElapsedTimer>
#include <QString>

// Writes the driver's event lines to standard output, one per event, each
// prefixed with the milliseconds since the driver started, and flushed so a
// reader sees it at once.
class EventLog
{
public:
    EventLog();

    void print(const QString &event) const;

    // Keeps a text on its event line: line breaks become "\n".
    static QString oneLine(QString text);

private:
    QElapsedTimer m_clock;
};
