#include "FakeConnectionParameters.h"
#include "core/ByteCount.h"
#include "core/ErrorMessage.h"
#include "core/PasswordRequestMessage.h"
#include "core/VpnConnectionState.h"
#include "core/VpnStartupProgress.h"
#include "core/VpnStartupResult.h"
#include "core/VpnTerminationReport.h"

#include <QTest>

#include <limits>

using Params = QSharedPointer<ConnectionParameters>;

// Hands parameters on through a signal, as the GUI's pages do.
class ParametersCarrier : public QObject
{
    Q_OBJECT

public:
    Params received;

signals:
    void started(QSharedPointer<ConnectionParameters> parameters);

public slots:
    void receive(QSharedPointer<ConnectionParameters> parameters) { received = parameters; }
};

class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    // Runs before anything else in this process creates a message.
    void initTestCase()
    {
        const VpnStartupProgress first(Params(), VpnStartupProgress::INIT_CONNECTION, VpnStartupProgress::INITIAL);
        QCOMPARE(first.getId(), quint64(0));
    }

    void identifiersGrowAndSurviveCopies()
    {
        const ErrorMessage a = ErrorMessage::GetErrorMessage(Params(), "m", "i");
        const VpnConnectionState b {Params()};
        QVERIFY(b.getId() > a.getId());

        const ErrorMessage copyOfA = a;
        QCOMPARE(copyOfA.getId(), a.getId());
        VpnConnectionState assigned {Params()};
        assigned = b;
        QCOMPARE(assigned.getId(), b.getId());
        QVERIFY(EventMessage::generateEventId() > b.getId());
    }

    void everyMessageCarriesItsParameters()
    {
        const Params params(new FakeConnectionParameters);
        const QList<QSharedPointer<EventMessage>> messages = {
            QSharedPointer<EventMessage>(new ErrorMessage(params, false, "m", "i")),
            QSharedPointer<EventMessage>(new VpnStartupProgress(params, "k", VpnStartupProgress::RUNNING)),
            QSharedPointer<EventMessage>(new VpnStartupResult(params, VpnStartupResult::STARTED, "VPN started", 0)),
            QSharedPointer<EventMessage>(new VpnTerminationReport(params)),
            QSharedPointer<EventMessage>(
                new VpnTerminationReport(VpnTerminationReport(params).withFailedToStartFlag())),
            QSharedPointer<EventMessage>(
                new VpnTerminationReport(VpnTerminationReport(params).withPasswordRequestFlag())),
            QSharedPointer<EventMessage>(new PasswordRequestMessage(params, 0)),
            QSharedPointer<EventMessage>(new VpnConnectionState(params)),
        };
        for (const QSharedPointer<EventMessage> &message : messages)
            QCOMPARE(message->getConnectionParameters(), params);
    }

    void fatalErrorCarriesTheDescriptionItIsGiven()
    {
        const Params params(new FakeConnectionParameters);
        const ErrorMessage fatal =
            ErrorMessage::GetVpnFatalErrorMessage(params, "Connection failed", "Server: vpn.example\nProtocol: UDP");
        QVERIFY(fatal.isVpnFatal());
        QCOMPARE(fatal.getMessage(), QStringLiteral("Connection failed"));
        QCOMPARE(fatal.getInformativeText(), QStringLiteral("Server: vpn.example\nProtocol: UDP"));
        QCOMPARE(fatal.getConnectionParameters(), params);
    }

    void terminationReportFlagsMakeNewEvents()
    {
        const VpnTerminationReport plain {Params()};
        QVERIFY(!plain.getFailedToStartFlag());
        QVERIFY(!plain.getPasswordRequestFlag());

        const VpnTerminationReport password = plain.withPasswordRequestFlag();
        QVERIFY(password.getPasswordRequestFlag());
        QVERIFY(!password.getFailedToStartFlag());
        QVERIFY(password.getId() > plain.getId());

        const VpnTerminationReport both = password.withFailedToStartFlag();
        QVERIFY(both.getFailedToStartFlag());
        QVERIFY(both.getPasswordRequestFlag());
        QVERIFY(both.getId() > password.getId());
        QVERIFY(!plain.getFailedToStartFlag()); // the original is unchanged
    }

    void errorMessages()
    {
        const ErrorMessage error = ErrorMessage::GetErrorMessage(Params(), "Head", "Detail");
        QVERIFY(!error.isVpnFatal());
        QCOMPARE(error.getMessage(), QStringLiteral("Head"));
        QCOMPARE(error.getInformativeText(), QStringLiteral("Detail"));
        const ErrorMessage fatal(Params(), true, "F", "D");
        QVERIFY(fatal.isVpnFatal());
    }

    void progressStates_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("initial");
        QTest::addColumn<bool>("skippable");
        QTest::newRow("0") << 0 << true << false;
        QTest::newRow("1") << 1 << false << false;
        QTest::newRow("2") << 2 << false << false;
        QTest::newRow("3") << 3 << false << false;
        QTest::newRow("4") << 4 << false << false;
        QTest::newRow("5") << 5 << false << true;
        QTest::newRow("6") << 6 << false << false;
        QTest::newRow("7") << 7 << false << true;
    }

    void progressStates()
    {
        QFETCH(int, state);
        const VpnStartupProgress progress(Params(), VpnStartupProgress::CHECKING_DEFAULT_ROUTE,
                                          static_cast<VpnStartupProgress::ProgressState>(state));
        QTEST(progress.isInitialState(), "initial");
        QTEST(progress.isSkippable(), "skippable");
        QCOMPARE(progress.getProgressMessageKey(), QStringLiteral("CHECKING_DEFAULT_ROUTE"));
    }

    void stageKeysAndSuffixes()
    {
        QCOMPARE(VpnStartupProgress::INIT_CONNECTION + VpnStartupProgress::SUFFIX_LABEL,
                 QStringLiteral("INIT_CONNECTION_LABEL"));
        QCOMPARE(VpnStartupProgress::SUFFIX_TOOLTIP, QStringLiteral("_TOOLTIP"));
        QCOMPARE(VpnStartupProgress::SUFFIX_WARNING, QStringLiteral("_WARNING"));
        const QStringList keys = {
            VpnStartupProgress::PRELIMINARY_CHECKS,          VpnStartupProgress::PREPARE_GENERIC_VPN_ENVIRONMENT,
            VpnStartupProgress::PREPARE_OPENVPN_ENVIRONMENT, VpnStartupProgress::PREPARE_OPENCONNECT_ENVIRONMENT,
            VpnStartupProgress::GENERIC_VPN_STARTING,        VpnStartupProgress::OPENVPN_STARTING,
            VpnStartupProgress::OPENCONNECT_STARTING,        VpnStartupProgress::DISABLE_INTERFACES,
            VpnStartupProgress::ACTIVATE_INTERFACES,         VpnStartupProgress::ENABLE_SEAMLESS_RECONNECT,
            VpnStartupProgress::DISABLE_SEAMLESS_RECONNECT,  VpnStartupProgress::ENABLE_IPV6_PROTECTION,
            VpnStartupProgress::DISABLE_IPV6_PROTECTION,     VpnStartupProgress::LOOKUP_HOSTNAME_BEFORE_CONNECTING};
        QCOMPARE(keys.join(','),
                 QStringLiteral("PRELIMINARY_CHECKS,PREPARE_GENERIC_VPN_ENVIRONMENT,PREPARE_OPENVPN_ENVIRONMENT,"
                                "PREPARE_OPENCONNECT_ENVIRONMENT,GENERIC_VPN_STARTING,OPENVPN_STARTING,"
                                "OPENCONNECT_STARTING,DISABLE_INTERFACES,ACTIVATE_INTERFACES,"
                                "ENABLE_SEAMLESS_RECONNECT,DISABLE_SEAMLESS_RECONNECT,ENABLE_IPV6_PROTECTION,"
                                "DISABLE_IPV6_PROTECTION,LOOKUP_HOSTNAME_BEFORE_CONNECTING"));
    }

    void startupResultFlags_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("route");
        QTest::addColumn<bool>("iks");
        QTest::addColumn<bool>("tuntap");
        QTest::newRow("none") << 0 << false << false << false;
        QTest::newRow("route") << 1 << true << false << false;
        QTest::newRow("iks") << 2 << false << true << false;
        QTest::newRow("tuntap") << 4 << false << false << true;
        QTest::newRow("all") << 7 << true << true << true;
    }

    void startupResultFlags()
    {
        QFETCH(int, flags);
        const VpnStartupResult result(Params(), VpnStartupResult::PRELIMINARY_CHECKS_FAILED,
                                      "Preliminary checks failed!", static_cast<unsigned char>(flags));
        QTEST(result.isRoutingTableManagerProgramCheckFailed(), "route");
        QTEST(result.isIksSettingsAsk(), "iks");
        QTEST(result.isTunTapProblemDetected(), "tuntap");
        QCOMPARE(result.getType(), VpnStartupResult::PRELIMINARY_CHECKS_FAILED);
        QCOMPARE(result.getMessage(), QStringLiteral("Preliminary checks failed!"));
    }

    void passwordRequestCarriesFailures() { QCOMPARE(PasswordRequestMessage(Params(), 3).getPasswordFailures(), 3); }

    void connectionStateStartsEmpty()
    {
        const VpnConnectionState state {Params()};
        QCOMPARE(state.getState(), QStringLiteral("n/a"));
        QCOMPARE(state.getLocalIp(), QStringLiteral("n/a"));
        QCOMPARE(state.getRemoteIp(), QStringLiteral("n/a"));
        QVERIFY(state.getCause().isEmpty());
        QVERIFY(!state.isStateChanged());
        QVERIFY(!state.isTlsCipherChange());
        QVERIFY(!state.getStartedAtTimestamp().isValid());
        QCOMPARE(state.getPublicIpDetectionState(), VpnConnectionState::NOTHING_DETECTED);
        QVERIFY(!state.isPublicIpVerified());
    }

    void changeKindFollowsTheLastUpdate()
    {
        VpnConnectionState state {Params()};
        state.updateState("CONNECTED", "SUCCESS", "10.8.0.2", "192.0.2.1");
        QVERIFY(state.isStateChanged());
        state.tlsCipherChanged(true, "TLSv1.3", "AES-256-GCM");
        QVERIFY(state.isTlsCipherChange());
        QVERIFY(!state.isStateChanged());
        QVERIFY(state.getIsPfs());
        QCOMPARE(state.getTlsVersion(), QStringLiteral("TLSv1.3"));
        QCOMPARE(state.getCipherInfo(), QStringLiteral("AES-256-GCM"));
        QCOMPARE(state.getState(), QStringLiteral("CONNECTED"));
    }

    void publicIp_data()
    {
        QTest::addColumn<int>("detection");
        QTest::addColumn<QString>("remote");
        QTest::addColumn<bool>("reported");
        QTest::addColumn<bool>("verified");
        QTest::newRow("found, equals remote") << 2 << "192.0.2.1" << true << true;
        QTest::newRow("found, other remote") << 2 << "192.0.2.9" << true << false;
        QTest::newRow("found, remote n/a") << 2 << "n/a" << true << false;
        QTest::newRow("failed") << 3 << "192.0.2.1" << false << false;
        QTest::newRow("querying") << 1 << "192.0.2.1" << false << false;
    }

    void publicIp()
    {
        QFETCH(int, detection);
        QFETCH(QString, remote);
        QFETCH(bool, reported);
        VpnConnectionState state {Params()};
        state.updateState("CONNECTED", "", "10.8.0.2", remote);
        state.updatedDetectedPublicIp(static_cast<VpnConnectionState::PublicIpDetectionState>(detection),
                                      QHostAddress("192.0.2.1"), 4);
        QCOMPARE(state.getDetectionCycle(), 4);
        QCOMPARE(state.getDetectedPublicIpAddress(), reported ? QHostAddress("192.0.2.1") : QHostAddress());
        QTEST(state.isPublicIpVerified(), "verified");
    }

    void clearingThePublicIpKeepsTheCycle()
    {
        VpnConnectionState state {Params()};
        state.updatedDetectedPublicIp(VpnConnectionState::FOUND, QHostAddress("192.0.2.1"), 3);
        state.clearDetectedPublicIp();
        QCOMPARE(state.getPublicIpDetectionState(), VpnConnectionState::NOTHING_DETECTED);
        QVERIFY(state.getDetectedPublicIpAddress().isNull());
        QCOMPARE(state.getDetectionCycle(), 3);
    }

    void clearKeepsTheConnectionCounters()
    {
        VpnConnectionState state {Params()};
        const QDateTime started = QDateTime::currentDateTimeUtc();
        state.updateConnectionTimes(5, started, 12345, started.addSecs(2));
        state.updateState("CONNECTED", "SUCCESS", "10.8.0.2", "192.0.2.1");
        state.tlsCipherChanged(true, "TLSv1.2", "x");
        state.updatedDetectedPublicIp(VpnConnectionState::FOUND, QHostAddress("192.0.2.1"), 2);
        state.clear();
        QCOMPARE(state.getConnectionCount(), 5);
        QCOMPARE(state.getStartedAtTimestamp(), started);
        QCOMPARE(state.getConnectionTime(), qint64(12345));
        QVERIFY(!state.getConnectedAtTimestamp().isValid());
        QCOMPARE(state.getState(), QStringLiteral("n/a"));
        QCOMPARE(state.getRemoteIp(), QStringLiteral("n/a"));
        QVERIFY(state.getCause().isEmpty());
        QVERIFY(!state.getIsPfs());
        QVERIFY(state.getTlsVersion().isEmpty());
        QCOMPARE(state.getDetectionCycle(), 0);
        QCOMPARE(state.getPublicIpDetectionState(), VpnConnectionState::NOTHING_DETECTED);
        QVERIFY(!state.isStateChanged() && !state.isTlsCipherChange());
    }

    void humanReadableByteCount_data()
    {
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<quint64>("si");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << quint64(0) << quint64(0) << "0 B";
        QTest::newRow("512") << quint64(512) << quint64(0) << "512 B";
        QTest::newRow("1023 base 1024") << quint64(1023) << quint64(0) << "1023 B";
        QTest::newRow("1024 base 1024") << quint64(1024) << quint64(0) << "1.000 KiB";
        QTest::newRow("1536 base 1024") << quint64(1536) << quint64(0) << "1.500 KiB";
        QTest::newRow("999 base 1000") << quint64(999) << quint64(1) << "999 B";
        QTest::newRow("1500 base 1000") << quint64(1500) << quint64(1) << "1.500 kB";
        QTest::newRow("1000000 base 1000") << quint64(1000000) << quint64(1) << "1.000 MB";
        QTest::newRow("1 GiB") << (quint64(1) << 30) << quint64(0) << "1.000 GiB";
        QTest::newRow("10^15 base 1000") << quint64(1000000000000000ULL) << quint64(2) << "1.000 PB";
        QTest::newRow("1000^6 base 1000") << quint64(1000000000000000000ULL) << quint64(1) << "1.000 EB";
        QTest::newRow("1024^6 base 1024") << (quint64(1) << 60) << quint64(0) << "1.000 EiB";
        QTest::newRow("largest base 1024") << std::numeric_limits<quint64>::max() << quint64(0) << "16.000 EiB";
        QTest::newRow("largest base 1000") << std::numeric_limits<quint64>::max() << quint64(1) << "18.447 EB";
    }

    void humanReadableByteCount()
    {
        QFETCH(quint64, bytes);
        QFETCH(quint64, si);
        QTEST(ByteCount().humanReadableByteCount(bytes, si), "text");
    }

    // Connected by signature text and queued: needs the type registered by name.
    void parametersTravelThroughAQueuedConnection()
    {
        QVERIFY(QMetaType::type("QSharedPointer<ConnectionParameters>") != QMetaType::UnknownType);
        ParametersCarrier carrier;
        QVERIFY(connect(&carrier, SIGNAL(started(QSharedPointer<ConnectionParameters>)), &carrier,
                        SLOT(receive(QSharedPointer<ConnectionParameters>)), Qt::QueuedConnection));
        const Params parameters(new FakeConnectionParameters);
        emit carrier.started(parameters);
        QVERIFY(carrier.received.isNull());
        QTRY_COMPARE(carrier.received, parameters);
    }

    void byteCountCounters()
    {
        const ByteCount count(7, 9);
        QCOMPARE(count.getBytesReceived(), quint64(7));
        QCOMPARE(count.getBytesSent(), quint64(9));
    }
};

QTEST_GUILESS_MAIN(TestMessages)
#include "tst_messages.moc"
