#pragma once
#include "core/EventMessage.h"

#include <QString>

// One stage of the start-up pipeline and how far it got.
class VpnStartupProgress : public EventMessage
{
public:
    enum ProgressState : qint32 {
        INITIAL = 0, // a new attempt begins; frontends reset their display
        SUCCESS = 1,
        FAILED = 2, // failed or aborted
        SKIPPED = 3,
        RUNNING = 4,
        RUNNING_SKIPPABLE = 5,
        WAITING = 6, // a wait loop is running
        WAITING_SKIPPABLE = 7
    };

    VpnStartupProgress(QSharedPointer<ConnectionParameters> parameters, const QString &key, ProgressState state);

    QString getProgressMessageKey() const;
    ProgressState getState() const;
    bool isInitialState() const;
    bool isSkippable() const;

    // Frontends append one of these to a stage key to find its display texts.
    static const QString SUFFIX_LABEL;
    static const QString SUFFIX_TOOLTIP;
    static const QString SUFFIX_WARNING;

    static const QString INIT_CONNECTION;
    static const QString PRELIMINARY_CHECKS;
    static const QString PREPARE_GENERIC_VPN_ENVIRONMENT;
    static const QString PREPARE_OPENVPN_ENVIRONMENT;
    static const QString PREPARE_OPENCONNECT_ENVIRONMENT;
    static const QString GENERIC_VPN_STARTING;
    static const QString OPENVPN_STARTING;
    static const QString OPENCONNECT_STARTING;
    static const QString DISABLE_INTERFACES;
    static const QString ACTIVATE_INTERFACES;
    static const QString CHECKING_DEFAULT_ROUTE;
    static const QString ENABLE_SEAMLESS_RECONNECT;
    static const QString DISABLE_SEAMLESS_RECONNECT;
    static const QString ENABLE_IPV6_PROTECTION;
    static const QString DISABLE_IPV6_PROTECTION;
    static const QString LOOKUP_HOSTNAME_BEFORE_CONNECTING;

private:
    QString m_key;
    ProgressState m_state;
};
