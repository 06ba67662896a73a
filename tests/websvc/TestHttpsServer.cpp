#include "TestHttpsServer.h"

#include <QFile>
#include <QNetworkProxy>
#include <QNetworkRequest>
#include <QProcess>
#include <QSslConfiguration>
#include <QTest>
#include <QTimer>

const TestCertificate &TestCertificate::instance()
{
    static const TestCertificate certificate;
    return certificate;
}

TestCertificate::TestCertificate()
{
    const QString certPath = m_dir.filePath(QStringLiteral("cert.pem"));
    const QString keyPath = m_dir.filePath(QStringLiteral("key.pem"));
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                   "subjectAltName=IP:127.0.0.1", "-keyout", keyPath, "-out", certPath});
    if (!openssl.waitForFinished(60000) || openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0) {
        error = QStringLiteral("openssl failed: ") + QString::fromLocal8Bit(openssl.readAll());
        return;
    }
    QFile certFile(certPath);
    QFile keyFile(keyPath);
    if (!certFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("can not read the test certificate");
        return;
    }
    certificate = QSslCertificate(certFile.readAll(), QSsl::Pem);
    key = QSslKey(keyFile.readAll(), QSsl::Rsa, QSsl::Pem);
}

TestNetworkAccessManager::TestNetworkAccessManager(QObject *parent)
    : QNetworkAccessManager(parent)
{
    setProxy(QNetworkProxy::NoProxy);
}

QNetworkReply *TestNetworkAccessManager::createRequest(Operation op, const QNetworkRequest &request, QIODevice *data)
{
    QNetworkRequest trusted(request);
    QSslConfiguration ssl = trusted.sslConfiguration();
    ssl.setCaCertificates({TestCertificate::instance().certificate});
    trusted.setSslConfiguration(ssl);
    return QNetworkAccessManager::createRequest(op, trusted, data);
}

TestConnection::TestConnection(QSslSocket *socket)
    : QObject(socket)
    , m_socket(socket)
{
    connect(socket, &QSslSocket::readyRead, this, &TestConnection::onReadyRead);
}

void TestConnection::onReadyRead()
{
    m_buffer += m_socket->readAll();
    const int headerEnd = m_buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    TestHttpRequest request;
    const QList<QByteArray> lines = m_buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    for (int i = 1; i < lines.size(); ++i) {
        const int colon = lines.at(i).indexOf(':');
        if (colon > 0)
            request.headers.insert(lines.at(i).left(colon).trimmed().toLower(), lines.at(i).mid(colon + 1).trimmed());
    }
    const int length = request.header("content-length").toInt();
    if (m_buffer.size() < headerEnd + 4 + length)
        return;
    request.body = m_buffer.mid(headerEnd + 4, length);
    m_buffer.remove(0, headerEnd + 4 + length);
    request.receivedAtMs = m_clock->elapsed();
    emit this->request(request);
}

void TestConnection::sendHead(int status, qint64 contentLength, const QByteArray &contentType)
{
    send("HTTP/1.1 " + QByteArray::number(status) + " Test\r\nContent-Type: " + contentType
         + "\r\nContent-Length: " + QByteArray::number(contentLength) + "\r\nConnection: close\r\n\r\n");
}

void TestConnection::send(const QByteArray &bytes)
{
    if (m_socket)
        m_socket->write(bytes);
}

void TestConnection::close()
{
    if (m_socket)
        m_socket->disconnectFromHost();
}

void TestConnection::respond(int status, const QByteArray &body, const QByteArray &contentType)
{
    sendHead(status, body.size(), contentType);
    send(body);
    close();
}

void TestConnection::trickle(int status, const QByteArray &body, int pieceSize, int intervalMs)
{
    sendHead(status, body.size());
    auto *timer = new QTimer(this);
    auto offset = QSharedPointer<int>::create(0);
    connect(timer, &QTimer::timeout, this, [this, timer, body, pieceSize, offset]() {
        send(body.mid(*offset, pieceSize));
        *offset += pieceSize;
        if (*offset >= body.size()) {
            timer->stop();
            close();
        }
    });
    timer->start(intervalMs);
}

TestHttpsServer::TestHttpsServer(QObject *parent)
    : QTcpServer(parent)
    , m_responder(replyWith(404, "not found"))
{
    m_clock.start();
    listen(QHostAddress::LocalHost, 0);
}

QUrl TestHttpsServer::url(const QString &pathAndQuery) const
{
    return QUrl(QStringLiteral("https://127.0.0.1:%1%2").arg(serverPort()).arg(pathAndQuery));
}

TestHttpsServer::Responder TestHttpsServer::replyWith(int status, const QByteArray &body, const QByteArray &contentType)
{
    return [=](const TestHttpRequest &, TestConnection *connection) { connection->respond(status, body, contentType); };
}

TestHttpsServer::Responder TestHttpsServer::silent()
{
    return [](const TestHttpRequest &, TestConnection *) {};
}

void TestHttpsServer::incomingConnection(qintptr descriptor)
{
    auto *socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    ++connectionCount;
    connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
    socket->setLocalCertificate(TestCertificate::instance().certificate);
    socket->setPrivateKey(TestCertificate::instance().key);
    auto *connection = new TestConnection(socket);
    connection->m_clock = &m_clock;
    connect(connection, &TestConnection::request, this, [this, connection](const TestHttpRequest &request) {
        requests.append(request);
        emit requestReceived();
        m_responder(request, connection);
    });
    socket->startServerEncryption();
}

namespace {
QStringList capturedLines;
QtMessageHandler previousHandler = nullptr;

void captureMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    capturedLines.append(message);
    if (previousHandler)
        previousHandler(type, context, message);
}
} // namespace

void WebClientTest::initTestCase()
{
    QVERIFY2(TestCertificate::instance().isValid(), qPrintable(TestCertificate::instance().error));
}

void WebClientTest::init()
{
    m_manager = new TestNetworkAccessManager(this);
    m_server = new TestHttpsServer(this);
    QVERIFY(m_server->isListening());
}

void WebClientTest::cleanup()
{
    delete m_server;
    delete m_manager;
}

LogCapture::LogCapture()
{
    capturedLines.clear();
    previousHandler = qInstallMessageHandler(captureMessage);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
}

QStringList LogCapture::lines() const
{
    return capturedLines;
}

bool LogCapture::contains(const QString &text) const
{
    return indexOf(text) >= 0;
}

int LogCapture::indexOf(const QString &text, int from) const
{
    for (int i = from; i < capturedLines.size(); ++i) {
        if (capturedLines.at(i).contains(text))
            return i;
    }
    return -1;
}
