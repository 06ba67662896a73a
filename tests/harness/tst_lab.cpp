#include "Lab.h"

#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

// The lab itself: what the end-to-end tests rely on must hold for real.
class TestLab : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!Lab::isActive())
            QSKIP("runs only inside the test network");
    }

    void resolverAnswersNamesAddedAtRunTime()
    {
        Lab::addDnsHost(QStringLiteral("vpn-lab.orvalvpn.test"), QStringLiteral("203.0.113.7"));
        const QHostInfo info = QHostInfo::fromName(QStringLiteral("vpn-lab.orvalvpn.test"));
        QCOMPARE(info.error(), QHostInfo::NoError);
        QCOMPARE(info.addresses().value(0).toString(), QStringLiteral("203.0.113.7"));
    }

    void updateHostIsTrustedByQtAndRecordsRequests()
    {
        Lab::serve(QStringLiteral("/hello.txt"), "hello");
        QNetworkAccessManager manager;
        QNetworkRequest request(QUrl(QStringLiteral("https://%1/hello.txt").arg(Lab::updateHost())));
        request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("lab-test"));
        QScopedPointer<QNetworkReply> reply(manager.get(request));
        QSignalSpy finished(reply.data(), &QNetworkReply::finished);
        QVERIFY(finished.wait(10000));
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(reply->readAll(), QByteArray("hello"));
        const QJsonObject last = Lab::requests().last().toObject();
        QCOMPARE(last.value("path").toString(), QStringLiteral("/hello.txt"));
        QCOMPARE(last.value("headers").toObject().value("User-Agent").toString(), QStringLiteral("lab-test"));
    }

    void behavioursSteerTheAnswer()
    {
        Lab::serve(QStringLiteral("/gone.txt"), "x");
        Lab::setBehaviour(QStringLiteral("/gone.txt"), {{"status", 404}});
        QNetworkAccessManager manager;
        QScopedPointer<QNetworkReply> reply(
            manager.get(QNetworkRequest(QUrl(QStringLiteral("https://%1/gone.txt").arg(Lab::updateHost())))));
        QSignalSpy finished(reply.data(), &QNetworkReply::finished);
        QVERIFY(finished.wait(10000));
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 404);
        Lab::clearBehaviours();
    }
};

QTEST_GUILESS_MAIN(TestLab)
#include "tst_lab.moc"
