#include "system/BlackHoleRouteImpl.h"

#include "backend/VpnFrontend.h"
#include "backend/VpnStartupProgress.h"
#include "system/OsAbstraction.h"

#include <QDebug>

BlackHoleRouteImpl::BlackHoleRouteImpl(VpnFrontend& frontend, QSharedPointer<ConnectionParameters> connectionParameters,
                                       OsAbstraction& osAbstraction, bool ipv4, bool ipv6)
    : osAbstraction(osAbstraction)
    , connectionParameters(std::move(connectionParameters))
    , ipv4(ipv4)
    , ipv6(ipv6)
    , frontend(frontend)
{
    qDebug() << "BlackHoleRouteImpl constructor";
    if (ipv4) {
        qDebug() << "Adding BlackHoleRoutes";
        changeWithProgress(VpnStartupProgress::ENABLE_SEAMLESS_RECONNECT,
                           [this] { this->osAbstraction.addProtectiveSimpleSplittedDefaultRoute(); });
    }
    if (ipv6) {
        qDebug() << "Adding IPv6 BlackHoleRoutes";
        changeWithProgress(VpnStartupProgress::ENABLE_IPV6_PROTECTION,
                           [this] { this->osAbstraction.addProtectiveSimpleSplittedIPV6DefaultRoute(); });
    }
}

BlackHoleRouteImpl::~BlackHoleRouteImpl()
{
    qDebug() << "BlackHoleRouteImpl destructor";
    if (ipv4) {
        qDebug() << "Removing BlackHoleRoutes";
        changeWithProgress(VpnStartupProgress::DISABLE_SEAMLESS_RECONNECT,
                           [this] { osAbstraction.removeProtectiveSimpleSplittedDefaultRoute(); });
    }
    if (ipv6) {
        qDebug() << "Removing IPv6 BlackHoleRoutes";
        changeWithProgress(VpnStartupProgress::DISABLE_IPV6_PROTECTION,
                           [this] { osAbstraction.removeProtectiveSimpleSplittedIPV6DefaultRoute(); });
    }
}

template <typename Change>
void BlackHoleRouteImpl::changeWithProgress(const QString& key, Change change)
{
    frontend.onVpnStartupProgress(VpnStartupProgress(connectionParameters, key, VpnStartupProgress::RUNNING));
    change();
    // Done also when the change failed: the failure has its own error message.
    frontend.onVpnStartupProgress(VpnStartupProgress(connectionParameters, key, VpnStartupProgress::SUCCESS));
}
