#include "openconnect/OpenConnectConnectVia.h"

#include "openvpn/EngineLogging.h"

#include <QDebug>

namespace {

class OpenConnectConnectViaUdp final : public OpenConnectConnectVia
{
public:
    OpenConnectConnectViaUdp()
        : OpenConnectConnectVia(Udp, HalvorixServerSite::UDP)
    {
    }
    QString toString() const override { return QStringLiteral("UDP"); }
};

class OpenConnectConnectViaTcp final : public OpenConnectConnectVia
{
public:
    OpenConnectConnectViaTcp()
        : OpenConnectConnectVia(Tcp, HalvorixServerSite::TCP)
    {
    }
    QString toString() const override { return QStringLiteral("TCP"); }
};

class OpenConnectConnectViaTcpWithStealthProxy final : public OpenConnectConnectVia
{
public:
    OpenConnectConnectViaTcpWithStealthProxy()
        : OpenConnectConnectVia(TcpWithStealthProxy, HalvorixServerSite::TCP)
    {
    }
    QString toString() const override { return QStringLiteral("TCP_WITH_STEALTH_PROXY"); }
};

class OpenConnectConnectViaTcpWithCustomProxy final : public OpenConnectConnectVia
{
public:
    OpenConnectConnectViaTcpWithCustomProxy()
        : OpenConnectConnectVia(TcpWithCustomProxy, HalvorixServerSite::TCP)
    {
    }
    QString toString() const override { return QStringLiteral("TCP_WITH_CUSTOM_PROXY"); }
};

} // namespace

OpenConnectConnectVia::OpenConnectConnectVia(Type type, HalvorixServerSite::Protocol protocol)
    : m_type(type)
    , m_protocol(protocol)
{
}

const OpenConnectConnectVia &OpenConnectConnectVia::UDP()
{
    static const OpenConnectConnectViaUdp instance;
    return instance;
}

const OpenConnectConnectVia &OpenConnectConnectVia::TCP()
{
    static const OpenConnectConnectViaTcp instance;
    return instance;
}

const OpenConnectConnectVia &OpenConnectConnectVia::TCP_WITH_STEALTH_PROXY()
{
    static const OpenConnectConnectViaTcpWithStealthProxy instance;
    return instance;
}

const OpenConnectConnectVia &OpenConnectConnectVia::TCP_WITH_CUSTOM_PROXY()
{
    static const OpenConnectConnectViaTcpWithCustomProxy instance;
    return instance;
}

const OpenConnectConnectVia &OpenConnectConnectVia::fromString(const QString &name)
{
    for (const OpenConnectConnectVia *via : {&UDP(), &TCP(), &TCP_WITH_STEALTH_PROXY(), &TCP_WITH_CUSTOM_PROXY()}) {
        if (via->toString() == name)
            return *via;
    }
    qCDebug(lcEngine) << "static const OpenConnectConnectVia &OpenConnectConnectVia::fromString(const QString &)"
                      << "Unexpected switch name: " << name;
    return TCP();
}

OpenConnectConnectVia::Type OpenConnectConnectVia::getType() const
{
    return m_type;
}

HalvorixServerSite::Protocol OpenConnectConnectVia::getProtocol() const
{
    return m_protocol;
}

bool OpenConnectConnectVia::operator==(const OpenConnectConnectVia &other) const
{
    return this == &other;
}

bool OpenConnectConnectVia::operator!=(const OpenConnectConnectVia &other) const
{
    return !(*this == other);
}
