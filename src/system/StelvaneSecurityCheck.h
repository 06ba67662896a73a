#pragma once

#include <QByteArray>
#include <QObject>

class QProcess;

// Writes the two caller-authentication lines on the helper's standard input as
// soon as the helper has started, and after them `followingLines` (what the
// command itself reads there), then deletes itself. Create it before the
// process is started; the process is its parent.
class StelvaneSecurityCheck : public QObject
{
    Q_OBJECT

public:
    explicit StelvaneSecurityCheck(QProcess *process, const QByteArray &followingLines = QByteArray());

    // Line 1: the time in milliseconds since the epoch, plain decimal.
    // Line 2: SHA-256 (lowercase hex) of line 1's digits followed by the shared key.
    static QByteArray authenticationLines(qint64 milliseconds);
    static QByteArray sharedKey();
    static qint64 currentMilliseconds();

public slots:
    void sendSecurityCheckToProcess();
    void detachProcess();

private:
    QProcess *m_process;
    QByteArray m_followingLines;
};
