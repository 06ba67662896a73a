#pragma once
#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "catalogue/ConnectionParameters.h"
#include "core/ConnectionFailure.h"
#include "core/NullHandler.h"
#include "core/OpenVpnGenericState.h"
#include "core/VpnFrontend.h"
#include "openvpn/PushedOptions.h"
#include "openvpn/Remote.h"

#include <QStringList>

#include <algorithm>
#include <functional>

// Writes down every engine event as one text line.
class RecordingHandler : public NullHandler
{
public:
    QStringList events;
    PushedOptions lastUp;
    std::function<void(int)> onPasswordRequest;
    std::function<void(AbstractVpnCommand &)> onPrepare;

    void onOpenVpnPrepareArguments(AbstractVpnCommand &command) override
    {
        events << "prepare";
        if (onPrepare)
            onPrepare(command);
    }
    void onOpenVpnStarted(QProcess &) override { events << "started"; }
    void onOpenVpnFailedToStart() override { events << "failedToStart"; }
    void onOpenVpnTerminated() override { events << "terminated"; }
    void onConnectionAccepted() override { events << "accepted"; }
    void onState(const OpenVpnGenericState &state) override
    {
        events << QStringLiteral("state %1 %2 %3 %4")
                      .arg(state.name, state.cause, state.localIp, state.remoteIp)
                      .trimmed();
    }
    void onPassword(int count) override
    {
        events << QStringLiteral("password %1").arg(count);
        if (onPasswordRequest)
            onPasswordRequest(count);
    }
    void onByteCount(const ByteCount &count) override
    {
        events << QStringLiteral("bytes %1 %2").arg(count.getBytesReceived()).arg(count.getBytesSent());
    }
    void onFatal(const QString &message) override { events << "fatal " + message; }
    void onFailure(const ConnectionFailure &failure) override
    {
        events << "failure " + failure.cause() + " " + failure.where();
    }
    void onConnectionClosed() override { events << "closed"; }
    void onRemote(Remote &remote) override
    {
        events
            << QStringLiteral("remote %1 %2 %3").arg(remote.getHost()).arg(remote.getPort()).arg(remote.getProtocol());
    }
    void onUp(const PushedOptions &options) override
    {
        events << "up";
        lastUp = options;
    }
    void onControlChannel(const QString &version, const QString &cipher) override
    {
        events << "cipher " + version + " " + cipher;
    }

    int count(const QString &event) const { return events.count(event); }
    QStringList startingWith(const QString &prefix) const
    {
        QStringList found;
        for (const QString &e : events)
            if (e.startsWith(prefix))
                found << e;
        return found;
    }
};

// Everything the backend tells the user interface, in order.
class RecordingFrontend : public VpnFrontend
{
public:
    QStringList progress; // "KEY state"
    QList<int> results;
    QStringList states; // "STATE localIp remoteIp", repeats left out
    QStringList errors;
    QList<VpnTerminationReport> terminations;
    quint64 bytesReceived = 0;
    quint64 bytesSent = 0;
    int connected = 0;
    int passwordRequests = 0;

    static QString step(const QString &key, VpnStartupProgress::ProgressState state)
    {
        return QStringLiteral("%1 %2").arg(key).arg(state);
    }

    void onVpnStartupProgress(const VpnStartupProgress &p) override
    {
        progress << step(p.getProgressMessageKey(), p.getState());
    }
    void onVpnStartupResult(const VpnStartupResult &result) override { results << result.getType(); }
    void onUpdateState(const VpnConnectionState &state) override
    {
        const QString line = QStringLiteral("%1 %2 %3").arg(state.getState(), state.getLocalIp(), state.getRemoteIp());
        if (states.isEmpty() || states.last() != line)
            states << line;
    }
    void onReceiveErrorMessage(const ErrorMessage &message) override
    {
        errors << message.getMessage() + " / " + message.getInformativeText();
    }
    void onReceiveFatalErrorMessage(const ErrorMessage &message) override { errors << "fatal " + message.getMessage(); }
    void vpnTerminated(VpnTerminationReport report) override { terminations << report; }
    void onEventClosed(quint64) override {}
    void vpnPasswordRequest(const PasswordRequestMessage &) override { ++passwordRequests; }
    void onUpdateByteCount(ByteCount count) override
    {
        bytesReceived = count.getBytesReceived();
        bytesSent = count.getBytesSent();
    }
    void onConnected() override { ++connected; }
    void onNewConfigWasDownloaded() override {}
    void showFrontend() override {}
    void hideFrontend() override {}
    void toggleVisibility() override {}

    bool reached(const QString &state) const
    {
        return std::any_of(states.cbegin(), states.cend(), [&](const QString &s) { return s.startsWith(state + ' '); });
    }
};

// Parameters of a connection to one site; only what the driver asks is real.
class TestParameters : public ConnectionParameters
{
public:
    TestParameters(const HalvorixServerSite &site, HalvorixServerSite::Protocol protocol)
        : m_site(site)
        , m_protocol(protocol)
    {
    }

    Settings::IksSettings getIksSettings() const override { return Settings::IksSettings(); }
    bool getManageRouteProgramCheck() const override { return false; }
    bool getTunTapDriverCheck() const override { return false; }
    QSharedPointer<ConnectionParameters> withIksSettings(Settings::IksSettings) override { return {}; }
    QSharedPointer<ConnectionParameters> withManageRouteProgramCheck(bool) override { return {}; }
    QSharedPointer<ConnectionParameters> withTunTapDriverCheck(bool) override { return {}; }
    QFileInfo getConfigFile() const override { return m_site.getOpenVpnConfigFile(HalvorixServerSite::UDP); }
    HalvorixServerSite getServerSite() const override { return m_site; }
    HalvorixServerSite::Protocol getProtocol() const override { return m_protocol; }
    void setUpHandler(OsAbstraction &, HandlerList &, QSharedPointer<ConnectionParameters>,
                      VpnFrontend &) const override
    {
    }
    void refreshServerSite(Settings &) override {}
    QString getConnectionInfo() const override { return "test connection"; }
    QString getVpnPreparingString() const override { return {}; }
    QString getVpnStartingString() const override { return {}; }
    QSharedPointer<VpnStartup> createVpnStartup(Settings &, QSharedPointer<ConnectionParameters>,
                                                QNetworkAccessManager *, VpnFrontend &, VpnStateTracker &,
                                                OsAbstraction &, DnsStack &, HandlerList &, IpPoolList &,
                                                ManagementSocket &, OpenConnectManagementSocket &,
                                                QSharedPointer<OpenVpnLifeCycleHandler>) const override
    {
        return {};
    }
    bool isCipherStealth() const override { return false; }
    QString getCipherName() const override { return "n/a"; }
    bool hasCipherAuthName() const override { return false; }
    QString getCipherAuthName() const override { return {}; }
    QSharedPointer<OpenVpnLifeCycleHandler> createCipherHandler(VpnStateTracker &) const override { return {}; }
    QSharedPointer<OpenVpnLifeCycleHandler> createTunManagerHandler(OsAbstraction &,
                                                                    QSharedPointer<ConnectionParameters>, IpPoolList &,
                                                                    VpnFrontend &) const override
    {
        return {};
    }
    STunnelMode getSTunnelMode() const override { return NO_STUNNEL; }
    BackendOpenVPNConfigCipher getCipher() const override { return {}; }
    QStringList getHostNamesList() const override { return {}; }
    const TunnelType &getTunnelType() const override { return TunnelType::OPENCONNECT(); }

private:
    HalvorixServerSite m_site;
    HalvorixServerSite::Protocol m_protocol;
};
