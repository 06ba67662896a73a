#include "websvc/ReplyHandler.h"

#include "TestHttpsServer.h"

#include <QElapsedTimer>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSignalSpy>
#include <QTest>

namespace {

// A reply whose whole body is only readable once it has finished, without a
// readyRead before: the handler sees the body in its final read only.
class FinishedOnlyReply : public QNetworkReply
{
public:
    explicit FinishedOnlyReply(const QByteArray &body)
        : m_body(body)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    void finishNow()
    {
        setFinished(true);
        emit finished();
    }
    void abort() override {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_body.size() - m_offset + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 count = qMin(maxSize, qint64(m_body.size() - m_offset));
        memcpy(data, m_body.constData() + m_offset, size_t(count));
        m_offset += count;
        return count;
    }

private:
    QByteArray m_body;
    qint64 m_offset = 0;
};

} // namespace

class TestReplyHandler : public WebClientTest
{
    Q_OBJECT

    struct Outcome
    {
        int successes = 0;
        int failures = 0;
        QByteArray body;
        qint64 elapsedMs = 0;
        QPointer<ReplyHandler> handler;
        QPointer<QNetworkReply> reply;
    };

    // Starts a GET for path, wraps it and waits until the handler is gone.
    void run(Outcome &outcome, const QString &path, int timeout, qint64 maxSize,
             const std::function<void(ReplyHandler *)> &afterStart = nullptr)
    {
        QElapsedTimer clock;
        clock.start();
        outcome.reply = m_manager->get(QNetworkRequest(m_server->url(path)));
        outcome.handler = new ReplyHandler(outcome.reply, QStringLiteral("Test/Run"), timeout, maxSize);
        connect(outcome.handler, &ReplyHandler::success, this, [&outcome, &clock](const QByteArray &body) {
            ++outcome.successes;
            outcome.body = body;
            outcome.elapsedMs = clock.elapsed();
        });
        connect(outcome.handler, &ReplyHandler::failure, this, [&outcome, &clock]() {
            ++outcome.failures;
            outcome.elapsedMs = clock.elapsed();
        });
        if (afterStart)
            afterStart(outcome.handler);
        QTRY_VERIFY_WITH_TIMEOUT(outcome.handler.isNull(), 20000);
        // Give a second signal the chance to show up.
        QTest::qWait(50);
    }

private slots:
    void successDeliversBodyAndCleansUp()
    {
        m_server->setResponder(TestHttpsServer::replyWith(200, "203.0.113.7"));
        Outcome outcome;
        run(outcome, "/ip", 5000, 0);
        QCOMPARE(outcome.successes, 1);
        QCOMPARE(outcome.failures, 0);
        QCOMPARE(outcome.body, QByteArray("203.0.113.7"));
        QVERIFY(outcome.reply.isNull());
    }

    void emptyBodyIsSuccess()
    {
        m_server->setResponder(TestHttpsServer::replyWith(200, ""));
        Outcome outcome;
        run(outcome, "/empty", 5000, 10);
        QCOMPARE(outcome.successes, 1);
        QCOMPARE(outcome.body, QByteArray());
    }

    void httpErrorIsFailure()
    {
        m_server->setResponder(TestHttpsServer::replyWith(500, "oops"));
        Outcome outcome;
        run(outcome, "/error", 5000, 0);
        QCOMPARE(outcome.successes, 0);
        QCOMPARE(outcome.failures, 1);
        QVERIFY(outcome.reply.isNull());
    }

    void untrustedServerFails()
    {
        m_server->setResponder(TestHttpsServer::replyWith(200, "ok"));
        QNetworkAccessManager plain;
        plain.setProxy(QNetworkProxy::NoProxy);
        QNetworkReply *reply = plain.get(QNetworkRequest(m_server->url("/x")));
        QPointer<ReplyHandler> handler = new ReplyHandler(reply, QStringLiteral("Test/Untrusted"), 5000, 0);
        QSignalSpy failure(handler.data(), &ReplyHandler::failure);
        QSignalSpy success(handler.data(), &ReplyHandler::success);
        QVERIFY(failure.wait(10000));
        QCOMPARE(success.count(), 0);
        QTRY_VERIFY(handler.isNull());
    }

    void sizeLimit_data()
    {
        QTest::addColumn<qint64>("maxSize");
        QTest::addColumn<int>("bodySize");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("no limit") << qint64(0) << 1500000 << true;
        QTest::newRow("negative is no limit") << qint64(-1) << 5000 << true;
        QTest::newRow("exactly the limit") << qint64(1000000) << 1000000 << true;
        QTest::newRow("one past the limit") << qint64(1000000) << 1000001 << false;
        QTest::newRow("small limit exact") << qint64(10) << 10 << true;
        QTest::newRow("small limit one past") << qint64(10) << 11 << false;
        QTest::newRow("limit one chunk") << qint64(4096) << 4097 << false;
    }

    void sizeLimit()
    {
        QFETCH(qint64, maxSize);
        QFETCH(int, bodySize);
        QFETCH(bool, accepted);
        const QByteArray body(bodySize, 'x');
        m_server->setResponder(TestHttpsServer::replyWith(200, body));
        Outcome outcome;
        run(outcome, "/big", 10000, maxSize);
        QCOMPARE(outcome.successes + outcome.failures, 1);
        QCOMPARE(outcome.successes == 1, accepted);
        if (accepted)
            QCOMPARE(outcome.body.size(), bodySize);
    }

    void oversizedBodyInFinalReadFails_data()
    {
        QTest::addColumn<qint64>("maxSize");
        QTest::addColumn<int>("bodySize");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("exact") << qint64(5000) << 5000 << true;
        QTest::newRow("one past") << qint64(5000) << 5001 << false;
        QTest::newRow("within one chunk") << qint64(100) << 101 << false;
    }

    void oversizedBodyInFinalReadFails()
    {
        QFETCH(qint64, maxSize);
        QFETCH(int, bodySize);
        QFETCH(bool, accepted);
        auto *reply = new FinishedOnlyReply(QByteArray(bodySize, 'y'));
        QPointer<ReplyHandler> handler = new ReplyHandler(reply, QStringLiteral("Test/Final"), 5000, maxSize);
        QSignalSpy failure(handler.data(), &ReplyHandler::failure);
        QSignalSpy success(handler.data(), &ReplyHandler::success);
        reply->finishNow();
        QCOMPARE(success.count(), accepted ? 1 : 0);
        QCOMPARE(failure.count(), accepted ? 0 : 1);
        QTRY_VERIFY(handler.isNull());
    }

    void silentServerTimesOutOnce()
    {
        m_server->setResponder(TestHttpsServer::silent());
        LogCapture log;
        Outcome outcome;
        run(outcome, "/silent", 400, 0);
        QCOMPARE(outcome.successes, 0);
        QCOMPARE(outcome.failures, 1);
        // Coarse timers may fire up to 5% early.
        QVERIFY2(outcome.elapsedMs >= 370, qPrintable(QString::number(outcome.elapsedMs)));
        QVERIFY2(outcome.elapsedMs < 5000, qPrintable(QString::number(outcome.elapsedMs)));
        QVERIFY(log.contains("Test/Run :  HTTP request timed out"));
        QVERIFY(outcome.reply.isNull());
    }

    void slowButSteadyTransferIsNotTimedOut()
    {
        // 25 pieces 100 ms apart: three times longer in total than the 800 ms time-out.
        m_server->setResponder([](const TestHttpRequest &, TestConnection *connection) {
            connection->trickle(200, QByteArray(2500, 'z'), 100, 100);
        });
        Outcome outcome;
        run(outcome, "/slow", 800, 0);
        QCOMPARE(outcome.failures, 0);
        QCOMPARE(outcome.successes, 1);
        QCOMPARE(outcome.body, QByteArray(2500, 'z'));
        QVERIFY(outcome.elapsedMs >= 2400);
    }

    void abortLogsAndFailsOnce()
    {
        m_server->setResponder(TestHttpsServer::silent());
        LogCapture log;
        Outcome outcome;
        run(outcome, "/abort", 10000, 0, [this](ReplyHandler *handler) {
            QTRY_COMPARE(m_server->requests.size(), 1);
            handler->abort();
        });
        QCOMPARE(outcome.failures, 1);
        QCOMPARE(outcome.successes, 0);
        const int aborted = log.indexOf("Test/Run :  HTTP request aborted");
        QVERIFY(aborted >= 0);
        const int failed = log.indexOf("Test/Run :  HTTP request failed: ", aborted);
        QVERIFY(failed > aborted);
        QVERIFY(log.indexOf("Test/Run :  ReplyHandler destroyed", failed) > failed);
    }
};

QTEST_GUILESS_MAIN(TestReplyHandler)
#include "tst_replyhandler.moc"
