#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

class AttackerEngine;
class QTcpServer;

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
    // "changed-remote"), "v6-only" (a listener of the attacker's on
    // [::]:PORT, IPv6 only, at every port of the client's), or "race": an
    // engine for each port of the range ARGUMENT ("FIRST LAST"), each checked
    // by the helper while the attacker listens at its remote and held there;
    // then the attacker lets go of the ports, and the engines go for their
    // remotes again and again. Once the namespace's ephemeral range is
    // narrowed to that one, the client's listeners open on some of them.
    static const char *const ATTACK;
    // The client's user id.
    static const char *const VICTIM_UID;
    static const char *const ARGUMENT;
    // The attacker's own folder, and the CA its engines' configurations carry.
    static const char *const DIRECTORY;
    static const char *const CA;

    static int main(int argc, char **argv);
    static void say(const QString &line);
    // Whether the client's user listens at 127.0.0.1:`port`.
    static bool isClientListener(quint16 port);

private:
    AttackerRun();
    bool start();
    void scan();
    void watchHelperRuns();
    void goFor(quint16 port);
    void holdIpv6Only(quint16 port);
    bool raceForTheEphemeralPorts();
    void letGoOfThePorts();
    bool allHolding() const;
    void finish();

    QString m_attack;
    long long m_victim = -1;
    QSet<quint16> m_seen;
    QSet<QString> m_helperRuns;
    QList<AttackerEngine *> m_engines;
    // The race's own listeners at the ports of the range, until the engines hold.
    QList<QTcpServer *> m_ports;
    QTimer m_scan;
    QSocketNotifier m_input;
};
