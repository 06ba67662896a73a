#pragma once
#include <QHostAddress>
#include <QString>

// Candidate server addresses of one kind. A pool never hands out an address
// that isValidIpAddress() rejects: it answers a null address instead.
class IpPoolInterface
{
public:
    enum PoolType : qint32 {
        POOL_LIST = 0,
        LOCAL_LOOKUP = 1,
        STATIC_IP = 2,
        PINNED_STATIC_IP = 3,
        DEDICATED_STATIC_IP = 4
    };

    explicit IpPoolInterface(qint32 type);
    virtual ~IpPoolInterface() = default;

    virtual bool hasValidIp() const = 0;
    virtual QHostAddress getIp() const = 0;
    // Picks a new current address at random (or reorders members).
    virtual void shuffleIps() = 0;
    // A multi-line description for the log.
    virtual QString toString() const = 0;

    qint32 getType() const;
    static QString typeToString(qint32 type);
    // False for null, the any-addresses and "0.0.0.0".
    static bool isValidIpAddress(const QHostAddress &address);

protected:
    // A random index in [0, count) from the process's securely seeded generator.
    static int randomIndex(int count);

private:
    qint32 m_type;
};
