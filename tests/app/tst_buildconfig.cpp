#include "BuildConfig.h"

#include <QTest>
#include <QUrl>

// Values compiled into the product that the GUI builds links from.
class TestBuildConfig : public QObject
{
    Q_OBJECT

private slots:
    void websiteIsAnHttpsAddressPagesCanBeAppendedTo()
    {
        const QUrl site(QString::fromLatin1(BuildConfig::websiteUrl));
        QVERIFY(site.isValid());
        QCOMPARE(site.scheme(), QStringLiteral("https"));
        QVERIFY(!site.host().isEmpty());
        QVERIFY(site.path().endsWith(QLatin1Char('/')));
        QCOMPARE(site.resolved(QUrl(QStringLiteral("whats-my-ip.php"))).toString(),
                 site.toString() + QStringLiteral("whats-my-ip.php"));
    }
};

QTEST_GUILESS_MAIN(TestBuildConfig)
#include "tst_buildconfig.moc"
