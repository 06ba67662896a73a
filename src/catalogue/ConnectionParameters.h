#pragma once
#include "catalogue/HalvorixServerSite.h"
#include "core/TunnelType.h"
#include "prefs/Settings.h"

#include <QFileInfo>
#include <QMetaType>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

class BackendOpenVPNConfigCipher;
class DnsStack;
class HandlerList;
class IpPoolList;
class ManagementSocket;
class OpenConnectManagementSocket;
class OpenVpnLifeCycleHandler;
class OsAbstraction;
class QNetworkAccessManager;
class VpnFrontend;
class VpnStartup;
class VpnStateTracker;

// Everything the backend asks about one connection attempt, and the factory
// of its engine-specific pieces. Always shared through QSharedPointer; apart
// from refreshServerSite() an object never changes: the with* operations
// return changed copies.
class ConnectionParameters
{
public:
    enum STunnelMode : int {
        WITH_STUNNEL = 0, // stunnel runs in front of the engine
        NO_STUNNEL = 1
    };

    virtual ~ConnectionParameters();

    // What the start-up does with services the internet kill switch left disabled.
    virtual Settings::IksSettings getIksSettings() const = 0;
    virtual bool getManageRouteProgramCheck() const = 0;
    virtual bool getTunTapDriverCheck() const = 0;
    virtual QSharedPointer<ConnectionParameters> withIksSettings(Settings::IksSettings iksSettings) = 0;
    virtual QSharedPointer<ConnectionParameters> withManageRouteProgramCheck(bool check) = 0;
    virtual QSharedPointer<ConnectionParameters> withTunTapDriverCheck(bool check) = 0;
    virtual QFileInfo getConfigFile() const = 0;
    virtual HalvorixServerSite getServerSite() const = 0;
    virtual HalvorixServerSite::Protocol getProtocol() const = 0;
    // Appends the handlers of the attempt's transport to the list.
    virtual void setUpHandler(OsAbstraction &os, HandlerList &handlers, QSharedPointer<ConnectionParameters> self,
                              VpnFrontend &frontend) const = 0;
    // Reloads the site's pinned address and its enabled flag.
    virtual void refreshServerSite(Settings &settings) = 0;
    // A multi-line description; the informative text of fatal errors.
    virtual QString getConnectionInfo() const = 0;
    // Progress keys of the pipeline's preparing and starting stages.
    virtual QString getVpnPreparingString() const = 0;
    virtual QString getVpnStartingString() const = 0;
    virtual QSharedPointer<VpnStartup>
    createVpnStartup(Settings &settings, QSharedPointer<ConnectionParameters> self,
                     QNetworkAccessManager *networkAccessManager, VpnFrontend &frontend, VpnStateTracker &stateTracker,
                     OsAbstraction &os, DnsStack &dnsStack, HandlerList &handlers, IpPoolList &ipPools,
                     ManagementSocket &managementSocket, OpenConnectManagementSocket &openConnectSocket,
                     QSharedPointer<OpenVpnLifeCycleHandler> additionalHandler) const = 0;
    virtual bool isCipherStealth() const = 0;
    virtual QString getCipherName() const = 0;
    virtual bool hasCipherAuthName() const = 0;
    virtual QString getCipherAuthName() const = 0;
    virtual QSharedPointer<OpenVpnLifeCycleHandler> createCipherHandler(VpnStateTracker &stateTracker) const = 0;
    virtual QSharedPointer<OpenVpnLifeCycleHandler> createTunManagerHandler(OsAbstraction &os,
                                                                            QSharedPointer<ConnectionParameters> self,
                                                                            IpPoolList &ipPools,
                                                                            VpnFrontend &frontend) const = 0;
    virtual STunnelMode getSTunnelMode() const = 0;
    virtual BackendOpenVPNConfigCipher getCipher() const = 0;
    // The remote servers of the configuration file (host names or literal
    // addresses), in file order.
    virtual QStringList getHostNamesList() const = 0;
    virtual const TunnelType &getTunnelType() const = 0;
};

Q_DECLARE_METATYPE(QSharedPointer<ConnectionParameters>)
