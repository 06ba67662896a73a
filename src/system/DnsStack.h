#pragma once

#include "prefs/DnsListEntry.h"

#include <QString>
#include <QStringList>

class OsAbstraction;
class Settings;

// The order in which the system's name servers were changed, by named stage,
// so that every change can be undone in reverse, also after a crash: the list
// of stages is mirrored into "dns/current-dns-stack" on every change.
class DnsStack
{
public:
    static const QString start;
    static const QString beforeConnect;
    static const QString afterConnect;

    explicit DnsStack(OsAbstraction &osAbstraction);

    // Saves every service's name servers under `stage`, then sets `servers`.
    void push(const QString &stage, const QStringList &servers);
    // Undoes the stages from the top down to and including `stage`; returns
    // `stage`, or a null string when nothing was popped.
    QString popTo(const QString &stage);
    // Undoes every stage; returns the bottom one, or a null string when empty.
    QString popAll();

    QStringList getStack() const;
    // Replaces the stages without changing the system or the settings (crash recovery).
    void setStack(const QStringList &stages);

    void setSystemNameServers(Settings &settings, DnsListEntry entry);
    void restoreSystemDHCPNameServer(Settings &settings);
    void setSystemNameServersTo(Settings &settings, const QStringList &servers);

    // The mode that OsAbstraction::pushNameServers gets for a stage.
    static int pushMode(const QString &stage);

private:
    // Writes the stack and logs it, as read back, after `label`.
    void persist(const char *label);
    void restoreTop();
    void warnUnlessOnlyStart(const char *operation) const;

    OsAbstraction &m_osAbstraction;
    QStringList m_stack;
};
