#include "DeadSocket.h"

#include "app/ClientServerNegotiator.h"
#include "app/PrivateRuntimeDirectory.h"
#include "app/ProtocolLineBuffer.h"
#include "app/SimpleProtocolMessageHandlerFactory.h"
#include "app/VpnBackendLocalSocketServer.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <ctime>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace {
QStringList captured;
QtMessageHandler testHandler = nullptr;

void capture(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    captured.append(message);
    testHandler(type, context, message);
}

bool logged(const QString &text)
{
    for (const QString &line : qAsConst(captured)) {
        if (line.contains(text))
            return true;
    }
    return false;
}

// A raw client of the protocol that collects the server's lines.
struct RawClient
{
    QLocalSocket socket;
    ProtocolLineBuffer buffer;
    QStringList lines;

    explicit RawClient(const QString &name)
    {
        QObject::connect(&socket, &QLocalSocket::readyRead, [this] { lines += buffer.append(socket.readAll()); });
        socket.connectToServer(name);
    }
};
} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime;

    static QString serverName() { return VpnBackendAbstractServer::socketPath(QCoreApplication::applicationName()); }

private slots:
    void initTestCase()
    {
        // The socket names live in a folder under the cache folder: keep them private to this run.
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_runtime.path()));
        testHandler = qInstallMessageHandler(capture);
    }

    void init()
    {
        captured.clear();
        QLocalServer::removeServer(serverName());
    }

    void lineFraming_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("one line") << QList<QByteArray> {">BYE\n"} << QStringList {">BYE"};
        QTest::newRow("split over reads")
            << QList<QByteArray> {">HEL", "LO FROM", " SERVER\n"} << QStringList {">HELLO FROM SERVER"};
        QTest::newRow("two in one read") << QList<QByteArray> {">A\n>B\n"} << QStringList {">A", ">B"};
        QTest::newRow("rest waits") << QList<QByteArray> {">A\n>B"} << QStringList {">A"};
        QTest::newRow("trimmed") << QList<QByteArray> {"  >A \r\n"} << QStringList {">A"};
        QTest::newRow("white space only") << QList<QByteArray> {" \t\n"} << QStringList {""};
        QTest::newRow("cut at NUL") << QList<QByteArray> {QByteArray(">A\0junk\n", 8)} << QStringList {">A"};
        QTest::newRow("UTF-8") << QList<QByteArray> {"\xc3\xa4\n"} << QStringList {QString::fromUtf8("\xc3\xa4")};
    }

    void lineFraming()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QStringList, messages);
        ProtocolLineBuffer buffer;
        QStringList received;
        for (const QByteArray &chunk : chunks)
            received += buffer.append(chunk);
        QCOMPARE(received, messages);
    }

    void serverSpeaksTheProtocol()
    {
        SimpleProtocolMessageHandlerFactory factory;
        VpnBackendLocalSocketServer server(factory);
        QVERIFY(!server.checkPreviousInstance());
        QVERIFY(server.startingServer());
        QVERIFY(server.isStarted());

        RawClient first(serverName());
        QTRY_COMPARE(first.lines, QStringList({">HELLO FROM SERVER", ">FIRST_INSTANCE"}));
        first.socket.write(">HELLO FROM CLIENT\n");
        QTRY_VERIFY(logged("Message received from connected client: \">HELLO FROM CLIENT\""));

        RawClient second(serverName());
        QTRY_COMPARE(second.lines, QStringList({">HELLO FROM SERVER", ">SHUTDOWN_MULTIPLE_INSTANCES", ">BYE"}));
        QTRY_COMPARE(second.socket.state(), QLocalSocket::UnconnectedState);
        QTRY_COMPARE(first.lines.size(), 3);
        QCOMPARE(first.lines.last(), QStringLiteral(">GET_VISIBILITY"));
        QVERIFY(logged("ConnectionAccepted: multiple instances detected"));

        first.socket.disconnectFromServer();
        QTRY_VERIFY(logged("Last connection lost: shutDown the local server"));
    }

    // The own instance's link lost ends nothing by itself: the server reports
    // it, and the run mode ends through its quit rules (a running connection
    // stopped first), not by an exit behind its back.
    void lostLinkIsReportedNotExited()
    {
        SimpleProtocolMessageHandlerFactory factory;
        VpnBackendLocalSocketServer server(factory);
        QVERIFY(server.startingServer());
        QSignalSpy lost(&server, &VpnBackendAbstractServer::lastConnectionLost);
        RawClient first(serverName());
        QTRY_COMPARE(first.lines.size(), 2);

        QEventLoop loop;
        connect(&server, &VpnBackendAbstractServer::lastConnectionLost, &loop, [&loop] { loop.exit(7); });
        QTimer::singleShot(0, &first.socket, [&first] { first.socket.disconnectFromServer(); });
        QTimer::singleShot(5000, &loop, [&loop] { loop.exit(8); });
        QCOMPARE(loop.exec(), 7);
        QCOMPARE(lost.count(), 1);
    }

    void destroyedServerSaysBye()
    {
        SimpleProtocolMessageHandlerFactory factory;
        auto *server = new VpnBackendLocalSocketServer(factory);
        QVERIFY(server->startingServer());
        RawClient first(serverName());
        QTRY_COMPARE(first.lines.size(), 2);
        delete server;
        QTRY_COMPARE(first.lines, QStringList({">HELLO FROM SERVER", ">FIRST_INSTANCE", ">BYE"}));
        QTRY_COMPARE(first.socket.state(), QLocalSocket::UnconnectedState);
    }

    void firstInstanceNegotiates()
    {
        ClientServerNegotiator negotiator;
        QVERIFY(negotiator.negotiate());
        QVERIFY(logged("The server can be started safely..."));
        QVERIFY(logged("First Instance - proceeding..."));
    }

    void secondInstanceIsRefused()
    {
        ClientServerNegotiator first;
        QVERIFY(first.negotiate());
        captured.clear();

        ClientServerNegotiator second;
        QVERIFY(!second.negotiate());
        QVERIFY(logged("Warning: Another instance found."));
        // The first instance turns the probe away and keeps running.
        QTRY_VERIFY(logged("ConnectionAccepted: multiple instances detected"));
        QTRY_VERIFY(logged("Message from server: \">GET_VISIBILITY\""));
        QSignalSpy exit(&first, &ClientServerNegotiator::exitApplication);
        QTest::qWait(50);
        QCOMPARE(exit.count(), 0);
    }

    void staleNameIsRemoved()
    {
        const QString path = serverName();
        QVERIFY(DeadSocket::bindAt(path));

        ClientServerNegotiator negotiator;
        QVERIFY(negotiator.negotiate());
        QVERIFY(logged("Clean up previous server is needed"));
    }

    // The old name in the shared temporary folder is anyone's to take: what
    // another user put there neither stops this instance nor is removed.
    void othersNameInTheSharedFolderChangesNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("listening socket") << "listening";
        QTest::newRow("dead socket") << "dead";
        QTest::newRow("plain file") << "file";
    }

    void othersNameInTheSharedFolderChangesNothing()
    {
        QFETCH(QString, kind);
        const QString shared = QDir::tempPath() + '/' + QCoreApplication::applicationName() + "-Service";
        QLocalServer squatter;
        int probes = 0;
        connect(&squatter, &QLocalServer::newConnection, [&] {
            ++probes;
            // What a running instance would say to a second one.
            squatter.nextPendingConnection()->write(">HELLO FROM SERVER\n>SHUTDOWN_MULTIPLE_INSTANCES\n>BYE\n");
        });
        if (kind == "listening") {
            QVERIFY(squatter.listen(shared));
        } else if (kind == "dead") {
            QVERIFY(DeadSocket::bindAt(shared));
        } else {
            QFile file(shared);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        // Another user's, where this test may make it so.
        if (geteuid() == 0)
            QCOMPARE(lchown(QFile::encodeName(shared).constData(), 65534, 65534), 0);

        {
            ClientServerNegotiator negotiator;
            QVERIFY(negotiator.negotiate());
        }
        QCoreApplication::processEvents();
        QCOMPARE(probes, 0);
        QVERIFY(QFileInfo::exists(shared));
        squatter.close();
        QFile::remove(shared);
    }

    // Only the name's holder removes it: a clean-up, or a probe that judges the
    // name stale, leaves a running instance's name to it, so no second copy
    // starts beside it, however long the first one has been running.
    void runningInstanceKeepsItsName_data()
    {
        QTest::addColumn<int>("lockAgeSeconds");
        QTest::newRow("just started") << 0;
        QTest::newRow("running for an hour") << 3600;
    }

    void runningInstanceKeepsItsName()
    {
        QFETCH(int, lockAgeSeconds);
        ClientServerNegotiator first;
        QVERIFY(first.negotiate());
        const QByteArray lock = QFile::encodeName(serverName() + ".lock");
        const utimbuf old {time(nullptr) - lockAgeSeconds, time(nullptr) - lockAgeSeconds};
        QCOMPARE(utime(lock.constData(), &old), 0);

        SimpleProtocolMessageHandlerFactory factory;
        VpnBackendLocalSocketServer other(factory);
        QVERIFY(!other.cleanUpPreviousInstance());
        QVERIFY(!other.startingServer());
        QVERIFY(logged("Error: Unable to start the local server: its name is held by a running instance"));
        QVERIFY(QFileInfo::exists(serverName()));

        ClientServerNegotiator second;
        QVERIFY(!second.negotiate());
        QVERIFY(logged("Warning: Another instance found."));
        QSignalSpy exit(&first, &ClientServerNegotiator::exitApplication);
        QTest::qWait(50);
        QCOMPARE(exit.count(), 0);
    }

    // A temporary folder open to all, as /tmp is, holds nothing of the
    // server's: its socket and lock keep to the user's private folder in the
    // cache folder, under the same name.
    void nameLivesInThePrivateFolder()
    {
        QTemporaryDir shared;
        QCOMPARE(chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);
        const QByteArray temporary = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(shared.path()));
        {
            ClientServerNegotiator negotiator;
            QVERIFY(negotiator.negotiate());
            const QFileInfo socket(serverName());
            QVERIFY(socket.exists());
            QCOMPARE(socket.fileName(), QCoreApplication::applicationName() + "-Service");
            QCOMPARE(socket.absolutePath(), m_runtime.path() + "/" + QCoreApplication::applicationName() + "-run");
            QVERIFY(PrivateRuntimeDirectory::isPrivate(socket.absolutePath()));
            QVERIFY(QFileInfo::exists(serverName() + ".lock"));
            QVERIFY(QDir(shared.path()).isEmpty());
        }
        qputenv("TMPDIR", temporary);
    }

    // Without a private folder there is no name to take: the start ends with
    // the reason, for the user and in the log, not with a bare refusal.
    void noPrivateFolderEndsTheStartWithTheReason()
    {
        QTemporaryDir open;
        QCOMPARE(chmod(QFile::encodeName(open.path()).constData(), 0777), 0);
        qputenv("XDG_CACHE_HOME", QFile::encodeName(open.path()));
        QString reason;
        try {
            ClientServerNegotiator negotiator;
            negotiator.negotiate();
        } catch (const std::runtime_error &e) {
            reason = QString::fromUtf8(e.what());
        }
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_runtime.path()));
        QVERIFY2(reason.startsWith(QCoreApplication::applicationName()
                                   + " cannot start: it has no private folder for its single-instance socket: "),
                 qPrintable(reason));
        QVERIFY2(reason.contains(open.path() + " is writable by others than its owner (mode 0777)"),
                 qPrintable(reason));
        QVERIFY(logged(reason));
        QVERIFY(QDir(open.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
