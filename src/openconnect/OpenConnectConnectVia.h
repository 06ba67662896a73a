#pragma once

#include "catalogue/HalvorixServerSite.h"

#include <QMetaType>
#include <QString>

// How the OpenConnect engine reaches the server. Each choice is one immutable
// process-wide singleton, compared by identity.
class OpenConnectConnectVia
{
public:
    enum Type { Udp = 0, Tcp = 1, TcpWithStealthProxy = 2, TcpWithCustomProxy = 3 };

    static const OpenConnectConnectVia &UDP();
    static const OpenConnectConnectVia &TCP();
    static const OpenConnectConnectVia &TCP_WITH_STEALTH_PROXY();
    static const OpenConnectConnectVia &TCP_WITH_CUSTOM_PROXY();

    // Exact, case-sensitive match of the text form; any other text is logged and gives TCP.
    static const OpenConnectConnectVia &fromString(const QString &name);

    virtual QString toString() const = 0;

    Type getType() const;
    // The site protocol the engine uses with this transport.
    HalvorixServerSite::Protocol getProtocol() const;

    bool operator==(const OpenConnectConnectVia &other) const;
    bool operator!=(const OpenConnectConnectVia &other) const;

protected:
    OpenConnectConnectVia(Type type, HalvorixServerSite::Protocol protocol);
    // The singletons live for the whole run and are never deleted through the base.
    ~OpenConnectConnectVia() = default;
    OpenConnectConnectVia(const OpenConnectConnectVia &) = delete;
    OpenConnectConnectVia &operator=(const OpenConnectConnectVia &) = delete;

private:
    const Type m_type;
    const HalvorixServerSite::Protocol m_protocol;
};

Q_DECLARE_METATYPE(const OpenConnectConnectVia *)
