#include "ServiceRestore.h"

#include "NetworkDump.h"
#include "ServiceRecord.h"
#include "ServiceRecordStore.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <net/if.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef SO_NETNS_COOKIE
#define SO_NETNS_COOKIE 71
#endif

namespace standins {

namespace {

// The caller's network namespace: its inode names the records (unique among
// the namespaces that exist), the boot and the kernel's cookie of the
// namespace (never given twice in a boot) tell whether a record is its own.
struct Namespace
{
    std::string inode;
    std::string owner;
};

bool currentNamespace(Namespace &found, std::string &error)
{
    struct stat status
    {};
    std::ifstream bootFile("/proc/sys/kernel/random/boot_id");
    std::string boot;
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    uint64_t cookie = 0;
    socklen_t size = sizeof cookie;
    const bool known = ::stat("/proc/self/ns/net", &status) == 0 && std::getline(bootFile, boot) && !boot.empty()
                       && fd >= 0 && ::getsockopt(fd, SOL_SOCKET, SO_NETNS_COOKIE, &cookie, &size) == 0;
    const int reason = errno;
    if (fd >= 0)
        ::close(fd);
    if (!known) {
        error = std::string("cannot tell this network namespace from others: ") + std::strerror(reason);
        return false;
    }
    found.inode = std::to_string(status.st_ino);
    found.owner = boot + ":" + std::to_string(cookie);
    return true;
}

std::string recordName(const Namespace &space, const std::string &service)
{
    return space.inode + "-" + service;
}

// The record `name` if it is this namespace's own; any other found there is
// left over from a namespace that is gone and is removed.
bool ownRecord(const ServiceRecordStore &store, const Namespace &space, const std::string &name, ServiceRecord &record)
{
    std::string text;
    if (!store.load(name, text))
        return false;
    if (ServiceRecord::parse(text, record) && record.owner() == space.owner
        && name == recordName(space, record.service()))
        return true;
    store.remove(name);
    return false;
}

std::string describe(const AddressEntry &address)
{
    return "address " + address.local + "/" + std::to_string(address.prefixLength);
}

std::string describe(const RouteEntry &route)
{
    return "route " + route.destination + "/" + std::to_string(route.prefixLength)
           + (route.gateway.empty() ? std::string() : " via " + route.gateway);
}

// Adds each entry; one that exists by now counts as given back.
template<typename Entry>
void addEach(const std::vector<Entry> &entries, unsigned index, int (*add)(const Entry &, unsigned),
             std::string &failures)
{
    for (const Entry &entry : entries) {
        const int result = add(entry, index);
        if (result != 0 && result != EEXIST)
            failures += (failures.empty() ? "" : "; ") + describe(entry) + ": " + std::strerror(result);
    }
}

} // namespace

bool keepServiceState(const std::string &service, std::string &error)
{
    Namespace space;
    ServiceRecordStore store(ServiceRecordStore::DIRECTORY);
    std::vector<AddressEntry> addresses;
    std::vector<RouteEntry> routes;
    const unsigned index = ::if_nametoindex(service.c_str());
    if (!currentNamespace(space, error) || !store.open(error) || !dumpAddresses(addresses, error)
        || !dumpRoutes(routes, error))
        return false;
    if (index == 0) {
        error = "no interface " + service;
        return false;
    }
    const ServiceRecord record = ServiceRecord::of(service, space.owner, index, linkUpCount(index), addresses, routes);
    return store.save(recordName(space, service), record.text(), error);
}

bool bringServiceUp(const std::string &service, std::string &error)
{
    Namespace space;
    ServiceRecordStore store(ServiceRecordStore::DIRECTORY);
    ServiceRecord record;
    std::string unused;
    const unsigned index = ::if_nametoindex(service.c_str());
    // Whose the record is must be known before the link comes up. Without
    // a namespace of its own or a folder there is none.
    const unsigned upCount = linkUpCount(index);
    const std::string name = currentNamespace(space, unused) ? recordName(space, service) : std::string();
    const bool recorded = !name.empty() && store.open(unused) && ownRecord(store, space, name, record);
    if (!setLinkUp(service, true, error))
        return false;
    if (!recorded)
        return true;
    store.remove(name);
    if (!record.isFor(index, upCount))
        return true;
    std::vector<AddressEntry> addresses;
    std::vector<RouteEntry> routes;
    std::string failures;
    if (dumpAddresses(addresses, failures)) {
        addEach(record.missingAddresses(index, addresses), index, addAddress, failures);
        // The addresses just added brought routes of their own.
        if (dumpRoutes(routes, failures))
            addEach(record.missingRoutes(routes), index, addRoute, failures);
    }
    if (failures.empty())
        return true;
    error = "cannot restore " + service + ": " + failures;
    return false;
}

bool forgetDeletedRoute(const RouteChange &deletion)
{
    Namespace space;
    ServiceRecordStore store(ServiceRecordStore::DIRECTORY);
    std::string unused;
    if (!currentNamespace(space, unused) || !store.open(unused))
        return false;
    bool forgotten = false;
    for (const std::string &name : store.names(space.inode + "-")) {
        ServiceRecord record;
        if (ownRecord(store, space, name, record) && record.forget(deletion))
            forgotten = store.save(name, record.text(), unused) || forgotten;
    }
    return forgotten;
}

} // namespace standins
