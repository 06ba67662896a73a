#pragma once
#include <QString>

// The VPN engine family of a connection. Each family exists once, as a
// process-wide singleton; callers hold `TunnelType const&` and never copy it.
class TunnelType
{
public:
    virtual ~TunnelType() = default;

    virtual QString toString() const = 0;

    static const TunnelType &OPENVPN243();
    static const TunnelType &OPENCONNECT();

    // An unknown or empty name gives OpenVPN (logged at debug level), so a
    // damaged preference never stops the client from connecting.
    static const TunnelType &fromString(const QString &name);

    bool operator==(const TunnelType &other) const;
    bool operator!=(const TunnelType &other) const { return !(*this == other); }

protected:
    TunnelType() = default;
    TunnelType(const TunnelType &) = delete;
    TunnelType &operator=(const TunnelType &) = delete;
};

class TunnelTypeOpenVPN243 : public TunnelType
{
public:
    QString toString() const override;
    static const TunnelTypeOpenVPN243 INSTANCE;

private:
    TunnelTypeOpenVPN243() = default;
};

class TunnelTypeOpenConnect : public TunnelType
{
public:
    QString toString() const override;
    static const TunnelTypeOpenConnect INSTANCE;

private:
    TunnelTypeOpenConnect() = default;
};
