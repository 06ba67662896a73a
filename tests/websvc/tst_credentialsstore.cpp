#include "websvc/CredentialsStore.h"

#include <QTest>

class TestCredentialsStore : public QObject
{
    Q_OBJECT

private slots:
    void startsNull()
    {
        QVERIFY(CredentialsStore::getUsername().isNull());
        QVERIFY(CredentialsStore::getPassword().isNull());
    }

    void secondSetReplacesBoth()
    {
        CredentialsStore::setUsernamePassword(QStringLiteral("alice"), QStringLiteral("secret"));
        QCOMPARE(CredentialsStore::getUsername(), QStringLiteral("alice"));
        QCOMPARE(CredentialsStore::getPassword(), QStringLiteral("secret"));
        CredentialsStore::setUsernamePassword(QStringLiteral("bob"), QString(""));
        QCOMPARE(CredentialsStore::getUsername(), QStringLiteral("bob"));
        QVERIFY(CredentialsStore::getPassword().isEmpty());
        QVERIFY(!CredentialsStore::getPassword().isNull());
    }

    void clearGivesNull()
    {
        CredentialsStore::setUsernamePassword(QStringLiteral("alice"), QStringLiteral("secret"));
        CredentialsStore::clearUsernamePassword();
        QVERIFY(CredentialsStore::getUsername().isNull());
        QVERIFY(CredentialsStore::getPassword().isNull());
    }
};

QTEST_GUILESS_MAIN(TestCredentialsStore)
#include "tst_credentialsstore.moc"
