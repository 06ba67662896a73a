// The login page: remembered credentials, the banner, Login and the sign-up link.
#include "BuildConfig.h"
#include "gui/ApplicationTranslation.h"
#include "gui/ExternalLink.h"
#include "gui/OrvalVPNLoginWidget.h"
#include "prefs/Settings.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

namespace {
template<typename T>
T *child(QWidget &page, const char *name)
{
    return page.findChild<T *>(QLatin1String(name));
}
} // namespace

class TestLoginWidget : public QObject
{
    Q_OBJECT

    QTranslator m_translator;

private slots:
    void initTestCase() { QVERIFY(ApplicationTranslation::install(m_translator)); }

    void init() { Settings().forgetCredentials(); }

    // What the main window does for a credentials request: the banner for a
    // repeat, then the fields from the preferences.
    void credentialsRequest_data()
    {
        QTest::addColumn<bool>("remembered");
        QTest::addColumn<int>("retry");
        QTest::newRow("remembered, first request") << true << 0;
        QTest::newRow("remembered, after wrong credentials") << true << 1;
        QTest::newRow("nothing remembered, first request") << false << 0;
        QTest::newRow("nothing remembered, after wrong credentials") << false << 1;
    }

    void credentialsRequest()
    {
        QFETCH(bool, remembered);
        QFETCH(int, retry);
        if (remembered)
            Settings().rememberCredentials(QStringLiteral("alice"), QStringLiteral("s3cret"));
        OrvalVPNLoginWidget page;
        page.show();
        auto *banner = child<QLabel>(page, "authFailed");
        QVERIFY(banner->isHidden());
        // A banner left from an earlier attempt goes with a first request.
        page.authFailed(true);
        page.authFailed(retry != 0);
        page.configure();
        QCOMPARE(banner->isVisible(), retry != 0);
        QCOMPARE(child<QLineEdit>(page, "username")->text(), remembered ? QStringLiteral("alice") : QString());
        QCOMPARE(child<QLineEdit>(page, "password")->text(), remembered ? QStringLiteral("s3cret") : QString());
        QCOMPARE(child<QLineEdit>(page, "password")->echoMode(), QLineEdit::Password);
        QCOMPARE(child<QCheckBox>(page, "rememberCredentials")->isChecked(), remembered);
        QCOMPARE(child<QPushButton>(page, "login")->isEnabled(), remembered);
    }

    // The preferences are written before the backend gets the credentials.
    void loginStoresOrForgetsFirst_data()
    {
        QTest::addColumn<bool>("remember");
        QTest::newRow("ticked") << true;
        QTest::newRow("unticked") << false;
    }

    void loginStoresOrForgetsFirst()
    {
        QFETCH(bool, remember);
        Settings().rememberCredentials(QStringLiteral("old"), QStringLiteral("old-password"));
        OrvalVPNLoginWidget page;
        child<QLineEdit>(page, "username")->setText(QStringLiteral("bob"));
        child<QLineEdit>(page, "password")->setText(QStringLiteral("pa ss"));
        child<QCheckBox>(page, "rememberCredentials")->setChecked(remember);
        QStringList seen;
        connect(&page, &OrvalVPNLoginWidget::login, this, [&](const QString &username, const QString &password) {
            Settings stored;
            seen << username << password
                 << (stored.remembersCredentials() ? stored.getUsername() + "/" + stored.getPassword()
                                                   : QStringLiteral("forgotten"));
        });
        QTest::mouseClick(child<QPushButton>(page, "login"), Qt::LeftButton);
        QCOMPARE(seen, (QStringList {"bob", "pa ss", remember ? "bob/pa ss" : "forgotten"}));
        page.configure();
        QCOMPARE(child<QLineEdit>(page, "username")->text(), remember ? QStringLiteral("bob") : QString());
        QCOMPARE(child<QCheckBox>(page, "rememberCredentials")->isChecked(), remember);
    }

    // An empty field never reaches the backend nor replaces what was remembered.
    void loginNeedsBothFields_data()
    {
        QTest::addColumn<QString>("username");
        QTest::addColumn<QString>("password");
        QTest::newRow("no user name") << ""
                                      << "pw";
        QTest::newRow("no password") << "carol"
                                     << "";
        QTest::newRow("neither") << ""
                                 << "";
    }

    void loginNeedsBothFields()
    {
        QFETCH(QString, username);
        QFETCH(QString, password);
        Settings().rememberCredentials(QStringLiteral("alice"), QStringLiteral("s3cret"));
        OrvalVPNLoginWidget page;
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        QSignalSpy login(&page, &OrvalVPNLoginWidget::login);
        auto *button = child<QPushButton>(page, "login");
        QVERIFY(button->isEnabled());
        child<QLineEdit>(page, "username")->setText(username);
        child<QLineEdit>(page, "password")->setText(password);
        QVERIFY(!button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(&page, Qt::Key_Return);
        // Long enough for a shortcut's delayed click (animateClick, 100 ms).
        QTest::qWait(300);
        QCOMPARE(login.count(), 0);
        Settings stored;
        QVERIFY(stored.remembersCredentials());
        QCOMPARE(stored.getUsername(), QStringLiteral("alice"));
        QCOMPARE(stored.getPassword(), QStringLiteral("s3cret"));
        // Typing the missing text enables it again.
        child<QLineEdit>(page, "username")->setText(QStringLiteral("carol"));
        child<QLineEdit>(page, "password")->setText(QStringLiteral("pw"));
        QVERIFY(button->isEnabled());
    }

    void returnLogsIn()
    {
        OrvalVPNLoginWidget page;
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        page.focusUsername();
        QTest::keyClicks(child<QLineEdit>(page, "username"), QStringLiteral("dave"));
        child<QLineEdit>(page, "password")->setText(QStringLiteral("pw"));
        QSignalSpy login(&page, &OrvalVPNLoginWidget::login);
        QSignalSpy abort(&page, &OrvalVPNLoginWidget::abort);
        QTest::keyClick(child<QLineEdit>(page, "username"), Qt::Key_Return);
        QTRY_COMPARE(login.count(), 1);
        QCOMPARE(login.at(0), (QVariantList {"dave", "pw"}));
        QTest::mouseClick(child<QPushButton>(page, "abort"), Qt::LeftButton);
        QCOMPARE(abort.count(), 1);
        QCOMPARE(login.count(), 1);
    }

    void signUpLinksToTheSite()
    {
        QList<QUrl> opened;
        ExternalLink::setOpener([&](const QUrl &url) {
            opened << url;
            return true;
        });
        OrvalVPNLoginWidget page;
        auto *label = child<QLabel>(page, "signUpLabel");
        const QString site = QString::fromLatin1(BuildConfig::websiteUrl);
        QVERIFY2(label->text().contains(QStringLiteral("href=\"%1\"").arg(site)), qPrintable(label->text()));
        QVERIFY(!label->text().contains(QStringLiteral("APPLICATION_URL")));
        QVERIFY(!label->openExternalLinks());
        emit label->linkActivated(site);
        QCOMPARE(opened, QList<QUrl> {QUrl(site)});
        ExternalLink::setOpener({});
    }
};

QTEST_MAIN(TestLoginWidget)
#include "tst_loginwidget.moc"
