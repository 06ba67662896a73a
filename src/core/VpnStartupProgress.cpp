#include "core/VpnStartupProgress.h"

const QString VpnStartupProgress::SUFFIX_LABEL = QStringLiteral("_LABEL");
const QString VpnStartupProgress::SUFFIX_TOOLTIP = QStringLiteral("_TOOLTIP");
const QString VpnStartupProgress::SUFFIX_WARNING = QStringLiteral("_WARNING");

const QString VpnStartupProgress::INIT_CONNECTION = QStringLiteral("INIT_CONNECTION");
const QString VpnStartupProgress::PRELIMINARY_CHECKS = QStringLiteral("PRELIMINARY_CHECKS");
const QString VpnStartupProgress::PREPARE_GENERIC_VPN_ENVIRONMENT = QStringLiteral("PREPARE_GENERIC_VPN_ENVIRONMENT");
const QString VpnStartupProgress::PREPARE_OPENVPN_ENVIRONMENT = QStringLiteral("PREPARE_OPENVPN_ENVIRONMENT");
const QString VpnStartupProgress::PREPARE_OPENCONNECT_ENVIRONMENT = QStringLiteral("PREPARE_OPENCONNECT_ENVIRONMENT");
const QString VpnStartupProgress::GENERIC_VPN_STARTING = QStringLiteral("GENERIC_VPN_STARTING");
const QString VpnStartupProgress::OPENVPN_STARTING = QStringLiteral("OPENVPN_STARTING");
const QString VpnStartupProgress::OPENCONNECT_STARTING = QStringLiteral("OPENCONNECT_STARTING");
const QString VpnStartupProgress::DISABLE_INTERFACES = QStringLiteral("DISABLE_INTERFACES");
const QString VpnStartupProgress::ACTIVATE_INTERFACES = QStringLiteral("ACTIVATE_INTERFACES");
const QString VpnStartupProgress::CHECKING_DEFAULT_ROUTE = QStringLiteral("CHECKING_DEFAULT_ROUTE");
const QString VpnStartupProgress::ENABLE_SEAMLESS_RECONNECT = QStringLiteral("ENABLE_SEAMLESS_RECONNECT");
const QString VpnStartupProgress::DISABLE_SEAMLESS_RECONNECT = QStringLiteral("DISABLE_SEAMLESS_RECONNECT");
const QString VpnStartupProgress::ENABLE_IPV6_PROTECTION = QStringLiteral("ENABLE_IPV6_PROTECTION");
const QString VpnStartupProgress::DISABLE_IPV6_PROTECTION = QStringLiteral("DISABLE_IPV6_PROTECTION");
const QString VpnStartupProgress::LOOKUP_HOSTNAME_BEFORE_CONNECTING =
    QStringLiteral("LOOKUP_HOSTNAME_BEFORE_CONNECTING");

VpnStartupProgress::VpnStartupProgress(QSharedPointer<ConnectionParameters> parameters, const QString &key,
                                       ProgressState state)
    : EventMessage(std::move(parameters))
    , m_key(key)
    , m_state(state)
{
}

QString VpnStartupProgress::getProgressMessageKey() const
{
    return m_key;
}

VpnStartupProgress::ProgressState VpnStartupProgress::getState() const
{
    return m_state;
}

bool VpnStartupProgress::isInitialState() const
{
    return m_state == INITIAL;
}

bool VpnStartupProgress::isSkippable() const
{
    return (m_state & ~2) == RUNNING_SKIPPABLE;
}
