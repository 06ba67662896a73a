// The status page of a running connection: addresses, pin, counters and time.
#include "SiteConnectionParameters.h"
#include "core/ByteCount.h"
#include "core/VpnConnectionState.h"
#include "gui/ApplicationTranslation.h"
#include "gui/OrvalVPNStatusWidget.h"
#include "prefs/Settings.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QTranslator>

namespace {
const QString SITE_ID = QStringLiteral("SE-Stockholm");
const QString UPDATE_SERVER = QStringLiteral("https://www.orvalvpn.example/whats-my-ip.php");
const QString NOT_CONNECTED = QStringLiteral("IP address pinning is available when VPN is connected.");

enum SiteKind { RANDOM, PINNED, DEDICATED };

QSharedPointer<ConnectionParameters> parameters(SiteKind kind = RANDOM, const QString &cipher = "AES-256-GCM")
{
    const QHostAddress dedicated = kind == DEDICATED ? QHostAddress(QStringLiteral("198.51.100.9")) : QHostAddress();
    return QSharedPointer<ConnectionParameters>(new SiteConnectionParameters(
        SiteConnectionParameters::makeSite(QStringLiteral("SE"), QStringLiteral("Stockholm"), false, dedicated),
        HalvorixServerSite::UDP, cipher, QStringLiteral("SHA512")));
}

QSharedPointer<VpnConnectionState> state(const QString &name, const QString &remoteIp = QString())
{
    QSharedPointer<VpnConnectionState> result(new VpnConnectionState(parameters()));
    result->updateState(name, QString(), QStringLiteral("10.8.0.2"), remoteIp);
    return result;
}

template<typename T = QLabel>
T &child(QWidget &page, const char *name)
{
    return *page.findChild<T *>(QLatin1String(name));
}

QTimer &connectionTimer(OrvalVPNStatusWidget &page)
{
    return *page.findChild<QTimer *>(QStringLiteral("connectionTimer"));
}
} // namespace

class TestStatusWidget : public QObject
{
    Q_OBJECT

    QTranslator m_translator;

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        QVERIFY(ApplicationTranslation::install(m_translator));
    }

    void init() { Settings().forgetPinnedIP(SITE_ID); }

    void initializeShowsTheAttempt_data()
    {
        QTest::addColumn<QString>("cipher");
        QTest::addColumn<bool>("warning");
        QTest::newRow("a cipher") << "AES-256-GCM" << false;
        QTest::newRow("none") << "none" << true;
        QTest::newRow("None is another name") << "None" << false;
        QTest::newRow("markup stays text") << "<b>AES</b>" << false;
    }

    void initializeShowsTheAttempt()
    {
        QFETCH(QString, cipher);
        QFETCH(bool, warning);
        OrvalVPNStatusWidget page;
        page.show();
        page.initialize(parameters(RANDOM, cipher));
        QCOMPARE(child(page, "country").text(), QStringLiteral("Sweden"));
        QCOMPARE(child(page, "city").text(), QStringLiteral("Stockholm"));
        QCOMPARE(child(page, "protocol").text(), QStringLiteral("UDP"));
        QCOMPARE(child(page, "cipher").text(), cipher);
        QCOMPARE(child(page, "cipher").textFormat(), Qt::PlainText);
        QCOMPARE(child(page, "cipherWarningSign").isVisible(), warning);
        QCOMPARE(child(page, "hmac").text(), QStringLiteral("SHA512"));
        QCOMPARE(child(page, "pfsAndTlsVersion").text(), QStringLiteral("n/a / n/a"));
        const char *notAvailable[] = {"status", "localIp", "remoteIp", "publicIp", "sent", "received", "connectedFor"};
        for (const char *name : notAvailable)
            QCOMPARE(child(page, name).text(), QStringLiteral("n/a"));
        QVERIFY(!child(page, "stealthLabel").isVisible());
        QVERIFY(!connectionTimer(page).isActive());
    }

    void tlsCipher_data()
    {
        QTest::addColumn<bool>("pfs");
        QTest::addColumn<QString>("cipherInfo");
        QTest::addColumn<QString>("tlsVersion");
        QTest::addColumn<QString>("text");
        QTest::newRow("perfect forward secrecy") << true << "TLS_AES_256_GCM_SHA384"
                                                 << "TLSv1.3"
                                                 << "Yes / TLSv1.3";
        QTest::newRow("no forward secrecy") << false << "AES256-SHA"
                                            << "TLSv1.2"
                                            << "No / TLSv1.2";
        QTest::newRow("nothing known yet") << false << ""
                                           << ""
                                           << "n/a / ";
        QTest::newRow("engine text with markup") << false << "<img src=x>"
                                                 << "TLSv1.2"
                                                 << "No / TLSv1.2";
    }

    // The cipher details go to the tool tip as plain text, never as markup.
    void tlsCipher()
    {
        QFETCH(bool, pfs);
        QFETCH(QString, cipherInfo);
        QFETCH(QString, tlsVersion);
        QFETCH(QString, text);
        OrvalVPNStatusWidget page;
        page.initialize(parameters());
        auto connection = state(QStringLiteral("CONNECTED"));
        connection->tlsCipherChanged(pfs, tlsVersion, cipherInfo);
        page.onUpdateState(*connection);
        QLabel &label = child(page, "pfsAndTlsVersion");
        QCOMPARE(label.text(), text);
        QCOMPARE(label.textFormat(), Qt::PlainText);
        QTextDocument shown;
        shown.setHtml(label.toolTip());
        QCOMPARE(shown.toPlainText(), cipherInfo);
    }

    void publicIp_data()
    {
        QTest::addColumn<int>("detection");
        QTest::addColumn<int>("cycle");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("text");
        using S = VpnConnectionState;
        QTest::newRow("nothing detected") << int(S::NOTHING_DETECTED) << 0 << ""
                                          << "n/a";
        QTest::newRow("detecting, cycle -1") << int(S::QUERYING) << -1 << ""
                                             << "Detecting";
        QTest::newRow("detecting, cycle 0") << int(S::QUERYING) << 0 << ""
                                            << "Detecting";
        QTest::newRow("detecting, cycle 1") << int(S::QUERYING) << 1 << ""
                                            << "Detecting.";
        QTest::newRow("detecting, cycle 3") << int(S::QUERYING) << 3 << ""
                                            << "Detecting...";
        QTest::newRow("detecting, cycle 4") << int(S::QUERYING) << 4 << ""
                                            << "Detecting";
        QTest::newRow("detecting, cycle 5") << int(S::QUERYING) << 5 << ""
                                            << "Detecting.";
        QTest::newRow("found another address") << int(S::FOUND) << 0 << "203.0.113.50"
                                               << "203.0.113.50";
        QTest::newRow("found the server's address: verified")
            << int(S::FOUND) << 0 << "192.0.2.1"
            << QString("<a href=\"%1\" style=\"color: #FFFFFF\">Verified</a>").arg(UPDATE_SERVER);
        QTest::newRow("failed") << int(S::DETECTION_FAILED) << 2 << ""
                                << "Detection Failed.";
        QTest::newRow("unknown state") << 9 << 0 << ""
                                       << "n/a";
    }

    void publicIp()
    {
        QFETCH(int, detection);
        QFETCH(int, cycle);
        QFETCH(QString, address);
        QFETCH(QString, text);
        OrvalVPNStatusWidget page;
        page.setUpdateServer(UPDATE_SERVER);
        page.initialize(parameters());
        auto connection = state(QStringLiteral("CONNECTED"), QStringLiteral("192.0.2.1"));
        connection->updatedDetectedPublicIp(VpnConnectionState::PublicIpDetectionState(detection),
                                            QHostAddress(address), cycle);
        page.onUpdateState(*connection);
        QCOMPARE(child(page, "publicIp").text(), text);
    }

    void remoteIp_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("remote");
        QTest::addColumn<QString>("engineState");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<bool>("pinVisible");
        QTest::addColumn<bool>("pinChecked");
        QTest::addColumn<bool>("pinEnabled");
        QTest::addColumn<QString>("pinToolTip");
        const QString pinnedTip = QStringLiteral("VPN is using the pinned IP address 192.0.2.7.");
        const QString randomTip = QStringLiteral("VPN is using a random IP address.");
        const QString dedicatedTip = QStringLiteral("VPN is using a dedicated IP address.");
        const QString unpin = QStringLiteral("Disable pinned IP address.");
        QTest::newRow("pinned, no remote, connected") << int(PINNED) << ""
                                                      << "CONNECTED"
                                                      << "192.0.2.7"
                                                      << "Pinned IP" << pinnedTip << true << true << true << unpin;
        QTest::newRow("pinned, other remote, connected") << int(PINNED) << "192.0.2.1"
                                                         << "CONNECTED"
                                                         << "192.0.2.1"
                                                         << "Pinned IP" << pinnedTip << true << true << true << unpin;
        QTest::newRow("pinned, reconnecting") << int(PINNED) << "192.0.2.1"
                                              << "RECONNECTING"
                                              << "192.0.2.1"
                                              << "Pinned IP" << pinnedTip << true << true << false << NOT_CONNECTED;
        QTest::newRow("random, remote, connected")
            << int(RANDOM) << "192.0.2.1"
            << "CONNECTED"
            << "192.0.2.1"
            << "Remote IP" << randomTip << true << false << true << "Pin VPN to IP address 192.0.2.1";
        // Nothing to pin: the box is off rather than storing an empty address.
        QTest::newRow("random, no remote, connected")
            << int(RANDOM) << ""
            << "CONNECTED"
            << "n/a"
            << "Remote IP" << randomTip << true << false << false << "Pin VPN to IP address n/a";
        QTest::newRow("random, remote, reconnecting")
            << int(RANDOM) << "192.0.2.1"
            << "RECONNECTING"
            << "192.0.2.1"
            << "Remote IP" << randomTip << true << false << false << NOT_CONNECTED;
        QTest::newRow("dedicated, no remote, connected")
            << int(DEDICATED) << ""
            << "CONNECTED"
            << "198.51.100.9"
            << "Dedicated IP" << dedicatedTip << false << false << true << "";
        QTest::newRow("dedicated, remote, reconnecting")
            << int(DEDICATED) << "198.51.100.9"
            << "RECONNECTING"
            << "198.51.100.9"
            << "Dedicated IP" << dedicatedTip << false << false << false << NOT_CONNECTED;
    }

    void remoteIp()
    {
        QFETCH(int, kind);
        QFETCH(QString, remote);
        QFETCH(QString, engineState);
        QFETCH(QString, shown);
        QFETCH(QString, label);
        QFETCH(QString, toolTip);
        QFETCH(bool, pinVisible);
        QFETCH(bool, pinChecked);
        QFETCH(bool, pinEnabled);
        QFETCH(QString, pinToolTip);
        if (kind == PINNED) {
            Settings settings;
            settings.setPinnedIP(SITE_ID, QHostAddress(QStringLiteral("192.0.2.7")));
            settings.setHasPinnedIP(SITE_ID, true);
        }
        OrvalVPNStatusWidget page;
        page.show();
        page.initialize(parameters(SiteKind(kind)));
        page.onUpdateState(*state(engineState, remote));
        QCOMPARE(child(page, "remoteIp").text(), shown);
        QCOMPARE(child(page, "remoteIpLabel").text(), label);
        QCOMPARE(child(page, "remoteIpLabel").toolTip(), toolTip);
        QCOMPARE(child(page, "remoteIp").toolTip(), toolTip);
        auto &pin = child<QCheckBox>(page, "pinServerIP");
        QCOMPARE(pin.isVisible(), pinVisible);
        QCOMPARE(pin.isChecked(), pinChecked);
        QCOMPARE(pin.isEnabled(), pinEnabled);
        if (pinVisible) {
            QTextDocument tip;
            tip.setHtml(pin.toolTip());
            QCOMPARE(tip.toPlainText(), pinToolTip);
        }
        QCOMPARE(connectionTimer(page).isActive(), engineState == QLatin1String("CONNECTED"));
    }

    void pinAndUnpin()
    {
        OrvalVPNStatusWidget page;
        page.show();
        page.initialize(parameters());
        page.onUpdateState(*state(QStringLiteral("CONNECTED"), QStringLiteral("192.0.2.1")));
        auto &pin = child<QCheckBox>(page, "pinServerIP");
        QTest::mouseClick(&pin, Qt::LeftButton);
        {
            Settings settings;
            QVERIFY(settings.hasPinnedIP(SITE_ID));
            QCOMPARE(settings.getPinnedIP(SITE_ID), QHostAddress(QStringLiteral("192.0.2.1")));
        }
        QCOMPARE(child(page, "remoteIpLabel").text(), QStringLiteral("Pinned IP"));
        QVERIFY(pin.isChecked());
        // Unpinning keeps the stored address and shows the random case again.
        QTest::mouseClick(&pin, Qt::LeftButton);
        Settings settings;
        QVERIFY(!settings.hasPinnedIP(SITE_ID));
        QCOMPARE(settings.getPinnedIP(SITE_ID), QHostAddress(QStringLiteral("192.0.2.1")));
        QCOMPARE(child(page, "remoteIpLabel").text(), QStringLiteral("Remote IP"));
        QVERIFY(!pin.isChecked());
    }

    void counters_data()
    {
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("1023") << quint64(1023) << "1023 B";
        QTest::newRow("1024") << quint64(1024) << "1.000 KiB";
        QTest::newRow("1536") << quint64(1536) << "1.500 KiB";
        QTest::newRow("3 MiB") << quint64(3 * 1024 * 1024) << "3.000 MiB";
    }

    void counters()
    {
        QFETCH(quint64, bytes);
        QFETCH(QString, text);
        OrvalVPNStatusWidget page;
        page.show();
        page.initialize(parameters());
        page.onUpdateByteCount(ByteCount(bytes, 7));
        QCOMPARE(child(page, "received").text(), text);
        QCOMPARE(child(page, "sent").text(), QStringLiteral("7 B"));
        page.onUpdateByteCount(ByteCount(0, bytes));
        QCOMPARE(child(page, "sent").text(), text);
    }

    void connectionTime_data()
    {
        QTest::addColumn<qint64>("before");
        QTest::addColumn<qint64>("connectedFor");
        QTest::addColumn<QString>("text");
        QTest::newRow("connected for an hour and more") << qint64(0) << qint64(3725000) << "01:02:05";
        QTest::newRow("earlier periods add up") << qint64(60000) << qint64(5000) << "00:01:05";
        QTest::newRow("hours do not wrap") << qint64(360000000) << qint64(-1) << "100:00:00";
    }

    void connectionTime()
    {
        QFETCH(qint64, before);
        QFETCH(qint64, connectedFor);
        QFETCH(QString, text);
        OrvalVPNStatusWidget page;
        page.show();
        page.initialize(parameters());
        auto connection = state(connectedFor < 0 ? QStringLiteral("RECONNECTING") : QStringLiteral("CONNECTED"));
        const QDateTime connectedAt =
            connectedFor < 0 ? QDateTime() : QDateTime::currentDateTime().addMSecs(-connectedFor);
        connection->updateConnectionTimes(1, QDateTime::currentDateTime(), before, connectedAt);
        page.onUpdateState(*connection);
        QCOMPARE(child(page, "connectedFor").text(), text);
        QVERIFY(qAbs(page.getConnectionSeconds() - before - qMax(connectedFor, qint64(0))) < 1000);
    }

    // What changes every second is not set while no one can see the page (each
    // new text lays the window out again); the page shows the latest on show.
    void unseenPageCatchesUpOnShow_data()
    {
        QTest::addColumn<QString>("unseen");
        QTest::newRow("page hidden") << "hidden";
        QTest::newRow("window minimised") << "minimised";
    }

    void unseenPageCatchesUpOnShow()
    {
        QFETCH(QString, unseen);
        QWidget window;
        auto *page = new OrvalVPNStatusWidget(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        page->initialize(parameters());
        auto connection = state(QStringLiteral("CONNECTED"));
        connection->updateConnectionTimes(1, QDateTime::currentDateTime(), 0,
                                          QDateTime::currentDateTime().addMSecs(-5000));
        page->onUpdateState(*connection);
        page->onUpdateByteCount(ByteCount(1024, 7));
        QCOMPARE(child(*page, "connectedFor").text(), QStringLiteral("00:00:05"));

        if (unseen == "hidden")
            page->hide();
        else
            window.setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(unseen == "hidden" || window.isMinimized());
        connection->updateConnectionTimes(1, QDateTime::currentDateTime(), 0,
                                          QDateTime::currentDateTime().addMSecs(-65000));
        page->onUpdateState(*connection);
        page->refreshConnectionTime();
        page->onUpdateByteCount(ByteCount(3 * 1024 * 1024, 1536));
        QCOMPARE(child(*page, "connectedFor").text(), QStringLiteral("00:00:05"));
        QCOMPARE(child(*page, "received").text(), QStringLiteral("1.000 KiB"));

        if (unseen == "hidden")
            page->show();
        else
            window.setWindowState(Qt::WindowNoState);
        QTRY_COMPARE(child(*page, "connectedFor").text(), QStringLiteral("00:01:05"));
        QCOMPARE(child(*page, "received").text(), QStringLiteral("3.000 MiB"));
        QCOMPARE(child(*page, "sent").text(), QStringLiteral("1.500 KiB"));
    }

    void timerRunsWhileConnectedAndStopsOnDisconnect()
    {
        OrvalVPNStatusWidget page;
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        page.initialize(parameters());
        QTimer &timer = connectionTimer(page);
        QCOMPARE(timer.interval(), 1000);
        QVERIFY(!timer.isSingleShot());
        page.onUpdateState(*state(QStringLiteral("CONNECTED")));
        QVERIFY(timer.isActive());
        page.onUpdateState(*state(QStringLiteral("RECONNECTING")));
        QVERIFY(!timer.isActive());
        page.onUpdateState(*state(QStringLiteral("CONNECTED")));
        QSignalSpy stop(&page, &OrvalVPNStatusWidget::stopOpenVpn);
        QSignalSpy refresh(&page, &OrvalVPNStatusWidget::refreshPublicIp);
        QTest::mouseClick(&child<QPushButton>(page, "disconnect"), Qt::LeftButton);
        QCOMPARE(stop.count(), 1);
        QVERIFY(!timer.isActive());
        // A shortcut clicks its button a moment later (animateClick).
        QTest::keyClick(&page, Qt::Key_Return);
        QTRY_COMPARE(stop.count(), 2);
        QTest::mouseClick(&child<QPushButton>(page, "refreshPublicIp"), Qt::LeftButton);
        QCOMPARE(refresh.count(), 1);
        QCOMPARE(stop.count(), 2);
    }

    void failure_data()
    {
        QTest::addColumn<QString>("engineState");
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("shown");
        QTest::newRow("reconnecting") << "RECONNECTING"
                                      << "certificate"
                                      << "Reconnecting: the server's certificate is not trusted";
        QTest::newRow("waiting") << "WAIT"
                                 << "no-answer"
                                 << "Reconnecting: no answer from the server on UDP 1194";
        QTest::newRow("unknown cause") << "RECONNECTING"
                                       << "odd-word"
                                       << "Reconnecting: odd-word";
        QTest::newRow("no cause") << "RECONNECTING"
                                  << ""
                                  << "";
        // A report that arrives while connected is not shown as a retry.
        QTest::newRow("connected") << "CONNECTED"
                                   << "no-answer"
                                   << "";
    }
    // The cause stands next to the state, which keeps the engine's word.
    void failure()
    {
        QFETCH(QString, engineState);
        QFETCH(QString, cause);
        QFETCH(QString, shown);
        OrvalVPNStatusWidget page;
        page.show();
        page.initialize(parameters());
        QSharedPointer<VpnConnectionState> connection = state(engineState);
        if (!cause.isEmpty())
            connection->updateFailure(ConnectionFailure(cause, QStringLiteral("UDP 1194")));
        page.onUpdateState(*connection);
        QCOMPARE(child(page, "status").text(), engineState);
        QCOMPARE(child(page, "failure").text(), shown);
        QCOMPARE(child(page, "failure").isVisible(), !shown.isEmpty());
        QCOMPARE(child(page, "failure").textFormat(), Qt::PlainText);
        // A new attempt starts without it.
        page.initialize(parameters());
        QVERIFY(!child(page, "failure").isVisible());
    }

    // Engine texts are shown as typed.
    void engineTextsArePlain()
    {
        OrvalVPNStatusWidget page;
        page.initialize(parameters());
        QSharedPointer<VpnConnectionState> connection(new VpnConnectionState(parameters()));
        connection->updateState(QStringLiteral("<i>CONNECTED</i>"), QString(), QStringLiteral("<b>x</b>"),
                                QStringLiteral("<u>y</u>"));
        page.onUpdateState(*connection);
        for (const char *name : {"status", "localIp", "remoteIp", "hmac"})
            QCOMPARE(child(page, name).textFormat(), Qt::PlainText);
        QCOMPARE(child(page, "status").text(), QStringLiteral("<i>CONNECTED</i>"));
        QCOMPARE(child(page, "localIp").text(), QStringLiteral("<b>x</b>"));
    }

    void formTexts()
    {
        OrvalVPNStatusWidget page;
        const QPair<const char *, const char *> captions[] = {{"protocolLabel", "Protocol"},
                                                              {"cipherLabel", "Cipher"},
                                                              {"hmacLabel", "HMAC"},
                                                              {"pfsLabel", "PFS / TLS"},
                                                              {"statusLabel", "Status"},
                                                              {"localIpLabel", "Local IP"},
                                                              {"remoteIpLabel", "Remote IP"},
                                                              {"publicIpLabel", "Public IP"},
                                                              {"sentLabel", "Sent"},
                                                              {"receivedLabel", "Received"},
                                                              {"connectedForLabel", "Conn. Time"},
                                                              {"stealthLabel", "Stealth Connection"}};
        for (const auto &caption : captions)
            QCOMPARE(child(page, caption.first).text(), QString::fromLatin1(caption.second));
        QCOMPARE(child<QPushButton>(page, "disconnect").text(), QStringLiteral("Disconnect"));
        QCOMPARE(child<QPushButton>(page, "refreshPublicIp").toolTip(), QStringLiteral("Detect Public IP again"));
        QCOMPARE(child<QCheckBox>(page, "pinServerIP").toolTip(), QStringLiteral("Pin server IP"));
        QCOMPARE(child(page, "cipherWarningSign").toolTip(), QStringLiteral("WARNING: No encryption will be used!"));
    }

    // What a page shows before its first connection fills it.
    void placeholderTexts_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        const QPair<const char *, const char *> rows[] = {{"localIp", "TODO: 10.0.0.0"},
                                                          {"publicIp", "TODO: 10.0.0.0"},
                                                          {"received", "TODO: 1MB"},
                                                          {"connectedFor", "TODO: 00:00:00"},
                                                          {"remoteIp", "TODO: 10.0.0.0"},
                                                          {"country", "TODO: Germany"},
                                                          {"city", "TODO: Munich"},
                                                          {"protocol", "TODO: UDP"},
                                                          {"status", "TODO: Connected"},
                                                          {"sent", "TODO: 100kB"},
                                                          {"cipher", "TODO: BF-CBC"},
                                                          {"hmac", "TODO: SHA-1"},
                                                          {"pfsAndTlsVersion", "TODO: PFS / TLS"}};
        for (const auto &row : rows)
            QTest::newRow(row.first) << QString::fromLatin1(row.first) << QString::fromLatin1(row.second);
    }

    void placeholderTexts()
    {
        QFETCH(QString, label);
        QFETCH(QString, text);
        OrvalVPNStatusWidget page;
        QCOMPARE(child(page, qPrintable(label)).text(), text);
    }
};

QTEST_MAIN(TestStatusWidget)
#include "tst_statuswidget.moc"
