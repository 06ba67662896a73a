#include "openvpn/ConnectVia.h"

#include "core/HandlerList.h"
#include "openvpn/EngineLogging.h"
#include "openvpn/ProxyConfigurator.h"
#include "openvpn/ShadowSocksLauncher.h"

#include <QDebug>

namespace {

[[maybe_unused]] const int connectViaMetaType = qRegisterMetaType<const ConnectVia *>("ConnectVia*");

class ConnectViaUdp final : public ConnectVia
{
public:
    ConnectViaUdp()
        : ConnectVia(Udp, HalvorixServerSite::UDP)
    {
    }
    QString toString() const override { return QStringLiteral("UDP"); }
    bool isProxy() const override { return false; }
};

class ConnectViaTcp final : public ConnectVia
{
public:
    ConnectViaTcp()
        : ConnectVia(Tcp, HalvorixServerSite::TCP)
    {
    }
    QString toString() const override { return QStringLiteral("TCP"); }
    bool isProxy() const override { return false; }
};

class ConnectViaTcpWithStealthProxy final : public ConnectVia
{
public:
    ConnectViaTcpWithStealthProxy()
        : ConnectVia(TcpWithStealthProxy, HalvorixServerSite::TCP)
    {
    }
    QString toString() const override { return QStringLiteral("TCP_WITH_STEALTH_PROXY"); }
    bool isProxy() const override { return true; }
    void setUpHandler(OsAbstraction &os, HandlerList &handlers, QSharedPointer<ConnectionParameters> parameters,
                      VpnFrontend &frontend) const override
    {
        handlers.list.append(
            QSharedPointer<OpenVpnLifeCycleHandler>(new ShadowSocksLauncher(os, std::move(parameters), frontend)));
    }
};

class ConnectViaTcpWithCustomProxy final : public ConnectVia
{
public:
    ConnectViaTcpWithCustomProxy()
        : ConnectVia(TcpWithCustomProxy, HalvorixServerSite::TCP)
    {
    }
    QString toString() const override { return QStringLiteral("TCP_WITH_CUSTOM_PROXY"); }
    bool isProxy() const override { return true; }
    void setUpHandler(OsAbstraction &, HandlerList &handlers, QSharedPointer<ConnectionParameters>,
                      VpnFrontend &) const override
    {
        handlers.list.append(QSharedPointer<OpenVpnLifeCycleHandler>(new ProxyConfigurator));
    }
};

} // namespace

ConnectVia::ConnectVia(Type type, HalvorixServerSite::Protocol protocol)
    : m_type(type)
    , m_protocol(protocol)
{
}

const ConnectVia &ConnectVia::UDP()
{
    static const ConnectViaUdp instance;
    return instance;
}

const ConnectVia &ConnectVia::TCP()
{
    static const ConnectViaTcp instance;
    return instance;
}

const ConnectVia &ConnectVia::TCP_WITH_STEALTH_PROXY()
{
    static const ConnectViaTcpWithStealthProxy instance;
    return instance;
}

const ConnectVia &ConnectVia::TCP_WITH_CUSTOM_PROXY()
{
    static const ConnectViaTcpWithCustomProxy instance;
    return instance;
}

const ConnectVia &ConnectVia::fromString(const QString &name)
{
    for (const ConnectVia *via : {&UDP(), &TCP(), &TCP_WITH_STEALTH_PROXY(), &TCP_WITH_CUSTOM_PROXY()}) {
        if (via->toString() == name)
            return *via;
    }
    qCDebug(lcEngine) << "static const ConnectVia &ConnectVia::fromString(const QString &)"
                      << "Unexpected switch name: " << name;
    return UDP();
}

void ConnectVia::setUpHandler(OsAbstraction &, HandlerList &, QSharedPointer<ConnectionParameters>, VpnFrontend &) const
{
}

ConnectVia::Type ConnectVia::getType() const
{
    return m_type;
}

HalvorixServerSite::Protocol ConnectVia::getProtocol() const
{
    return m_protocol;
}

bool ConnectVia::operator==(const ConnectVia &other) const
{
    return toString() == other.toString();
}

bool ConnectVia::operator!=(const ConnectVia &other) const
{
    return !(*this == other);
}
