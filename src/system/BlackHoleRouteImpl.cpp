#include "system/BlackHoleRouteImpl.h"

#include "core/VpnFrontend.h"
#include "core/VpnStartupProgress.h"
#include "system/OsAbstraction.h"
#include "system/SystemLogging.h"

#include <QDebug>

BlackHoleRouteImpl::BlackHoleRouteImpl(VpnFrontend &frontend, QSharedPointer<ConnectionParameters> connectionParameters,
                                       OsAbstraction &osAbstraction, bool ipv4, bool ipv6)
    : m_osAbstraction(osAbstraction)
    , m_connectionParameters(std::move(connectionParameters))
    , m_ipv4(ipv4)
    , m_ipv6(ipv6)
    , m_frontend(frontend)
{
    qCDebug(lcSystem) << "BlackHoleRouteImpl constructor";
    if (ipv4)
        qCDebug(lcSystem) << "Adding BlackHoleRoutes";
    if (ipv6)
        qCDebug(lcSystem) << "Adding IPv6 BlackHoleRoutes";
    changeWithProgress(VpnStartupProgress::ENABLE_SEAMLESS_RECONNECT, VpnStartupProgress::ENABLE_IPV6_PROTECTION,
                       [this] { m_osAbstraction.addProtectiveRoutes(m_ipv4, m_ipv6); });
}

BlackHoleRouteImpl::~BlackHoleRouteImpl()
{
    qCDebug(lcSystem) << "BlackHoleRouteImpl destructor";
    if (m_ipv4)
        qCDebug(lcSystem) << "Removing BlackHoleRoutes";
    if (m_ipv6)
        qCDebug(lcSystem) << "Removing IPv6 BlackHoleRoutes";
    changeWithProgress(VpnStartupProgress::DISABLE_SEAMLESS_RECONNECT, VpnStartupProgress::DISABLE_IPV6_PROTECTION,
                       [this] { m_osAbstraction.removeProtectiveRoutes(m_ipv4, m_ipv6); });
}

void BlackHoleRouteImpl::progress(const QString &key, VpnStartupProgress::ProgressState state)
{
    m_frontend.onVpnStartupProgress(VpnStartupProgress(m_connectionParameters, key, state));
}

// Both sets change together. The progress lines keep their order, one set
// running at a time, and no set is called done before it is: the IPv6 line
// runs and is done at once after the common change.
template<typename Change>
void BlackHoleRouteImpl::changeWithProgress(const QString &ipv4Key, const QString &ipv6Key, Change change)
{
    if (!m_ipv4 && !m_ipv6)
        return;
    progress(m_ipv4 ? ipv4Key : ipv6Key, VpnStartupProgress::RUNNING);
    change();
    // Done also when the change failed: the failure has its own error message.
    if (m_ipv4)
        progress(ipv4Key, VpnStartupProgress::SUCCESS);
    if (m_ipv6) {
        if (m_ipv4)
            progress(ipv6Key, VpnStartupProgress::RUNNING);
        progress(ipv6Key, VpnStartupProgress::SUCCESS);
    }
}
