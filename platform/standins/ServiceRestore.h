#pragma once

#include "StandIn.h"

#include <string>

// Taking a network service down and bringing it back whole, as macOS does:
// what the service loses on the way down is recorded (ServiceRecord) in a
// root-only folder, one file per service and network namespace, and given
// back on the way up. A record is applied only in the very namespace that
// made it: namespaces are told apart by the kernel's cookie of the namespace
// and the boot, since a later namespace may get a gone one's inode.
namespace standins {

// Records what the service `service` would lose going down; false with the
// reason when that cannot be done.
bool keepServiceState(const std::string &service, std::string &error);
// Brings `service` up and gives it back what was recorded when it went
// down, leaving out whatever exists already; the record goes. A record of a
// link that came up by other means meanwhile is dropped unused. False with
// the reason the link stays down or what could not be given back.
bool bringServiceUp(const std::string &service, std::string &error);
// A route deleted while its service is down is dropped from the records of
// this namespace, so that it does not come back with the service. True when
// a record held it.
bool forgetDeletedRoute(const RouteChange &deletion);

} // namespace standins
