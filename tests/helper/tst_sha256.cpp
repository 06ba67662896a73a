#include "helper/SHA256.h"

#include <QCryptographicHash>
#include <QTest>

using stelvane::SHA256;

class TestSha256 : public QObject
{
    Q_OBJECT

private slots:
    // The FIPS 180-4 / NIST example messages.
    void vectors_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("digest");
        QTest::newRow("empty") << QByteArray() << "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
        QTest::newRow("abc") << QByteArray("abc") << "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
        QTest::newRow("448 bits") << QByteArray("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")
                                  << "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1";
        QTest::newRow("896 bits") << QByteArray("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmn"
                                                "opjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu")
                                  << "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1";
        QTest::newRow("one million a") << QByteArray(1000000, 'a')
                                       << "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0";
    }

    void vectors()
    {
        QFETCH(QByteArray, message);
        QFETCH(QString, digest);
        QCOMPARE(QString::fromStdString(stelvane::sha256(message.toStdString())), digest);
        QCOMPARE(QString::fromStdString(stelvane::sha256(std::vector<char>(message.begin(), message.end()))), digest);
    }

    // Padding edges (55/56/63/64/65 bytes) and data fed in uneven pieces.
    void piecewiseAndPaddingEdges()
    {
        for (int length : {1, 55, 56, 57, 63, 64, 65, 119, 120, 127, 128, 1000}) {
            QByteArray message(length, '\0');
            for (int i = 0; i < length; ++i)
                message[i] = static_cast<char>(i * 31 + 7);
            const QByteArray expected = QCryptographicHash::hash(message, QCryptographicHash::Sha256).toHex();
            QCOMPARE(QByteArray::fromStdString(stelvane::sha256(message.toStdString())), expected);
            for (int piece : {1, 3, 63, 64, 65}) {
                SHA256 hash;
                for (int offset = 0; offset < length; offset += piece)
                    hash.update(reinterpret_cast<const unsigned char *>(message.constData()) + offset,
                                static_cast<unsigned int>(qMin(piece, length - offset)));
                unsigned char digest[SHA256::DIGEST_SIZE];
                hash.final(digest);
                QCOMPARE(QByteArray::fromStdString(stelvane::toHex(digest, SHA256::DIGEST_SIZE)), expected);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSha256)
#include "tst_sha256.moc"
