#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QTcpServer;
class QTcpSocket;

// Tells the engine of the current run from every other connection to one of
// the client's loopback listeners. Their ports are listed for every user in
// the socket table, and any user can have the helper start a root engine
// aimed at them, so neither the peer's address nor its owner tells. Each run
// gets a fresh secret that only the client, its own helper run and the engine
// it starts ever hold (it travels on the helper's standard input, never on a
// command line); a connection is the engine once it has shown that secret.
// Until then it is sent nothing but the gate's query, and nothing it sends
// reaches the client.
class EngineGate : public QObject
{
    Q_OBJECT

public:
    // Connections waiting at once to show the secret; a newer one takes the
    // place of the oldest, so a flood of silent ones cannot lock the engine out.
    static constexpr int MAX_WAITING = 8;
    // What a connection may send before the secret: the engine's greeting is a few lines.
    static constexpr int MAX_BYTES_BEFORE_SECRET = 16 * 1024;
    static constexpr int SECRET_TIMEOUT_MS = 20000;

    // Whether a line of the connection shows the secret.
    using Proof = std::function<bool(const QByteArray &line)>;

    EngineGate(QTcpServer &server, const char *channel, QObject *parent = nullptr);

    // A new secret: 32 lowercase hexadecimal digits from the system's random source.
    static QByteArray newSecret();

    // Expects one engine: `query` (when not empty) is sent to each new
    // connection, and the first whose line passes `proof` is the engine.
    // Connections made before are judged alike.
    void open(const QByteArray &query, Proof proof);
    // Expects no engine: every connection waiting or to come is refused.
    void close(const char *why = "no engine is expected");
    bool isOpen() const { return bool(m_proof); }

signals:
    // `socket` has shown the secret; `before` are the lines it sent before
    // that one, and what follows it is still unread in the socket. The gate
    // is closed, and the socket stays a child of the server.
    void engineConnected(QTcpSocket *socket, const QList<QByteArray> &before);

private:
    struct Waiting
    {
        QPointer<QTcpSocket> socket;
        QList<QByteArray> lines;
        int bytes = 0;
    };

    void acceptPending();
    void admit(QTcpSocket *socket);
    void read(QTcpSocket *socket);
    // Refuses `socket` if it still waits to show the secret.
    void refuse(QTcpSocket *socket, const char *why);
    void turnAway(QTcpSocket *socket, const char *why);
    std::vector<Waiting>::iterator find(const QTcpSocket *socket);

    QTcpServer &m_server;
    const char *m_channel;
    QByteArray m_query;
    Proof m_proof;
    std::vector<Waiting> m_waiting;
};
