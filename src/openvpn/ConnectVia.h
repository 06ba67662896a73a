#pragma once

#include "catalogue/HalvorixServerSite.h"

#include <QMetaType>
#include <QSharedPointer>
#include <QString>

class ConnectionParameters;
class HandlerList;
class OsAbstraction;
class VpnFrontend;

// How the OpenVPN engine reaches the server. Each choice is one immutable
// process-wide singleton; a choice travels as a reference to it.
class ConnectVia
{
public:
    enum Type { Udp = 0, Tcp = 1, TcpWithStealthProxy = 2, TcpWithCustomProxy = 3 };

    static const ConnectVia &UDP();
    static const ConnectVia &TCP();
    static const ConnectVia &TCP_WITH_STEALTH_PROXY();
    static const ConnectVia &TCP_WITH_CUSTOM_PROXY();

    // Exact, case-sensitive match of the text form; any other text is logged and gives UDP.
    static const ConnectVia &fromString(const QString &name);

    virtual QString toString() const = 0;
    // Appends the lifecycle handler this transport needs, if any.
    virtual void setUpHandler(OsAbstraction &os, HandlerList &handlers, QSharedPointer<ConnectionParameters> parameters,
                              VpnFrontend &frontend) const;
    virtual bool isProxy() const = 0;

    Type getType() const;
    // The site protocol the engine uses with this transport.
    HalvorixServerSite::Protocol getProtocol() const;

    bool operator==(const ConnectVia &other) const;
    bool operator!=(const ConnectVia &other) const;

protected:
    ConnectVia(Type type, HalvorixServerSite::Protocol protocol);
    // The singletons live for the whole run and are never deleted through the base.
    ~ConnectVia() = default;
    ConnectVia(const ConnectVia &) = delete;
    ConnectVia &operator=(const ConnectVia &) = delete;

private:
    const Type m_type;
    const HalvorixServerSite::Protocol m_protocol;
};

Q_DECLARE_METATYPE(const ConnectVia *)
