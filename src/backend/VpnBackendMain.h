#pragma once
#include "backend/VpnBackend.h"
#include "core/HandlerList.h"
#include "core/IpPoolList.h"
#include "core/VpnConnectionState.h"
#include "core/VpnStateTracker.h"
#include "openconnect/OpenConnectManagementSocket.h"
#include "openvpn/ManagementSocket.h"

#include <QObject>
#include <QSharedPointer>

class BlackHoleRouteManager;
class ConnectionParameters;
class DnsStack;
class LifeCycleClient;
class OpenVpnLifeCycleHandler;
class OsAbstraction;
class QNetworkAccessManager;
class VpnFrontend;
class VpnProcess;
class WebConfigSource;
class WhatIsMyIp;

// The in-process VPN backend: owns both engine drivers, the handlers they
// report to and the current connection's process state, runs one start-up
// pipeline per start and reports everything to one frontend.
class VpnBackendMain : public QObject, public VpnBackend, public VpnStateTracker
{
    Q_OBJECT

public:
    VpnBackendMain(OsAbstraction &os, DnsStack &dnsStack, VpnFrontend &frontend,
                   QNetworkAccessManager *networkAccessManager, BlackHoleRouteManager &blackHoleRouteManager,
                   LifeCycleClient &lifeCycleClient, WebConfigSource &webConfigSource, WhatIsMyIp &whatIsMyIp);
    // Restores the DNS configuration the start stage found and saves the usage
    // counts, both only after init: a backend that was never initialised (a
    // second instance that gives way) leaves the shared records alone.
    ~VpnBackendMain() override;

    // Called once, right after construction: recovers DNS after a crash when
    // asked, loads the configuration and sets up the DNS stack.
    void init(QSharedPointer<OpenVpnLifeCycleHandler> extraHandler, bool recoverDnsStack);
    // Extra handlers hear every engine event after the connection's own handlers.
    void addExtraHandler(QSharedPointer<OpenVpnLifeCycleHandler> handler);

    std::function<void(QString, QString)> getErrorSender() override;
    void startVPN(QSharedPointer<ConnectionParameters> parameters, QString userName, QString password) override;
    void login(const QString &userName, const QString &password) override;
    void setSystemNameServers(DnsListEntry nameServers) override;

    void updateState(const QString &state, const QString &cause, const QString &localIp,
                     const QString &remoteIp) override;
    void tlsCipherChanged(bool isPfs, const QString &tlsVersion, const QString &cipherInfo) override;
    void updateFailure(const ConnectionFailure &failure) override;
    void clearDetectedPublicIp() override;
    void updatedDetectedPublicIp(VpnConnectionState::PublicIpDetectionState detectionState, QHostAddress address,
                                 int detectionCycle) override;

signals:
    void onSkip();
    void onAbort();

public slots:
    void sendErrorMessageToFrontend(QString message, QString informativeText) override;
    void skip() override;
    void abort() override;
    void stopVPN() override;
    void closeEvent(quint64 eventId) override;
    void refreshPublicIp() override;
    void onVpnProcessTerminated();
    void onNewConfigWasDownloaded();

private:
    void printApplicationLabel() const;
    void activateSigTermHandler();
    static void initializeUserStaticsFromSettings();
    void recoverDnsStackFromCrash(Settings &settings);
    static void executeLocalConfig();
    void enableIPv6onAllInterfaces();
    void initializeDnsStack(Settings &settings);
    void deInitializeDnsStack();
    static void saveUserStatisticsToSettings();
    // An engine run whose end is not yet reported everywhere still owns the
    // handler list: a new run must wait for it.
    bool isEngineRunEnding() const;
    void refuseStartWhileTheLastRunEnds(QSharedPointer<ConnectionParameters> parameters);
    void sendUpdatedState();

    OsAbstraction &m_os;
    DnsStack &m_dnsStack;
    VpnFrontend &m_frontend;
    QNetworkAccessManager *m_networkAccessManager;
    BlackHoleRouteManager &m_blackHoleRouteManager;
    HandlerList m_handlers;
    QSharedPointer<VpnProcess> m_currentProcess;
    ManagementSocket m_managementSocket;
    OpenConnectManagementSocket m_openConnectSocket;
    IpPoolList m_ipPools;
    QSharedPointer<HandlerList> m_extraHandlers;
    LifeCycleClient &m_lifeCycleClient;
    WebConfigSource &m_webConfigSource;
    WhatIsMyIp &m_whatIsMyIp;
    QSharedPointer<ConnectionParameters> m_connectionParameters;
    VpnConnectionState m_connectionState;
    bool m_initialised = false;
};
