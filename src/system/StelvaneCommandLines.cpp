#include "system/StelvaneCommandLines.h"

#include "helper/CommandWords.h"

namespace {

QString word(const char *command)
{
    return QLatin1String(command);
}

} // namespace

QStringList StelvaneCommandLines::setInterfaceUp(const QString &interface)
{
    return {word(stelvane::command::SET_INTERFACE_UP), interface};
}

QStringList StelvaneCommandLines::setIPv4AddressAndGateway(const QString &interface, const QHostAddress &address,
                                                           const QHostAddress &netmask, const QHostAddress &gateway)
{
    return {word(stelvane::command::SET_IPV4_ADDRESS), interface, address.toString(), netmask.toString(),
            gateway.toString()};
}

QStringList StelvaneCommandLines::deleteIPv4Address(const QString &interface, const QHostAddress &address)
{
    return {word(stelvane::command::DELETE_IPV4_ADDRESS), interface, address.toString()};
}

QStringList StelvaneCommandLines::setIPv6Address(const QString &interface, const QHostAddress &address,
                                                 int prefixLength)
{
    return {word(stelvane::command::SET_IPV6_ADDRESS), interface, address.toString(), QString::number(prefixLength)};
}

QStringList StelvaneCommandLines::deleteIPv6Address(const QString &interface, const QHostAddress &address)
{
    return {word(stelvane::command::DELETE_IPV6_ADDRESS), interface, address.toString()};
}

QList<QStringList> StelvaneCommandLines::add4SplittedRoutesToGateway(const QHostAddress &gateway)
{
    return indexedRuns({word(stelvane::command::ADD_SPLIT_ROUTES_TO_GATEWAY), gateway.toString()}, 4);
}

QList<QStringList> StelvaneCommandLines::add4SplittedRoutesToInterface(const QString &interface)
{
    return indexedRuns({word(stelvane::command::ADD_SPLIT_ROUTES_TO_INTERFACE), interface}, 4);
}

QList<QStringList> StelvaneCommandLines::remove4SplittedRoutes()
{
    return indexedRuns({word(stelvane::command::REMOVE_SPLIT_ROUTES)}, 4);
}

QList<QStringList> StelvaneCommandLines::addBlackHoleRoutes()
{
    return indexedRuns({word(stelvane::command::ADD_BLACKHOLE_ROUTE)}, 2);
}

QList<QStringList> StelvaneCommandLines::removeBlackHoleRoutes()
{
    return indexedRuns({word(stelvane::command::REMOVE_BLACKHOLE_ROUTE)}, 2);
}

QList<QStringList> StelvaneCommandLines::addIPv6UnreachableRoutes()
{
    return indexedRuns({word(stelvane::command::ADD_IPV6_UNREACHABLE_ROUTE)}, 2);
}

QList<QStringList> StelvaneCommandLines::removeIPv6UnreachableRoutes()
{
    return indexedRuns({word(stelvane::command::REMOVE_IPV6_UNREACHABLE_ROUTE)}, 2);
}

QStringList StelvaneCommandLines::protectHost(const QHostAddress &host, const QHostAddress &gateway)
{
    return {word(stelvane::command::PROTECT_HOST), host.toString(), gateway.toString()};
}

QStringList StelvaneCommandLines::releaseHost(const QHostAddress &host)
{
    return {word(stelvane::command::RELEASE_HOST), host.toString()};
}

QStringList StelvaneCommandLines::setNameServers(const QString &service, const QStringList &servers)
{
    // The service name alone is no valid command: DHCP is asked for by "empty".
    return QStringList {word(stelvane::command::SET_NAME_SERVERS), service}
           + (servers.isEmpty() ? QStringList {word(stelvane::command::NO_NAME_SERVERS)} : servers);
}

QStringList StelvaneCommandLines::setInterfaceState(const QString &service, bool up)
{
    return {word(stelvane::command::INTERFACE), service, up ? QStringLiteral("up") : QStringLiteral("down")};
}

QStringList StelvaneCommandLines::checkInterfaceState(const QString &service)
{
    return {word(stelvane::command::CHECK_INTERFACE_STATE), service};
}

QStringList StelvaneCommandLines::setDockIconVisibility(bool visible)
{
    return {word(stelvane::command::SET_DOCK_ICON_VISIBILITY),
            visible ? QStringLiteral("true") : QStringLiteral("false")};
}

QList<QStringList> StelvaneCommandLines::indexedRuns(const QStringList &prefix, int count)
{
    QList<QStringList> runs;
    for (int i = 1; i <= count; ++i)
        runs << prefix + QStringList {QString::number(i)};
    return runs;
}
