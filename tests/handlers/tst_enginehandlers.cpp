#include "../backend/FakeConnectionParameters.h"
#include "HandlerEvents.h"
#include "RecordingEngineControls.h"
#include "RecordingFrontendLog.h"
#include "RecordingOsAbstraction.h"

#include "backend/CredentialsHandler.h"
#include "backend/DnsHandler.h"
#include "backend/InternetKillSwitchHandler.h"
#include "core/ConnectionFailure.h"
#include "openvpn/PushedOptions.h"
#include "prefs/DnsPreferenceAction.h"
#include "prefs/Settings.h"
#include "system/DnsStack.h"
#include "system/DnsStages.h"
#include "system/OutsideDnsBlokerAbstract.h"
#include "websvc/CredentialsStore.h"

#include <QtTest>

namespace {

QSharedPointer<ConnectionParameters> parameters()
{
    return QSharedPointer<ConnectionParameters>(new FakeConnectionParameters());
}

PushedOptions pushedDns(const QStringList &servers)
{
    PushedOptions options;
    options.setUpDown(QStringLiteral("UP"));
    int index = 1;
    for (const QString &server : servers)
        options.addOption(QStringLiteral("foreign_option_%1=dhcp-option DNS %2").arg(index++).arg(server));
    return options;
}

DnsPreferenceAction actionNamed(const QString &name)
{
    if (name == QLatin1String("NONE"))
        return DnsPreferenceAction::getDnsPreferenceActionNone();
    if (name == QLatin1String("PUSHED"))
        return DnsPreferenceAction::getDnsPreferenceActionPushed();
    if (name == QLatin1String("VPN"))
        return DnsPreferenceAction::getDnsPreferenceActionVpn();
    if (name == QLatin1String("AD_BLOCKING"))
        return DnsPreferenceAction::getDnsPreferenceActionAdBlocking();
    return DnsPreferenceAction::getDnsPreferenceActionCustom(
        DnsListEntry(QStringLiteral("Mine"), QHostAddress("192.0.2.53"), QHostAddress("192.0.2.54"), true));
}

// A platform that does make a blocker, counting the live ones.
class BlockingOsAbstraction : public RecordingOsAbstraction
{
public:
    struct Blocker : OutsideDnsBlokerAbstract
    {
        explicit Blocker(int &live)
            : live(live)
        {
            ++live;
        }
        ~Blocker() override { --live; }
        int &live;
    };
    int live = 0;
    int made = 0;

    OutsideDnsBlokerAbstract *createOutsideDnsBlocker(const QString &programPath) override
    {
        RecordingOsAbstraction::createOutsideDnsBlocker(programPath);
        ++made;
        return new Blocker(live);
    }
};

QStringList debugLines;

void captureDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg && message.contains(QLatin1String("outside DNS")))
        debugLines << message;
}

} // namespace

class TestEngineHandlers : public QObject
{
    Q_OBJECT

private slots:
    void internetKillSwitch_data();
    void internetKillSwitch();

    void credentials_data();
    void credentials();
    void credentialsAnswerOnlyOnce();
    void credentialsAfterARefusal_data();
    void credentialsAfterARefusal();

    void validNameServers_data();
    void validNameServers();
    void dnsStagesPerAction_data();
    void dnsStagesPerAction();
    void dnsBeforeConnectPerAction_data();
    void dnsBeforeConnectPerAction();
    void dnsBeforeConnect();
    void dnsEndPopsBeforeConnect_data();
    void dnsEndPopsBeforeConnect();
    void dnsBlockingWithoutPlatformBlocker_data();
    void dnsBlockingWithoutPlatformBlocker();
    void dnsBlockerHeldWhileConnected();
};

void TestEngineHandlers::internetKillSwitch_data()
{
    QTest::addColumn<bool>("armAfterFirstConnection");
    QTest::addColumn<bool>("seamless");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("expected");

    const QString cut = QStringLiteral("os disableKillSwitchInterfaces");
    const QString sigterm = QStringLiteral("socket sendSigTerm");
    QTest::newRow("fails before connecting, armed later")
        << true << true << QStringList {"WAIT", "terminated"} << QStringList {};
    QTest::newRow("fails before connecting, armed at once")
        << false << true << QStringList {"WAIT", "terminated"} << QStringList {cut};
    QTest::newRow("ends after connecting")
        << true << true << QStringList {"CONNECTED", "EXITING", "terminated"} << QStringList {cut};
    QTest::newRow("reconnect, seamless") << true << true << QStringList {"CONNECTED", "RECONNECTING"} << QStringList {};
    QTest::newRow("reconnect, not seamless")
        << true << false << QStringList {"CONNECTED", "RECONNECTING"} << QStringList {cut, sigterm};
    QTest::newRow("reconnect before connecting, armed later")
        << true << false << QStringList {"RECONNECTING"} << QStringList {};
    QTest::newRow("reconnect before connecting, armed at once")
        << false << false << QStringList {"RECONNECTING"} << QStringList {cut, sigterm};
    QTest::newRow("other states do nothing")
        << false << false << QStringList {"CONNECTING", "AUTH", "ASSIGN_IP", "BOGUS", "EXITING"} << QStringList {};
}

void TestEngineHandlers::internetKillSwitch()
{
    QFETCH(bool, armAfterFirstConnection);
    QFETCH(bool, seamless);
    QFETCH(QStringList, events);
    QFETCH(QStringList, expected);

    Settings settings;
    settings.setArmKillswitchAfterFirstConnection(armAfterFirstConnection);
    settings.setSeamlessReconnect(seamless);

    QStringList calls;
    RecordingOsAbstraction os;
    os.onCall = [&calls](const QString &line) { calls << "os " + line; };
    RecordingManagementSocket socket(calls);
    InternetKillSwitchHandler handler(os, socket);

    for (const QString &event : events) {
        // The socket's lines are not prefixed by the recorder; mark them here.
        const int before = calls.size();
        sendEvent(handler, event);
        for (int i = before; i < calls.size(); ++i)
            if (!calls[i].startsWith(QLatin1String("os ")))
                calls[i] = "socket " + calls[i];
    }
    QCOMPARE(calls, expected);

    QStringList commandCalls;
    RecordingVpnCommand command(commandCalls);
    handler.onOpenVpnPrepareArguments(command);
    QCOMPARE(commandCalls, QStringList {"enablePersistTun"});
}

void TestEngineHandlers::credentials_data()
{
    QTest::addColumn<bool>("autoLogin");
    QTest::addColumn<bool>("remembered");
    QTest::addColumn<QString>("typedUser");
    QTest::addColumn<QString>("typedPassword");
    QTest::addColumn<int>("failures");
    QTest::addColumn<QString>("socket");
    QTest::addColumn<QString>("frontend");

    QTest::newRow("typed pair answers") << false << false << "alice"
                                        << "secret" << 0 << "sendUsernamePassword alice secret"
                                        << "";
    QTest::newRow("auto-login: remembered pair wins") << true << true << "alice"
                                                      << "secret" << 0 << "sendUsernamePassword stored-user stored-pass"
                                                      << "";
    QTest::newRow("remembered but no auto-login") << false << true << "alice"
                                                  << "secret" << 0 << "sendUsernamePassword alice secret"
                                                  << "";
    QTest::newRow("auto-login, nothing remembered") << true << false << "alice"
                                                    << "secret" << 0 << "sendUsernamePassword alice secret"
                                                    << "";
    QTest::newRow("empty user goes to the user") << false << false << ""
                                                 << "secret" << 0 << ""
                                                 << "password 0";
    QTest::newRow("empty password goes to the user") << false << false << "alice"
                                                     << "" << 0 << ""
                                                     << "password 0";
    QTest::newRow("failed verification goes to the user") << true << true << "alice"
                                                          << "secret" << 1 << ""
                                                          << "password 1";
}

void TestEngineHandlers::credentials()
{
    QFETCH(bool, autoLogin);
    QFETCH(bool, remembered);
    QFETCH(QString, typedUser);
    QFETCH(QString, typedPassword);
    QFETCH(int, failures);
    QFETCH(QString, socket);
    QFETCH(QString, frontend);

    Settings settings;
    settings.setAutoLoginOnConnect(autoLogin);
    if (remembered)
        settings.rememberCredentials("stored-user", "stored-pass");
    else
        settings.forgetCredentials();

    QStringList socketCalls;
    RecordingManagementSocket managementSocket(socketCalls);
    RecordingFrontendLog recorder;
    CredentialsHandler handler(recorder, managementSocket, parameters(), typedUser, typedPassword);
    handler.onPassword(failures);

    QCOMPARE(socketCalls, socket.isEmpty() ? QStringList {} : QStringList {socket});
    QCOMPARE(recorder.calls, frontend.isEmpty() ? QStringList {} : QStringList {frontend});
}

void TestEngineHandlers::credentialsAnswerOnlyOnce()
{
    Settings settings;
    settings.setAutoLoginOnConnect(true);
    settings.rememberCredentials("stored-user", "stored-pass");

    QStringList socketCalls;
    RecordingManagementSocket managementSocket(socketCalls);
    RecordingFrontendLog recorder;
    CredentialsHandler handler(recorder, managementSocket, parameters(), "alice", "secret");
    handler.onPassword(0);
    handler.onPassword(0); // asked again, e.g. after a reconnect

    QCOMPARE(socketCalls, QStringList {"sendUsernamePassword stored-user stored-pass"});
    QCOMPARE(recorder.calls, QStringList {"password 0"});
}

void TestEngineHandlers::credentialsAfterARefusal_data()
{
    QTest::addColumn<QString>("serverText");
    QTest::addColumn<QStringList>("socket");
    QTest::addColumn<QStringList>("frontend");
    // Other credentials would not help: the engine gets the pair it had.
    QTest::newRow("no shared cipher") << "Data channel cipher negotiation failed (no shared cipher)"
                                      << QStringList {"sendUsernamePassword alice secret"} << QStringList {};
    QTest::newRow("reason names the password") << "Wrong password" << QStringList {} << QStringList {"password 1"};
    QTest::newRow("plain refusal") << "" << QStringList {} << QStringList {"password 1"};
}

// The engine asks again after the server refused the pair it was sent.
void TestEngineHandlers::credentialsAfterARefusal()
{
    QFETCH(QString, serverText);
    QFETCH(QStringList, socket);
    QFETCH(QStringList, frontend);
    Settings().setAutoLoginOnConnect(false);

    QStringList socketCalls;
    RecordingManagementSocket managementSocket(socketCalls);
    RecordingFrontendLog recorder;
    CredentialsHandler handler(recorder, managementSocket, parameters(), QString(), QString());
    CredentialsStore::setUsernamePassword("alice", "secret");
    if (!serverText.isEmpty())
        handler.onFailure(ConnectionFailure(ConnectionFailure::AUTH_FAILURE, QString(), serverText));
    handler.onPassword(1);
    QCOMPARE(socketCalls, socket);
    QCOMPARE(recorder.calls, frontend);

    // One refusal answers one request: the next goes to the user.
    socketCalls.clear();
    recorder.calls.clear();
    handler.onPassword(2);
    QCOMPARE(socketCalls, QStringList());
    QCOMPARE(recorder.calls, QStringList({"password 2"}));
    CredentialsStore::clearUsernamePassword();
}

void TestEngineHandlers::validNameServers_data()
{
    QTest::addColumn<QStringList>("pushed");
    QTest::addColumn<QStringList>("valid");

    QTest::newRow("two addresses in order")
        << QStringList {"10.8.0.1", "10.8.0.2"} << QStringList {"10.8.0.1", "10.8.0.2"};
    QTest::newRow("ipv6") << QStringList {"2001:db8::53"} << QStringList {"2001:db8::53"};
    QTest::newRow("host name") << QStringList {"dns.example.com", "10.8.0.1"} << QStringList {"10.8.0.1"};
    QTest::newRow("option injection") << QStringList {"10.8.0.1;reboot", "-delete", "10.8.0.1 10.8.0.2"}
                                      << QStringList {};
    QTest::newRow("unspecified address") << QStringList {"0.0.0.0"} << QStringList {};
    QTest::newRow("scoped address") << QStringList {"fe80::1%en0"} << QStringList {};
    QTest::newRow("empty") << QStringList {""} << QStringList {};
}

void TestEngineHandlers::validNameServers()
{
    QFETCH(QStringList, pushed);
    QFETCH(QStringList, valid);
    QCOMPARE(DnsStages::validNameServers(pushed), valid);
}

void TestEngineHandlers::dnsStagesPerAction_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("pushed");
    QTest::addColumn<QStringList>("expected");

    const QStringList two {"10.8.0.1", "10.8.0.2"};
    QTest::newRow("pushed, two servers") << "PUSHED" << two
                                         << QStringList {"pushNameServers afterConnect [10.8.0.1,10.8.0.2] 1"};
    QTest::newRow("pushed, nothing pushed") << "PUSHED" << QStringList {} << QStringList {};
    QTest::newRow("pushed, only junk pushed")
        << "PUSHED" << QStringList {"evil;rm", "dns.example.com"} << QStringList {};
    QTest::newRow("pushed, junk filtered")
        << "PUSHED" << QStringList {"evil;rm", "10.8.0.2"} << QStringList {"pushNameServers afterConnect [10.8.0.2] 1"};
    QTest::newRow("none") << "NONE" << two << QStringList {"pushNameServers afterConnect [] 1"};
    QTest::newRow("custom ignores pushed")
        << "CUSTOM" << two << QStringList {"pushNameServers afterConnect [192.0.2.53,192.0.2.54] 1"};
    QTest::newRow("vpn resolvers") << "VPN" << two
                                   << QStringList {"pushNameServers afterConnect ["
                                                   + actionNamed("VPN").getNameServerDNSs().join(',') + "] 1"};
    QTest::newRow("ad blocking") << "AD_BLOCKING" << two
                                 << QStringList {"pushNameServers afterConnect ["
                                                 + actionNamed("AD_BLOCKING").getNameServerDNSs().join(',') + "] 1"};
}

void TestEngineHandlers::dnsStagesPerAction()
{
    QFETCH(QString, action);
    QFETCH(QStringList, pushed);
    QFETCH(QStringList, expected);

    Settings settings;
    settings.setDnsPreferenceActionAfterConnect(actionNamed(action));
    RecordingOsAbstraction os;
    DnsStack stack(os);
    DnsHandler handler(os, stack, false);
    handler.onUp(pushedDns(pushed));
    QCOMPARE(os.callsOf("pushNameServers"), expected);
    QCOMPARE(stack.getStack().contains(DnsStack::afterConnect), !expected.isEmpty());
}

void TestEngineHandlers::dnsBeforeConnectPerAction_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("servers");

    QTest::newRow("none") << "NONE"
                          << "";
    QTest::newRow("pushed: nothing of its own") << "PUSHED"
                                                << "";
    QTest::newRow("custom") << "CUSTOM"
                            << "192.0.2.53,192.0.2.54";
    QTest::newRow("vpn") << "VPN" << actionNamed("VPN").getNameServerDNSs().join(',');
    QTest::newRow("ad blocking") << "AD_BLOCKING" << actionNamed("AD_BLOCKING").getNameServerDNSs().join(',');
}

void TestEngineHandlers::dnsBeforeConnectPerAction()
{
    QFETCH(QString, action);
    QFETCH(QString, servers);

    Settings().setDnsPreferenceActionBeforeConnect(actionNamed(action));
    RecordingOsAbstraction os;
    DnsStack stack(os);
    DnsHandler handler(os, stack, false);
    QStringList commandCalls;
    RecordingVpnCommand command(commandCalls);
    handler.onOpenVpnPrepareArguments(command);
    QCOMPARE(os.callsOf("pushNameServers"), QStringList {"pushNameServers beforeConnect [" + servers + "] 2"});
    QCOMPARE(stack.getStack(), QStringList {"beforeConnect"});
}

void TestEngineHandlers::dnsBeforeConnect()
{
    Settings settings;
    settings.setDnsPreferenceActionBeforeConnect(actionNamed("CUSTOM"));
    settings.setDnsPreferenceActionAfterConnect(actionNamed("PUSHED"));
    RecordingOsAbstraction os;
    DnsStack stack(os);
    DnsHandler handler(os, stack, false);

    QStringList commandCalls;
    RecordingVpnCommand command(commandCalls);
    handler.onOpenVpnPrepareArguments(command);
    QCOMPARE(commandCalls, QStringList {"enableManagementUpDown"});
    QCOMPARE(os.callsOf("pushNameServers"), QStringList {"pushNameServers beforeConnect [192.0.2.53,192.0.2.54] 2"});

    handler.onUp(pushedDns({"10.8.0.1"}));
    QCOMPARE(stack.getStack(), QStringList({"beforeConnect", "afterConnect"}));
    sendEvent(handler, "RECONNECTING"); // keeps the stage
    QCOMPARE(stack.getStack(), QStringList({"beforeConnect", "afterConnect"}));
    handler.onDown(pushedDns({"10.8.0.1"}));
    QCOMPARE(stack.getStack(), QStringList {"beforeConnect"});
    QCOMPARE(os.callsOf("restoreNameServers"), QStringList {"restoreNameServers afterConnect"});
}

void TestEngineHandlers::dnsEndPopsBeforeConnect_data()
{
    QTest::addColumn<QString>("end");
    QTest::newRow("engine ended") << "terminated";
    QTest::newRow("engine failed to start") << "failed";
}

void TestEngineHandlers::dnsEndPopsBeforeConnect()
{
    QFETCH(QString, end);
    Settings().setDnsPreferenceActionAfterConnect(actionNamed("NONE"));
    RecordingOsAbstraction os;
    DnsStack stack(os);
    stack.push(DnsStack::start, {});
    DnsHandler handler(os, stack, false);
    QStringList commandCalls;
    RecordingVpnCommand command(commandCalls);
    handler.onOpenVpnPrepareArguments(command);
    if (end == QLatin1String("terminated"))
        handler.onUp(pushedDns({}));
    sendEvent(handler, end);
    QCOMPARE(stack.getStack(), QStringList {"start"});
}

void TestEngineHandlers::dnsBlockingWithoutPlatformBlocker_data()
{
    QTest::addColumn<bool>("block");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("block-outside-dns on") << true
                                          << QStringList {"Blocking outside DNS", "Blocking outside DNS",
                                                          "Unblocking outside DNS", "Unblocking outside DNS"};
    QTest::newRow("block-outside-dns off") << false << QStringList {};
}

void TestEngineHandlers::dnsBlockingWithoutPlatformBlocker()
{
    QFETCH(bool, block);
    QFETCH(QStringList, lines);
    RecordingOsAbstraction os;
    DnsStack stack(os);
    DnsHandler handler(os, stack, block);
    debugLines.clear();
    qInstallMessageHandler(captureDebug);
    sendEvents(handler, {"CONNECTED", "CONNECTED", "RECONNECTING", "terminated"});
    qInstallMessageHandler(nullptr);
    QCOMPARE(debugLines, lines);
}

void TestEngineHandlers::dnsBlockerHeldWhileConnected()
{
    BlockingOsAbstraction os;
    DnsStack stack(os);
    DnsHandler handler(os, stack, true);
    QStringList commandCalls;
    RecordingVpnCommand command(commandCalls);
    handler.onOpenVpnPrepareArguments(command);

    sendEvents(handler, {"CONNECTED", "CONNECTED"});
    QCOMPARE(os.made, 1);
    QCOMPARE(os.live, 1);
    QCOMPARE(os.callsOf("createOutsideDnsBlocker"), QStringList {"createOutsideDnsBlocker /bundle/Helpers/Stelvane"});
    sendEvent(handler, "RECONNECTING");
    QCOMPARE(os.live, 0);
    sendEvent(handler, "CONNECTED");
    QCOMPARE(os.made, 2);
    sendEvent(handler, "terminated");
    QCOMPARE(os.live, 0);
}

QTEST_GUILESS_MAIN(TestEngineHandlers)
#include "tst_enginehandlers.moc"
