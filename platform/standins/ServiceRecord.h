#pragma once

#include "NetworkDump.h"
#include "StandIn.h"

#include <string>
#include <vector>

namespace standins {

// What a network service loses when networksetup takes it down, kept so that
// bringing it up gives it back, as macOS does for a service it enables again.
// Taking a link down makes the kernel drop the routes through it and the IPv6
// addresses on it; those it makes anew by itself (the link-local address, the
// routes that come with each address) are not kept.
class ServiceRecord
{
public:
    ServiceRecord() = default;

    // The record of `service` (interface `index`, come up `upCount` times)
    // in a network namespace that `owner` names for good, from everything
    // the kernel holds.
    static ServiceRecord of(const std::string &service, const std::string &owner, unsigned index, unsigned upCount,
                            const std::vector<AddressEntry> &addresses, const std::vector<RouteEntry> &routes);

    // The record as text, and back: false for anything that is not such a
    // text in full.
    std::string text() const;
    static bool parse(const std::string &text, ServiceRecord &record);

    const std::string &service() const { return m_service; }
    const std::string &owner() const { return m_owner; }
    const std::vector<AddressEntry> &addresses() const { return m_addresses; }
    const std::vector<RouteEntry> &routes() const { return m_routes; }

    // Whether interface `index`, come up `upCount` times, is the link the
    // record was made of and has stayed down since. A link brought up by
    // other means meanwhile has a configuration of its own by now.
    bool isFor(unsigned index, unsigned upCount) const { return index == m_index && upCount == m_upCount; }

    // What of the record the current state of interface `index` lacks, in
    // an order the kernel accepts: the addresses (that bring their own
    // routes), then routes on the link, then routes through a gateway.
    // Whatever exists already is left out.
    std::vector<AddressEntry> missingAddresses(unsigned index, const std::vector<AddressEntry> &current) const;
    std::vector<RouteEntry> missingRoutes(const std::vector<RouteEntry> &current) const;

    // Drops the routes that `deletion` names: deleted while the service was
    // down, they must not come back with it. True when it dropped any.
    bool forget(const RouteChange &deletion);

private:
    std::string m_service;
    std::string m_owner;
    unsigned m_index = 0;
    unsigned m_upCount = 0;
    std::vector<AddressEntry> m_addresses;
    std::vector<RouteEntry> m_routes;
};

} // namespace standins
