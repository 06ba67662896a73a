#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

// Standard input as command lines, read in the event loop: one line() for
// each line (UTF-8, without its line feed or a CR before it), then ended()
// once at the end of input, after a last line that lacked its line feed.
class StdinLines : public QObject
{
    Q_OBJECT

public:
    explicit StdinLines(QObject *parent = nullptr);

    // Reads no more input.
    void stop() { m_notifier.setEnabled(false); }

signals:
    void line(const QString &text);
    void ended();

private:
    void read();
    void emitLine(QByteArray bytes);

    QSocketNotifier m_notifier;
    QByteArray m_pending;
};
