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
    if (ipv4) {
        qCDebug(lcSystem) << "Adding BlackHoleRoutes";
        changeWithProgress(VpnStartupProgress::ENABLE_SEAMLESS_RECONNECT,
                           [this] { this->m_osAbstraction.addProtectiveSimpleSplittedDefaultRoute(); });
    }
    if (ipv6) {
        qCDebug(lcSystem) << "Adding IPv6 BlackHoleRoutes";
        changeWithProgress(VpnStartupProgress::ENABLE_IPV6_PROTECTION,
                           [this] { this->m_osAbstraction.addProtectiveSimpleSplittedIPV6DefaultRoute(); });
    }
}

BlackHoleRouteImpl::~BlackHoleRouteImpl()
{
    qCDebug(lcSystem) << "BlackHoleRouteImpl destructor";
    if (m_ipv4) {
        qCDebug(lcSystem) << "Removing BlackHoleRoutes";
        changeWithProgress(VpnStartupProgress::DISABLE_SEAMLESS_RECONNECT,
                           [this] { m_osAbstraction.removeProtectiveSimpleSplittedDefaultRoute(); });
    }
    if (m_ipv6) {
        qCDebug(lcSystem) << "Removing IPv6 BlackHoleRoutes";
        changeWithProgress(VpnStartupProgress::DISABLE_IPV6_PROTECTION,
                           [this] { m_osAbstraction.removeProtectiveSimpleSplittedIPV6DefaultRoute(); });
    }
}

template<typename Change>
void BlackHoleRouteImpl::changeWithProgress(const QString &key, Change change)
{
    m_frontend.onVpnStartupProgress(VpnStartupProgress(m_connectionParameters, key, VpnStartupProgress::RUNNING));
    change();
    // Done also when the change failed: the failure has its own error message.
    m_frontend.onVpnStartupProgress(VpnStartupProgress(m_connectionParameters, key, VpnStartupProgress::SUCCESS));
}
