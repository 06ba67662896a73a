#include "PrefsTestStore.h"

#include "catalogue/Salsa20.h"
#include "prefs/Settings.h"

#include <QJsonDocument>
#include <QTest>

#include <sys/stat.h>

namespace {
// The record's key and nonce, written out independently of the product code:
// a change of either would make every remembered login unreadable.
const QByteArray NONCE = QByteArray::fromHex("a4c19e07b35f2d68");
const QByteArray KEY = QByteArray::fromHex("7e2b91d04fc3a8561b0de7f29c64a3158f0b2ed7c6194a53e81d07bf2a95c46d");

QVariant raw(const char *key)
{
    return QSettings().value(QLatin1String(key));
}

QJsonObject decodeIndependently(const QString &base64)
{
    const QByteArray plain = Salsa20(NONCE, KEY).crypt(QByteArray::fromBase64(base64.toLatin1()));
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return QJsonDocument::fromBinaryData(plain, QJsonDocument::Validate).object();
    QT_WARNING_POP
}

void storePlainScheme()
{
    QSettings store;
    store.setValue("login/username", "old-user");
    store.setValue("login/password", "old-secret");
    store.setValue("login/rememberCredentials", true);
}

const char *const UNDECODABLE = "Settings::getCredentials: the remembered login could not be decoded";
} // namespace

class TestCredentials : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { PrefsTestStore::init(); }
    void init() { PrefsTestStore::wipe(); }

    void freshStore()
    {
        Settings settings;
        QCOMPARE(settings.getUsername(), QString());
        QCOMPARE(settings.getPassword(), QString());
        QVERIFY(!settings.remembersCredentials());
        QVERIFY(settings.getCredentials().isEmpty());
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("username");
        QTest::addColumn<QString>("password");
        QTest::newRow("plain") << "alice"
                               << "s3cret";
        QTest::newRow("empty both") << ""
                                    << "";
        QTest::newRow("unicode and quotes") << QStringLiteral("j\u00fcrgen@example.test") << "p\"a;ss=w/rd\u20ac";
        QTest::newRow("long") << QString(300, 'u') << QString(1000, 'p');
    }

    void roundTrip()
    {
        QFETCH(QString, username);
        QFETCH(QString, password);
        {
            Settings settings;
            settings.rememberCredentials(username, password);
            QCOMPARE(settings.group(), QStringLiteral("preferences"));
        }
        Settings later;
        QCOMPARE(later.getUsername(), username);
        QCOMPARE(later.getPassword(), password);
        QVERIFY(later.remembersCredentials());
        QCOMPARE(later.group(), QStringLiteral("preferences"));

        const QString stored = raw("login/credentials").toString();
        QVERIFY(!stored.contains(username.isEmpty() ? QStringLiteral("\x01") : username));
        const QJsonObject record = decodeIndependently(stored);
        QCOMPARE(record.keys(), QStringList({"password", "username"}));
        QCOMPARE(record.value("username").toString(), username);
        QCOMPARE(record.value("password").toString(), password);
    }

    void recordIsStable()
    {
        Settings settings;
        settings.rememberCredentials("alice", "s3cret");
        const QString first = raw("login/credentials").toString();
        settings.rememberCredentials("alice", "s3cret");
        QCOMPARE(raw("login/credentials").toString(), first);
        // Pinned: installations in the field hold records of exactly this form.
        QCOMPARE(first,
                 QStringLiteral("aRGpyZS6LjhbrwABDbwmAr3qevW7s7pvV1YlxRQsIeyz8MqNrn/lQJDR34WeMHgXSGOhPbPIhAfYZGNt"
                                "FiLrukmZ7TPJK9crpWVfHQ=="));
        QVERIFY(!first.contains('\n'));
    }

    void olderPlainScheme()
    {
        storePlainScheme();
        Settings settings;
        QCOMPARE(settings.getUsername(), QStringLiteral("old-user"));
        QCOMPARE(settings.getPassword(), QStringLiteral("old-secret"));
        QVERIFY(settings.remembersCredentials());

        settings.rememberCredentials("new-user", "new-secret");
        QSettings store;
        QVERIFY(!store.contains("login/username"));
        QVERIFY(!store.contains("login/password"));
        QVERIFY(!store.contains("login/rememberCredentials"));
        QCOMPARE(settings.getUsername(), QStringLiteral("new-user"));
    }

    void damagedRecordFallsBackToPlainKeys_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("not base64") << "%%%% not a record !!!";
        QTest::newRow("base64 of garbage") << QString::fromLatin1(QByteArray(64, 'x').toBase64());
        QTest::newRow("truncated") << QString();
        QTest::newRow("flipped size byte") << QString();
        QTest::newRow("wrong key") << QString();
    }

    void damagedRecordFallsBackToPlainKeys()
    {
        QFETCH(QString, stored);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        if (stored.isEmpty()) {
            Settings().rememberCredentials("alice", "s3cret");
            QByteArray sealed = QByteArray::fromBase64(raw("login/credentials").toString().toLatin1());
            if (tag == "truncated")
                sealed.chop(sealed.size() / 3);
            else if (tag == "flipped size byte")
                sealed[8] = char(sealed.at(8) ^ 0x5a); // the stream cipher hides nothing: the size field breaks
            else
                sealed = Salsa20(NONCE, QByteArray(32, 'w')).crypt(Salsa20(NONCE, KEY).crypt(sealed));
            stored = QString::fromLatin1(sealed.toBase64());
        }
        storePlainScheme();
        QSettings().setValue("login/credentials", stored);

        Settings settings;
        QTest::ignoreMessage(QtDebugMsg, UNDECODABLE);
        QVERIFY(settings.getCredentials().isEmpty());
        QTest::ignoreMessage(QtDebugMsg, UNDECODABLE);
        QCOMPARE(settings.getUsername(), QStringLiteral("old-user"));
        QTest::ignoreMessage(QtDebugMsg, UNDECODABLE);
        QCOMPARE(settings.getPassword(), QStringLiteral("old-secret"));
        QTest::ignoreMessage(QtDebugMsg, UNDECODABLE);
        QVERIFY(settings.remembersCredentials());
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
    }

    void forgetRemovesEveryTrace()
    {
        storePlainScheme();
        QSettings().setValue("login/credentials", "leftover");
        Settings settings;
        settings.forgetCredentials();
        QCOMPARE(settings.group(), QStringLiteral("preferences"));
        settings.sync();
        QSettings store;
        for (const char *key : {"login/credentials", "login/username", "login/password", "login/rememberCredentials"})
            QVERIFY2(!store.contains(key), key);
        QVERIFY(!settings.remembersCredentials());

        settings.rememberCredentials("alice", "s3cret");
        settings.forgetCredentials();
        settings.sync();
        QFile file(settings.fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY2(!content.contains("login"), content.constData());
    }

    void storeStaysOwnerOnly()
    {
        const QString path = Settings().fileName();
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);
        Settings settings;
        settings.rememberCredentials("alice", "s3cret");
        settings.sync();
        struct stat st
        {};
        QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0600));
    }
};

QTEST_GUILESS_MAIN(TestCredentials)
#include "tst_credentials.moc"
