// The loading page: stage lines, the slow-stage banner, Cancel and Continue.
#include "SiteConnectionParameters.h"
#include "StageTextTable.h"
#include "core/VpnStartupProgress.h"
#include "gui/ApplicationTranslation.h"
#include "gui/OrvalVPNLoadingWidget.h"
#include "gui/OrvalVPNProgressMessageGUI.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QVBoxLayout>

namespace {
using P = VpnStartupProgress;

const QString PATIENT = QStringLiteral("Connecting to OrvalVPN is taking unusually long, please be patient");
const QString FIREWALL = QStringLiteral("Connecting to OrvalVPN is taking unusually long, please check your firewall!");
const QString LOOKUP_WARNING = QStringLiteral(
    "Resolving the server hostname is taking unusually long. You can skip this operation. The hostname will be "
    "refreshed once you are connected");

struct Step
{
    P::ProgressState state;
    QString key;
};

QSharedPointer<ConnectionParameters> parameters()
{
    return QSharedPointer<ConnectionParameters>(new SiteConnectionParameters(
        SiteConnectionParameters::makeSite(QStringLiteral("NL"), QStringLiteral("Amsterdam")), HalvorixServerSite::TCP,
        QStringLiteral("AES-256-GCM")));
}

void play(OrvalVPNLoadingWidget &page, const QList<Step> &steps)
{
    for (const Step &step : steps)
        page.updateProgress(VpnStartupProgress(parameters(), step.key, step.state));
}

// "text: status word" for each line of the list, in order.
QStringList lines(OrvalVPNLoadingWidget &page)
{
    auto *layout = page.findChild<QVBoxLayout *>(QStringLiteral("progressingLayout"));
    QStringList result;
    for (int i = 0; i < layout->count(); ++i) {
        auto *line = qobject_cast<OrvalVPNProgressMessageGUI *>(layout->itemAt(i)->widget());
        result << line->getMessage() + QStringLiteral(": ") + line->statusText();
    }
    return result;
}

QTimer &warningTimer(OrvalVPNLoadingWidget &page)
{
    return *page.findChild<QTimer *>(QStringLiteral("warningTimer"));
}

QString running(const QString &text)
{
    return text + QStringLiteral(": ") + OrvalVPNProgressMessageGUI::PROGRESSING;
}
} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class TestLoadingWidget : public QObject
{
    Q_OBJECT

    QTranslator m_translator;

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        QVERIFY(ApplicationTranslation::install(m_translator));
    }

    void sequence_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QStringList>("expectedLines");
        QTest::addColumn<QString>("lastToolTip");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<bool>("continueShown");
        const QString success = QStringLiteral("Starting OpenVPN: ") + OrvalVPNProgressMessageGUI::SUCCESS;
        const Step init {P::INITIAL, P::INIT_CONNECTION};
        const Step openvpn {P::RUNNING, P::OPENVPN_STARTING};
        QTest::newRow("initial only") << QList<Step> {init} << QStringList() << QString() << PATIENT << false;
        QTest::newRow("one running stage") << QList<Step> {init, openvpn} << QStringList {running("Starting OpenVPN")}
                                           << "Please wait while OpenVPN is starting" << FIREWALL << false;
        QTest::newRow("a stage without tool tip shows none")
            << QList<Step> {init, {P::RUNNING, P::PREPARE_OPENVPN_ENVIRONMENT}}
            << QStringList {running("Preparing OpenVPN")} << QString() << PATIENT << false;
        QTest::newRow("only the newest line is closed")
            << QList<Step> {init, {P::RUNNING, P::PREPARE_OPENVPN_ENVIRONMENT}, openvpn, {P::SUCCESS, ""}}
            << QStringList {running("Preparing OpenVPN"), success} << QString() << FIREWALL << false;
        QTest::newRow("done before any stage changes nothing")
            << QList<Step> {init, {P::SUCCESS, ""}} << QStringList() << QString() << PATIENT << false;
        QTest::newRow("failed and skipped")
            << QList<Step> {init, openvpn, {P::FAILED, ""}, {P::RUNNING, P::CHECKING_DEFAULT_ROUTE}, {P::SKIPPED, ""}}
            << QStringList {"Starting OpenVPN: " + OrvalVPNProgressMessageGUI::FAILURE,
                            "Discovering default route: " + OrvalVPNProgressMessageGUI::SKIPPED}
            << QString() << "You are offline!" << false;
        QTest::newRow("preliminary checks cancel the banner")
            << QList<Step> {init, {P::RUNNING, P::PRELIMINARY_CHECKS}}
            << QStringList {running("Checking preconditions")} << QString() << QString() << false;
        QTest::newRow("a skippable stage offers Continue")
            << QList<Step> {init, {P::RUNNING_SKIPPABLE, P::LOOKUP_HOSTNAME_BEFORE_CONNECTING}}
            << QStringList {running("Resolving VPN server IP address")} << "Resolving the server hostname"
            << LOOKUP_WARNING << true;
        QTest::newRow("waiting for the user offers Continue and keeps the banner")
            << QList<Step> {init, openvpn, {P::WAITING_SKIPPABLE, P::CHECKING_DEFAULT_ROUTE}}
            << QStringList {running("Starting OpenVPN")} << "Checking if Internet is reachable" << FIREWALL << true;
        QTest::newRow("the skippable stage ends: Continue goes")
            << QList<Step> {init, {P::RUNNING_SKIPPABLE, P::LOOKUP_HOSTNAME_BEFORE_CONNECTING}, {P::SUCCESS, ""}}
            << QStringList {"Resolving VPN server IP address: " + OrvalVPNProgressMessageGUI::SUCCESS} << QString()
            << LOOKUP_WARNING << false;
        QTest::newRow("a new attempt starts with an empty list and no Continue")
            << QList<Step> {init, {P::RUNNING_SKIPPABLE, P::LOOKUP_HOSTNAME_BEFORE_CONNECTING}, init} << QStringList()
            << QString() << PATIENT << false;
    }

    void sequence()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(QStringList, expectedLines);
        QFETCH(QString, lastToolTip);
        QFETCH(QString, warning);
        QFETCH(bool, continueShown);
        OrvalVPNLoadingWidget page;
        page.show();
        play(page, steps);
        QCOMPARE(lines(page), expectedLines);
        auto *layout = page.findChild<QVBoxLayout *>(QStringLiteral("progressingLayout"));
        if (layout->count() > 0)
            QCOMPARE(layout->itemAt(layout->count() - 1)->widget()->toolTip(), lastToolTip);
        auto *banner = page.findChild<QLabel *>(QStringLiteral("timeoutWarning"));
        QVERIFY(banner->isHidden());
        QCOMPARE(warningTimer(page).isActive(), !warning.isEmpty());
        if (!warning.isEmpty())
            QCOMPARE(banner->text(), warning);
        QCOMPARE(page.findChild<QPushButton *>(QStringLiteral("skip"))->isVisible(), continueShown);
    }

    void theTopRowsShowTheAttempt()
    {
        OrvalVPNLoadingWidget page;
        play(page, {{P::INITIAL, P::INIT_CONNECTION}});
        QCOMPARE(page.findChild<QLabel *>(QStringLiteral("country"))->text(), QStringLiteral("Netherlands"));
        QCOMPARE(page.findChild<QLabel *>(QStringLiteral("city"))->text(), QStringLiteral("Amsterdam"));
        QCOMPARE(page.findChild<QLabel *>(QStringLiteral("protocol"))->text(), QStringLiteral("TCP"));
        QCOMPARE(page.findChild<QLabel *>(QStringLiteral("cipher"))->text(), QStringLiteral("AES-256-GCM"));
        QCOMPARE(page.findChild<QLabel *>(QStringLiteral("status"))->text(), QStringLiteral("Starting"));
        QVERIFY(page.findChild<QLabel *>(QStringLiteral("cipherWarningSign"))->isHidden());
        QVERIFY(page.findChild<QLabel *>(QStringLiteral("stealthLabel"))->isHidden());
    }

    // The list is emptied at once, although the old lines are deleted later.
    void aSecondAttemptStartsEmpty()
    {
        OrvalVPNLoadingWidget page;
        play(page, {{P::INITIAL, P::INIT_CONNECTION}, {P::RUNNING, P::OPENVPN_STARTING}});
        QPointer<OrvalVPNProgressMessageGUI> old = page.findChild<OrvalVPNProgressMessageGUI *>();
        play(page, {{P::INITIAL, P::INIT_CONNECTION}, {P::SUCCESS, ""}});
        QVERIFY(old);
        QVERIFY(old->isHidden());
        QCOMPARE(old->statusText(), OrvalVPNProgressMessageGUI::PROGRESSING);
        QVERIFY(lines(page).isEmpty());
        QVERIFY(!page.isLastLoadingMessageOnGoing());
        QTRY_VERIFY(!old);
    }

    void theBannerShowsWhenTheStageOutlastsItsTimer()
    {
        OrvalVPNLoadingWidget page;
        page.show();
        play(page, {{P::INITIAL, P::INIT_CONNECTION}, {P::RUNNING, P::OPENVPN_STARTING}});
        QTimer &timer = warningTimer(page);
        QVERIFY(timer.isActive());
        QVERIFY(timer.isSingleShot());
        QCOMPARE(timer.interval(), 5000);
        QVERIFY(QMetaObject::invokeMethod(&page, "displayTimeoutWarning"));
        auto *banner = page.findChild<QLabel *>(QStringLiteral("timeoutWarning"));
        QVERIFY(banner->isVisible());
        QCOMPARE(banner->text(), FIREWALL);
        // The next stage hides it again and re-arms the timer with its own text.
        play(page, {{P::RUNNING, P::CHECKING_DEFAULT_ROUTE}});
        QVERIFY(banner->isHidden());
        QVERIFY(timer.isActive());
        QCOMPARE(banner->text(), QStringLiteral("You are offline!"));
    }

    void theFormsBannerIsTranslated()
    {
        OrvalVPNLoadingWidget page;
        QCOMPARE(page.findChild<QLabel *>(QStringLiteral("timeoutWarning"))->text(), FIREWALL);
    }

    void buttons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("byReturn");
        QTest::addColumn<QByteArray>("signal");
        QTest::newRow("Cancel") << "disconnect" << false << QByteArray(SIGNAL(abortConnection()));
        QTest::newRow("Return") << "disconnect" << true << QByteArray(SIGNAL(abortConnection()));
        QTest::newRow("Continue") << "skip" << false << QByteArray(SIGNAL(skipCurrentOperation()));
    }

    void buttons()
    {
        QFETCH(QString, button);
        QFETCH(bool, byReturn);
        QFETCH(QByteArray, signal);
        OrvalVPNLoadingWidget page;
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        play(page, {{P::INITIAL, P::INIT_CONNECTION}, {P::RUNNING_SKIPPABLE, P::LOOKUP_HOSTNAME_BEFORE_CONNECTING}});
        QSignalSpy abort(&page, SIGNAL(abortConnection()));
        QSignalSpy skip(&page, SIGNAL(skipCurrentOperation()));
        QSignalSpy wanted(&page, signal.constData());
        auto *pushButton = page.findChild<QPushButton *>(button);
        if (byReturn)
            QTest::keyClick(&page, Qt::Key_Return);
        else
            QTest::mouseClick(pushButton, Qt::LeftButton);
        // A shortcut clicks its button a moment later (animateClick).
        QTRY_COMPARE(wanted.count(), 1);
        QCOMPARE(abort.count() + skip.count(), 1);
        // Continue goes at once: a second press cannot skip the next stage as well.
        QCOMPARE(pushButton->isHidden(), button == QLatin1String("skip"));
        QCOMPARE(lines(page), QStringList {running("Resolving VPN server IP address")});
    }

    void stageTexts_data() { addStageTextRows(); }

    // A stage without a tool tip gives none, never its look-up key.
    void stageTexts()
    {
        QFETCH(QString, key);
        QFETCH(QString, label);
        QFETCH(QString, tooltip);
        QFETCH(QString, warning);
        QCOMPARE(OrvalVPNLoadingWidget::stageText(key, P::SUFFIX_LABEL), label);
        QCOMPARE(OrvalVPNLoadingWidget::stageText(key, P::SUFFIX_TOOLTIP), tooltip);
        QCOMPARE(OrvalVPNLoadingWidget::stageText(key, P::SUFFIX_WARNING), warning);
    }

    // An untranslated key shows nothing and arms no banner.
    void anUnknownStageShowsNoKey()
    {
        OrvalVPNLoadingWidget page;
        play(page, {{P::INITIAL, P::INIT_CONNECTION}, {P::RUNNING, QStringLiteral("NO_SUCH_STAGE")}});
        QCOMPARE(lines(page), QStringList {running(QString())});
        QVERIFY(!warningTimer(page).isActive());
    }
};

QTEST_MAIN(TestLoadingWidget)
#include "tst_loadingwidget.moc"
