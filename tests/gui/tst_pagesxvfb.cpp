// Pictures of the connection pages on a real X server, for people to look at
// (build/screenshots/tst_pagesxvfb-*.png): each page filled as a connection
// would fill it, with the shipped translation.
#include "Screenshot.h"
#include "SiteConnectionParameters.h"
#include "SiteWithFiles.h"
#include "core/ByteCount.h"
#include "core/VpnConnectionState.h"
#include "core/VpnStartupProgress.h"
#include "gui/AboutDialog.h"
#include "gui/ApplicationTranslation.h"
#include "gui/ConnectionStatus.h"
#include "gui/MessageBoxOrvalVPN.h"
#include "gui/NullEventMessageCloser.h"
#include "gui/OrvalVPNLoadingWidget.h"
#include "gui/OrvalVPNLoginWidget.h"
#include "gui/OrvalVPNStatusWidget.h"
#include "gui/ServerSiteFacts.h"
#include "gui/ServerSiteFactsForStatusBar.h"
#include "prefs/Settings.h"

#include <QGuiApplication>
#include <QTest>
#include <QTranslator>

namespace {
QSharedPointer<ConnectionParameters> parameters()
{
    return QSharedPointer<ConnectionParameters>(new SiteConnectionParameters(
        SiteConnectionParameters::makeSite(QStringLiteral("CH"), QStringLiteral("Zurich"), true),
        HalvorixServerSite::UDP, QStringLiteral("none"), QStringLiteral("SHA512"), true));
}
} // namespace

class TestPagesXvfb : public QObject
{
    Q_OBJECT

    QTranslator m_translator;

    static void shoot(QWidget &page, const QString &name)
    {
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QVERIFY(!Screenshot::saveWidget(page, name).isEmpty());
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY(ApplicationTranslation::install(m_translator));
    }

    void connectionStatus()
    {
        ConnectionStatus status;
        status.setState(QStringLiteral("CONNECTED"));
        shoot(status, QStringLiteral("connection-status"));
    }

    // A short question over a long explanation, as Restore Defaults asks it.
    void questionWithALongExplanation()
    {
        MessageBoxOrvalVPN factory;
        NullEventMessageCloser closer;
        const QSharedPointer<QMessageBox> box = factory.getMessageBox(
            nullptr, QStringLiteral("Restore the default settings?"), QMessageBox::Yes | QMessageBox::No,
            MessageBoxFactory::Question,
            QStringLiteral("Every preference goes back to its default at once, the remembered credentials and the "
                           "dedicated IP servers included; Cancel will not bring them back."),
            QString(), QMessageBox::No, 0, &closer);
        shoot(*box, QStringLiteral("question-long-explanation"));
    }

    void about()
    {
        AboutDialog about;
        shoot(about, QStringLiteral("about"));
    }

    void facts()
    {
        QTemporaryDir dir;
        const HalvorixServerSite site = siteWithFiles(dir, BOTH_FILES, true, true);
        ServerSiteFacts panel;
        panel.onServerSite(site);
        shoot(panel, QStringLiteral("site-facts"));
        ServerSiteFactsForStatusBar line;
        line.onServerSite(site);
        shoot(line, QStringLiteral("site-facts-status-bar"));
    }

    void loading()
    {
        using P = VpnStartupProgress;
        OrvalVPNLoadingWidget page;
        page.resize(440, 440);
        const QList<QPair<P::ProgressState, QString>> steps = {
            {P::INITIAL, P::INIT_CONNECTION}, {P::RUNNING, P::PRELIMINARY_CHECKS},
            {P::SUCCESS, QString()},          {P::RUNNING, P::PREPARE_OPENVPN_ENVIRONMENT},
            {P::SUCCESS, QString()},          {P::RUNNING_SKIPPABLE, P::LOOKUP_HOSTNAME_BEFORE_CONNECTING}};
        for (const auto &step : steps)
            page.updateProgress(VpnStartupProgress(parameters(), step.second, step.first));
        QVERIFY(QMetaObject::invokeMethod(&page, "displayTimeoutWarning"));
        shoot(page, QStringLiteral("loading"));
    }

    void login()
    {
        Settings().rememberCredentials(QStringLiteral("alice"), QStringLiteral("s3cret"));
        OrvalVPNLoginWidget page;
        page.authFailed(true);
        page.resize(320, 360);
        shoot(page, QStringLiteral("login"));
    }

    void status()
    {
        OrvalVPNStatusWidget page;
        page.resize(340, 440);
        page.setUpdateServer(QStringLiteral("https://www.orvalvpn.example/whats-my-ip.php"));
        page.initialize(parameters());
        VpnConnectionState state(parameters());
        state.updateState(QStringLiteral("CONNECTED"), QStringLiteral("SUCCESS"), QStringLiteral("10.8.0.6"),
                          QStringLiteral("192.0.2.1"));
        state.tlsCipherChanged(true, QStringLiteral("TLSv1.3"), QStringLiteral("TLS_AES_256_GCM_SHA384"));
        state.updateConnectionTimes(1, QDateTime::currentDateTime(), 0, QDateTime::currentDateTime().addSecs(-3725));
        state.updatedDetectedPublicIp(VpnConnectionState::FOUND, QHostAddress(QStringLiteral("192.0.2.1")), 1);
        page.onUpdateState(state);
        page.onUpdateByteCount(ByteCount(5 * 1024 * 1024 + 300000, 812345));
        shoot(page, QStringLiteral("status"));
    }
};

QTEST_MAIN(TestPagesXvfb)
#include "tst_pagesxvfb.moc"
