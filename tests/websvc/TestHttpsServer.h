#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUrl>

#include <functional>

// One request as the test server received it.
struct TestHttpRequest
{
    QByteArray method;
    QByteArray target;                    // path and query, as sent
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;
    qint64 receivedAtMs = 0; // since the server was created

    QByteArray header(const QByteArray &name) const { return headers.value(name.toLower()); }
    bool hasHeader(const QByteArray &name) const { return headers.contains(name.toLower()); }
};

// A test certificate authority made with openssl once per test process: a
// self-signed certificate for 127.0.0.1 that only the test's own network
// access manager trusts.
class TestCertificate
{
public:
    static const TestCertificate &instance();
    bool isValid() const { return !certificate.isNull() && !key.isNull(); }

    QSslCertificate certificate;
    QSslKey key;
    QString error;

private:
    TestCertificate();
    QTemporaryDir m_dir;
};

// A network access manager that trusts the test certificate authority and
// nothing else, and never goes through a proxy.
class TestNetworkAccessManager : public QNetworkAccessManager
{
    Q_OBJECT
public:
    explicit TestNetworkAccessManager(QObject *parent = nullptr);

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request, QIODevice *data) override;
};

// One accepted TLS connection; the responder answers through it.
class TestConnection : public QObject
{
    Q_OBJECT
public:
    explicit TestConnection(QSslSocket *socket);

    void respond(int status, const QByteArray &body, const QByteArray &contentType = "text/plain");
    void sendHead(int status, qint64 contentLength, const QByteArray &contentType = "text/plain");
    void send(const QByteArray &bytes);
    void close();
    // Sends a whole reply of the given body in pieces, one every intervalMs.
    void trickle(int status, const QByteArray &body, int pieceSize, int intervalMs);

signals:
    void request(const TestHttpRequest &request);

private:
    void onReadyRead();

    QPointer<QSslSocket> m_socket;
    QByteArray m_buffer;
    QElapsedTimer *m_clock = nullptr;
    friend class TestHttpsServer;
};

// An HTTPS server on 127.0.0.1 for the web client tests. Every request is
// recorded and handed to the responder (default: 404).
class TestHttpsServer : public QTcpServer
{
    Q_OBJECT
public:
    using Responder = std::function<void(const TestHttpRequest &, TestConnection *)>;

    explicit TestHttpsServer(QObject *parent = nullptr);

    QUrl url(const QString &pathAndQuery) const;
    void setResponder(Responder responder) { this->m_responder = std::move(responder); }

    // Responders for the common cases.
    static Responder replyWith(int status, const QByteArray &body, const QByteArray &contentType = "text/plain");
    static Responder silent();

    QList<TestHttpRequest> requests;
    int connectionCount = 0;

signals:
    void requestReceived();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    Responder m_responder;
    QElapsedTimer m_clock;
};

// The set-up every web client test shares: each test function starts with a
// fresh server and a network access manager that trusts only it. A test with
// more set-up of its own calls these first (init) or last (cleanup).
class WebClientTest : public QObject
{
    Q_OBJECT

protected:
    TestNetworkAccessManager *m_manager = nullptr;
    TestHttpsServer *m_server = nullptr;

protected slots:
    void initTestCase();
    void init();
    // Deletes server and manager: whatever uses them must be gone first.
    void cleanup();
};

// Collects the debug lines of the process while it lives.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    QStringList lines() const;
    bool contains(const QString &text) const;
    int indexOf(const QString &text, int from = 0) const;
};
