#pragma once
#include <QString>

// The engine's connection states, in the order of their numeric values.
// Scoped, because words such as WAIT and UNKNOWN are too common to own globally.
enum class OpenVpnState : int {
    CONNECTING = 0,
    TCP_CONNECT = 1,
    RESOLVE = 2,
    WAIT = 3,
    AUTH = 4,
    GET_CONFIG = 5,
    ASSIGN_IP = 6,
    ADD_ROUTES = 7,
    CONNECTED = 8,
    RECONNECTING = 9,
    EXITING = 10,
    UNKNOWN = 11
};

// One ">STATE:" notification of the engine. A plain value: handlers read the
// public fields directly and copy the value when they need it later.
class OpenVpnGenericState
{
public:
    OpenVpnGenericState(const QString &name, OpenVpnState state);

    // Builds the value the way the handlers expect it from the fields of a
    // ">STATE:" line (state text, description, local address, remote address).
    // Texts are matched whole and case-sensitively; anything else is UNKNOWN.
    static OpenVpnGenericState fromStateLine(const QString &name, const QString &cause, const QString &localIp,
                                             const QString &remoteIp);

    // The fixed text of a known state; an empty string for UNKNOWN.
    static QString nameOf(OpenVpnState state);

    QString name;
    OpenVpnState state;
    QString cause;
    QString localIp;
    QString remoteIp;
};

// Per-state views used by OpenVpnStateHandler::dispatch. They add no fields;
// each can be made from a generic value so the dispatch never has to view a
// base object as a derived one.
template<OpenVpnState S>
class OpenVpnPerState : public OpenVpnGenericState
{
public:
    static constexpr OpenVpnState STATE = S;
    explicit OpenVpnPerState(const OpenVpnGenericState &generic)
        : OpenVpnGenericState(generic)
    {
    }

protected:
    OpenVpnPerState(const QString &cause, const QString &localIp, const QString &remoteIp)
        : OpenVpnGenericState(nameOf(S), S)
    {
        this->cause = cause;
        this->localIp = localIp;
        this->remoteIp = remoteIp;
    }
};

class OpenVpnStateConnecting : public OpenVpnPerState<OpenVpnState::CONNECTING>
{
public:
    using OpenVpnPerState::OpenVpnPerState;
};

class OpenVpnStateTcpConnect : public OpenVpnPerState<OpenVpnState::TCP_CONNECT>
{
public:
    using OpenVpnPerState::OpenVpnPerState;
};

class OpenVpnStateResolve : public OpenVpnPerState<OpenVpnState::RESOLVE>
{
public:
    using OpenVpnPerState::OpenVpnPerState;
};

class OpenVpnStateWait : public OpenVpnPerState<OpenVpnState::WAIT>
{
public:
    using OpenVpnPerState::OpenVpnPerState;
};

class OpenVpnStateAuth : public OpenVpnPerState<OpenVpnState::AUTH>
{
public:
    using OpenVpnPerState::OpenVpnPerState;
};

class OpenVpnStateGetConfig : public OpenVpnPerState<OpenVpnState::GET_CONFIG>
{
public:
    using OpenVpnPerState::OpenVpnPerState;
};

class OpenVpnStateAssignIp : public OpenVpnPerState<OpenVpnState::ASSIGN_IP>
{
public:
    using OpenVpnPerState::OpenVpnPerState;
    // The engine reports the assigned address; it is kept in cause.
    explicit OpenVpnStateAssignIp(const QString &address)
        : OpenVpnPerState(address, QString(), QString())
    {
    }
};

class OpenVpnStateAddRoutes : public OpenVpnPerState<OpenVpnState::ADD_ROUTES>
{
public:
    using OpenVpnPerState::OpenVpnPerState;
};

class OpenVpnStateConnected : public OpenVpnPerState<OpenVpnState::CONNECTED>
{
public:
    using OpenVpnPerState::OpenVpnPerState;
    OpenVpnStateConnected(const QString &cause, const QString &localIp, const QString &remoteIp)
        : OpenVpnPerState(cause, localIp, remoteIp)
    {
    }
};

class OpenVpnStateReconnecting : public OpenVpnPerState<OpenVpnState::RECONNECTING>
{
public:
    using OpenVpnPerState::OpenVpnPerState;
    explicit OpenVpnStateReconnecting(const QString &cause)
        : OpenVpnPerState(cause, QString(), QString())
    {
    }
};

class OpenVpnStateExiting : public OpenVpnPerState<OpenVpnState::EXITING>
{
public:
    using OpenVpnPerState::OpenVpnPerState;
};

class OpenVpnStateUnknown : public OpenVpnPerState<OpenVpnState::UNKNOWN>
{
public:
    using OpenVpnPerState::OpenVpnPerState;
};
