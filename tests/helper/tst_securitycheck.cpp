#include "helper/DeadlineLineReader.h"
#include "helper/SecurityCheck.h"
#include "helper/SecurityException.h"
#include "helper/SharedKey.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QTest>

#include <unistd.h>

using stelvane::DeadlineLineReader;
using stelvane::SecurityCheck;
using stelvane::SecurityException;

namespace {

// 0 when accepted, else the code thrown.
int codeOf(const std::function<void()> &check)
{
    try {
        check();
        return 0;
    } catch (const SecurityException &e) {
        return e.code();
    }
}

std::string digestOf(long long timestamp)
{
    return SecurityCheck::tokenDigest(timestamp);
}

} // namespace

class TestSecurityCheck : public QObject
{
    Q_OBJECT

private slots:
    // The client computes the digest on its own (Qt's SHA-256 here): both
    // must agree byte for byte.
    void tokenDigestMatchesTheClientsComputation()
    {
        QByteArray input = "1700000000123";
        input.append(reinterpret_cast<const char *>(stelvane::SHARED_KEY), stelvane::SHARED_KEY_SIZE);
        QCOMPARE(QByteArray::fromStdString(digestOf(1700000000123LL)),
                 QCryptographicHash::hash(input, QCryptographicHash::Sha256).toHex());
    }

    void token_data()
    {
        const long long now = 1700000000000LL;
        QTest::addColumn<QString>("timestampLine");
        QTest::addColumn<QString>("digestLine");
        QTest::addColumn<int>("code");
        auto row = [&](const char *name, const std::string &line, long long digestFor, int code) {
            QTest::newRow(name) << QString::fromStdString(line) << QString::fromStdString(digestOf(digestFor)) << code;
        };
        row("now", std::to_string(now), now, 0);
        row("exactly 30000 ms old", std::to_string(now - 30000), now - 30000, 0);
        row("30001 ms old", std::to_string(now - 30001), now - 30001, 301);
        row("exactly 30000 ms ahead", std::to_string(now + 30000), now + 30000, 0);
        row("30001 ms ahead", std::to_string(now + 30001), now + 30001, 301);
        row("an hour ahead", std::to_string(now + 3600000), now + 3600000, 301);
        row("negative", "-5", -5, 301);
        row("leading zero hashed without it", "0" + std::to_string(now), now, 0);
        row("leading blanks", "  " + std::to_string(now), now, 0);
        row("trailing text ignored", std::to_string(now) + "xyz", now, 0);
        row("no number", "abc", now, 14);
        row("empty", "", now, 14);
        row("out of range", "99999999999999999999", now, 15);
        row("lowest value does not overflow", "-9223372036854775808", now, 301);
        row("stale with a wrong digest is stale", std::to_string(now - 40000), now, 301);
        row("digest of another time", std::to_string(now), now - 1, 302);
        QTest::newRow("uppercase digest")
            << QString::number(now) << QString::fromStdString(digestOf(now)).toUpper() << 302;
        QTest::newRow("digest with extra byte")
            << QString::number(now) << QString::fromStdString(digestOf(now) + "0") << 302;
        QTest::newRow("empty digest") << QString::number(now) << QString() << 302;
    }

    void token()
    {
        QFETCH(QString, timestampLine);
        QFETCH(QString, digestLine);
        QFETCH(int, code);
        QCOMPARE(codeOf([&] {
                     SecurityCheck::verifyToken(timestampLine.toStdString(), digestLine.toStdString(), 1700000000000LL);
                 }),
                 code);
    }

    void digestsEqual_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("equal");
        QTest::newRow("same") << "abc"
                              << "abc" << true;
        QTest::newRow("empty") << ""
                               << "" << true;
        QTest::newRow("last byte") << "abc"
                                   << "abd" << false;
        QTest::newRow("first byte") << "xbc"
                                    << "abc" << false;
        QTest::newRow("prefix") << "ab"
                                << "abc" << false;
    }

    void digestsEqual()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, equal);
        QCOMPARE(SecurityCheck::digestsEqual(a.toStdString(), b.toStdString()), equal);
    }

    void places_data()
    {
        QTest::addColumn<QString>("own");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<int>("code");
        QTest::newRow("client of the same bundle") << "/A/X.app/Contents/Helpers/Stelvane"
                                                   << "/A/X.app/Contents/MacOS/OrvalVPN" << 0;
        QTest::newRow("older client name") << "/A/X.app/Contents/Helpers/Stelvane"
                                           << "/A/X.app/Contents/MacOS/HalvorixDesktopQt" << 0;
        QTest::newRow("helper elsewhere") << "/A/X.app/Contents/Stelvane"
                                          << "/A/X.app/Contents/MacOS/OrvalVPN" << 401;
        QTest::newRow("helper renamed") << "/A/X.app/Contents/Helpers/Stelvane2"
                                        << "/A/X.app/Contents/MacOS/OrvalVPN" << 401;
        QTest::newRow("short path") << "Stelvane"
                                    << "/A/X.app/Contents/MacOS/OrvalVPN" << 401;
        QTest::newRow("other parent program") << "/A/X.app/Contents/Helpers/Stelvane"
                                              << "/usr/bin/bash" << 402;
        QTest::newRow("parent of another bundle") << "/A/X.app/Contents/Helpers/Stelvane"
                                                  << "/B/X.app/Contents/MacOS/OrvalVPN" << 403;
        QTest::newRow("parent in a sub-bundle") << "/A/X.app/Contents/Helpers/Stelvane"
                                                << "/A/X.app/Y/Contents/MacOS/OrvalVPN" << 403;
    }

    void places()
    {
        QFETCH(QString, own);
        QFETCH(QString, parent);
        QFETCH(int, code);
        QCOMPARE(codeOf([&] {
                     SecurityCheck::verifyOwnPath(own.toStdString());
                     SecurityCheck::verifyParentPath(own.toStdString(), parent.toStdString());
                 }),
                 code);
    }

    void readerReadsLinesAndNoFurther()
    {
        int fds[2];
        QVERIFY(pipe(fds) == 0);
        QCOMPARE(write(fds[1], "12\nab\nrest", 10), ssize_t(10));
        DeadlineLineReader reader(fds[0], 1000, 16);
        std::string line;
        QCOMPARE(reader.readLine(line), DeadlineLineReader::Result::Line);
        QCOMPARE(line, std::string("12"));
        QCOMPARE(reader.readLine(line), DeadlineLineReader::Result::Line);
        QCOMPARE(line, std::string("ab"));
        char rest[5] = {};
        QCOMPARE(read(fds[0], rest, 4), ssize_t(4));
        QCOMPARE(QByteArray(rest), QByteArray("rest"));
        close(fds[1]);
        QCOMPARE(reader.readLine(line), DeadlineLineReader::Result::EndOfInput);
        close(fds[0]);
    }

    void readerCapsTheLine()
    {
        int fds[2];
        QVERIFY(pipe(fds) == 0);
        const QByteArray longLine(100, '7');
        QCOMPARE(write(fds[1], longLine.constData(), longLine.size()), ssize_t(longLine.size()));
        DeadlineLineReader reader(fds[0], 1000, 16);
        std::string line;
        QCOMPARE(reader.readLine(line), DeadlineLineReader::Result::TooLong);
        QCOMPARE(line.size(), size_t(16));
        close(fds[0]);
        close(fds[1]);
    }

    // A writer that keeps the pipe open and says nothing cannot hold the reader.
    void readerGivesUpAtTheDeadline()
    {
        int fds[2];
        QVERIFY(pipe(fds) == 0);
        QCOMPARE(write(fds[1], "12", 2), ssize_t(2));
        QElapsedTimer timer;
        timer.start();
        DeadlineLineReader reader(fds[0], 300, 16);
        std::string line;
        QCOMPARE(reader.readLine(line), DeadlineLineReader::Result::TimedOut);
        QCOMPARE(line, std::string("12"));
        QCOMPARE(reader.readLine(line), DeadlineLineReader::Result::TimedOut);
        QVERIFY(timer.elapsed() >= 250);
        QVERIFY(timer.elapsed() < 3000);
        close(fds[0]);
        close(fds[1]);
    }
};

QTEST_GUILESS_MAIN(TestSecurityCheck)
#include "tst_securitycheck.moc"
