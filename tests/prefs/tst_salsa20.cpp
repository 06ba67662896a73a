#include "catalogue/Salsa20.h"

#include <QTest>

#include <stdexcept>

class TestSalsa20 : public QObject
{
    Q_OBJECT

private slots:
    void publishedVector()
    {
        // Salsa20/20, 256-bit key, set 1 vector 0: key 80 00 .. 00, IV 0.
        QByteArray key(32, '\0');
        key[0] = char(0x80);
        const Salsa20 cipher(QByteArray(8, '\0'), key);
        const QByteArray stream = cipher.crypt(QByteArray(64, '\0'));
        QCOMPARE(stream.toHex().toUpper(),
                 QByteArray("E3BE8FDD8BECA2E3EA8EF9475B29A6E7003951E1097A5C38D23B7A5FAD9F6844"
                            "B22C97559E2723C7CBBD3FE4FC8D9A0744652A83E72A9C461876AF4D7EF1A117"));
    }

    void emptyInput()
    {
        const Salsa20 cipher(QByteArray(8, 'n'), QByteArray(32, 'k'));
        QCOMPARE(cipher.crypt(QByteArray()), QByteArray());
    }

    void cryptTwiceGivesTheInputBack()
    {
        const Salsa20 cipher(QByteArray(8, 'n'), QByteArray(32, 'k'));
        const QByteArray text("the quick brown fox jumps over the lazy dog, twice over the lazy dog");
        const QByteArray sealed = cipher.crypt(text);
        QCOMPARE(sealed.size(), text.size());
        QVERIFY(sealed != text);
        QCOMPARE(cipher.crypt(sealed), text);
    }

    void everyCallRestartsTheKeyStream()
    {
        const Salsa20 cipher(QByteArray(8, 'n'), QByteArray(32, 'k'));
        const QByteArray text(128, 'a');
        const QByteArray whole = cipher.crypt(text);
        const QByteArray pieces = cipher.crypt(text.left(64)) + cipher.crypt(text.mid(64));
        QCOMPARE(pieces.left(64), whole.left(64));
        QVERIFY(pieces.mid(64) != whole.mid(64));
    }

    void wrongLengths_data()
    {
        QTest::addColumn<int>("nonceLength");
        QTest::addColumn<int>("keyLength");
        QTest::addColumn<QString>("message");
        QTest::newRow("short nonce") << 7 << 32 << "Invalid nonce! 8 bytes needed but got 7.";
        QTest::newRow("both wrong, nonce first") << 12 << 31 << "Invalid nonce! 8 bytes needed but got 12.";
        QTest::newRow("short key") << 8 << 31 << "Invalid key! 32 bytes needed but got 31.";
        QTest::newRow("empty key") << 8 << 0 << "Invalid key! 32 bytes needed but got 0.";
    }

    void wrongLengths()
    {
        QFETCH(int, nonceLength);
        QFETCH(int, keyLength);
        QFETCH(QString, message);
        try {
            Salsa20(QByteArray(nonceLength, 'n'), QByteArray(keyLength, 'k'));
            QFAIL("no exception");
        } catch (const std::invalid_argument &e) {
            QCOMPARE(QString::fromUtf8(e.what()), message);
        }
    }

    void factoryFallsBackToZeroKey()
    {
        QTest::ignoreMessage(QtDebugMsg, "Error constructing Salsa20:  Invalid key! 32 bytes needed but got 31.");
        const Salsa20 fallback = Salsa20::createSalsa20(QByteArray(8, 'n'), QByteArray(31, 'k'));
        const Salsa20 zero(QByteArray(8, '\0'), QByteArray(32, '\0'));
        const QByteArray text("stealth proxy list");
        QCOMPARE(fallback.crypt(text), zero.crypt(text));
    }

    void factoryWithGoodLengths()
    {
        const Salsa20 made = Salsa20::createSalsa20(QByteArray(8, 'n'), QByteArray(32, 'k'));
        const QByteArray text("abc");
        QCOMPARE(made.crypt(text), Salsa20(QByteArray(8, 'n'), QByteArray(32, 'k')).crypt(text));
    }
};

QTEST_GUILESS_MAIN(TestSalsa20)
#include "tst_salsa20.moc"
