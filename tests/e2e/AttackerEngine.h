#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QTcpServer>
#include <QTimer>

class QTcpSocket;

// One root engine of the attacker's, started through the real helper from the
// attacker's own bundle with a management listener of the attacker's (so the
// helper's port check passes), and aimed at the client's management port in
// one of the ways below. Every time it connects there, it tells whether the
// client turned it away at once or kept it as its engine; it is started again
// whenever it ends, until stop().
class AttackerEngine : public QObject
{
public:
    enum class Aim {
        // Its configuration's remote is the client's port (TCP).
        Remote,
        // Its HTTP proxy is the client's port: its proxy request is text.
        HttpProxy,
        // Its configuration names a harmless remote; it asks for its remote
        // (and looks for the answer once a second), and the attacker's
        // management changes it to the client's port (MOD) once goFor()
        // names that.
        ChangedRemote,
    };

    // `victimPort` is 0 for a ChangedRemote engine until goFor() names it.
    // `dir` is the attacker's own folder for the configuration; `ca` the CA
    // the engine's configuration carries (any will do: it never gets that far).
    AttackerEngine(Aim aim, quint16 victimPort, const QString &dir, const QString &ca, QObject *parent = nullptr);
    ~AttackerEngine() override;

    // Before start(): the engine's management listens at `port` (0: any),
    // and the engine's first hold lasts until release(), whatever its aim.
    void setManagementPort(quint16 port) { m_managementPort = port; }
    void holdFirst() { m_holdNext = true; }
    // False when the configuration cannot be written or nothing can listen.
    bool start();
    // An engine waiting at its hold goes for `victimPort`.
    bool isHolding() const { return m_holding; }
    quint16 victimPort() const { return m_victimPort; }
    void release(quint16 victimPort);
    // A ChangedRemote engine's remote, told as soon as it asks (or at once).
    void goFor(quint16 victimPort);
    // Ends the engine through its management (the attacker cannot signal a
    // root process) and waits for the helper run to end.
    void stop();
    // The first half of stop(): tells the engine to end, and does not wait.
    void requestStop();

    static bool aimFromName(const QString &name, Aim &aim);

private:
    void startRun();
    void readEngineOutput();
    void engineLine(const QString &line);
    void managementConnected();
    void managementLine(const QByteArray &line);
    void held();
    void answerRemote();
    QString config() const;

    Aim m_aim;
    quint16 m_victimPort;
    QString m_dir;
    QString m_ca;
    QTcpServer m_management;
    QTcpSocket *m_engine = nullptr;
    QProcess m_helper;
    QTimer m_kept;
    QByteArray m_pending;
    // What the run said last, for its end's report line.
    QString m_lastLine;
    bool m_stopping = false;
    bool m_holding = false;
    // Whether the next hold waits for release().
    bool m_holdNext = false;
    // Whether the engine waits for the answer to its remote query.
    bool m_asked = false;
    quint16 m_managementPort = 0;
};
