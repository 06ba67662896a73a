#pragma once

#include <QString>
#include <QStringList>

// Writes a recursive long listing of a directory to the debug log.
class LsUtil
{
public:
    // The first of /sbin/ls and /bin/ls that exists. Throws LsUtilException.
    LsUtil();
    explicit LsUtil(const QStringList &candidates, int timeoutSeconds = 30);

    // Never throws; a program that does not start or end in time is killed.
    void applyLsToPath(const QString &path);

    QString program() const { return m_lsProgram; }
    QStringList arguments(const QString &path) const;

private:
    QString m_lsProgram;
    QStringList m_options;
    int m_timeoutSeconds;
};
