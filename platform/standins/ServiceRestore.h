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
// Gives `service` back what was recorded when it went down, leaving out
// whatever exists already, and removes the record. False with what could
// not be given back.
bool restoreServiceState(const std::string &service, std::string &error);
// A route deleted while its service is down is dropped from the records of
// this namespace, so that it does not come back with the service. True when
// a record held it.
bool forgetDeletedRoute(const RouteChange &deletion);

} // namespace standins
