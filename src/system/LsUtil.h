#pragma once

#include "system/TimedProcessRun.h"

#include <QObject>
#include <QString>
#include <QStringList>

// Writes a recursive long listing of a directory to the debug log, on the main
// thread without waiting for it.
class LsUtil : public QObject
{
    Q_OBJECT

public:
    // The first of /sbin/ls and /bin/ls that exists. Throws LsUtilException.
    explicit LsUtil(QObject *parent = nullptr);
    explicit LsUtil(const QStringList &candidates, int timeoutSeconds = 30, QObject *parent = nullptr);

    // Starts the listing; finished() follows its end. Never fails: a program
    // that does not start or end in time is killed.
    void applyLsToPath(const QString &path);

    QString program() const { return m_lsProgram; }
    QStringList arguments(const QString &path) const;

signals:
    void finished();

private:
    QString m_lsProgram;
    QStringList m_options;
    QString m_joinedArguments;
    TimedProcessRun m_run;
};
