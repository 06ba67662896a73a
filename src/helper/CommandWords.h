#pragma once
// The words that name the helper's commands, the first argument of every run.
// The helper's command factory and the client's callers include this header,
// so both sides of the protocol spell every command from one place.

namespace stelvane::command {

inline constexpr char INTERFACE[] = "Interface";
inline constexpr char CHECK_INTERFACE_STATE[] = "CheckInterfaceState";
inline constexpr char CHECK_DEFAULT_ROUTE[] = "CheckDefaultRoute";
inline constexpr char OPEN_VPN[] = "OpenVPN";
inline constexpr char SET_NAME_SERVERS[] = "SetNameServers";
inline constexpr char PROTECT_HOST[] = "ProtectHost";
inline constexpr char RELEASE_HOST[] = "ReleaseHost";
inline constexpr char OPEN_CONNECT[] = "OpenConnect";
inline constexpr char SET_INTERFACE_UP[] = "SetInterfaceUp";
inline constexpr char SET_IPV4_ADDRESS[] = "SetIPv4Address";
inline constexpr char DELETE_IPV4_ADDRESS[] = "DeleteIPv4Address";
inline constexpr char SET_IPV6_ADDRESS[] = "SetIPv6Address";
inline constexpr char DELETE_IPV6_ADDRESS[] = "DeleteIPv6Address";
inline constexpr char ADD_SPLIT_ROUTES_TO_GATEWAY[] = "Add4SplittedRouteToGateway";
inline constexpr char ADD_SPLIT_ROUTES_TO_INTERFACE[] = "Add4SplittedRouteToInterface";
inline constexpr char REMOVE_SPLIT_ROUTES[] = "Remove4SplittedRoute";
inline constexpr char ADD_BLACKHOLE_ROUTE[] = "AddSimpleSplittedRouteToBlackhole";
inline constexpr char REMOVE_BLACKHOLE_ROUTE[] = "RemoveSimpleSplittedRouteToBlackhole";
inline constexpr char ADD_IPV6_UNREACHABLE_ROUTE[] = "AddSimpleSplittedIPV6RouteToUnreachable";
inline constexpr char REMOVE_IPV6_UNREACHABLE_ROUTE[] = "RemoveSimpleSplittedIPV6RouteToUnreachable";
inline constexpr char SET_DOCK_ICON_VISIBILITY[] = "SetDockIconVisibility";

// "SetNameServers" with this single server clears the service's name servers.
inline constexpr char NO_NAME_SERVERS[] = "empty";

} // namespace stelvane::command
