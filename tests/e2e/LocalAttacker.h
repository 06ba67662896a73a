#pragma once

#include "LabUser.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The test's side of another ordinary user's attack (AttackerRun): that
// user's own installed copy of the bundle, made by root (root's folders, the
// helper set-uid), whose main program is the running test, so that the
// helper takes the attacker's runs for a client's; the attack runs as that
// user from there, with a folder of its own.
class LocalAttacker
{
public:
    LocalAttacker();
    ~LocalAttacker();
    LocalAttacker(const LocalAttacker &) = delete;
    LocalAttacker &operator=(const LocalAttacker &) = delete;

    // The user and the bundle; false, with a warning, when either fails.
    bool setUp();
    // Starts `attack` (see AttackerRun::ATTACK, and ARGUMENT for `argument`)
    // on the loopback listeners of the user `victimUid`; true once it runs.
    bool start(const QString &attack, uint victimUid, const QString &argument = QString());
    // Ends the attack (it ends its engines first) and returns its report.
    QStringList stop();

private:
    QString reportFile() const;
    QStringList report() const;

    LabUser m_user;
    QTemporaryDir m_dir;
    QString m_contents;
    QProcess m_process;
};
