#pragma once

#include <QStringList>

// Ends running programs by name with killall and signal 9; does not wait.
class KillAll
{
public:
    explicit KillAll(const QStringList &names);

    void execute();
    void killProcesses(QStringList names);
    void killProcess(const QString &name);

    static QStringList arguments(const QString &name);
    static bool verifyKillAllExistsOnLinux();

private:
    QStringList m_names;
};
