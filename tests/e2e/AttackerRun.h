#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

class AttackerEngine;

// What another ordinary user runs while the client connects: the test
// program itself, started from the attacker's own bundle (so the helper
// takes it for a client) when ATTACK is set. It finds the client's loopback
// listeners as anyone can, in the kernel's socket table (owned by the
// client's user, listening on 127.0.0.1), and goes for each one as it
// appears; or, for engines that go for the port of the client's own engine
// start, it watches the process table for the client's helper runs, whose
// arguments (readable by all) name that port. It reports on standard output, one line each: "ready", "aimed at
// PORT", what each attempt came to (each line ends with " @MS", the time
// since the attack began), and "won PORT: ..." or "contact PORT"
// when something of the client's reached it. It ends when its standard
// input closes.
class AttackerRun : public QObject
{
public:
    // The attack: an AttackerEngine aim ("remote", "http-proxy",
    // "changed-remote"), or "v6-only" (a listener of the attacker's on
    // [::]:PORT, IPv6 only, at every port of the client's).
    static const char *const ATTACK;
    // The client's user id.
    static const char *const VICTIM_UID;
    // The attacker's own folder, and the CA its engines' configurations carry.
    static const char *const DIRECTORY;
    static const char *const CA;

    static int main(int argc, char **argv);
    static void say(const QString &line);

private:
    AttackerRun();
    bool start();
    void scan();
    void watchHelperRuns();
    void goFor(quint16 port);
    void holdIpv6Only(quint16 port);
    void finish();

    QString m_attack;
    long long m_victim = -1;
    QSet<quint16> m_seen;
    QSet<QString> m_helperRuns;
    QList<AttackerEngine *> m_engines;
    QTimer m_scan;
    QSocketNotifier m_input;
};
