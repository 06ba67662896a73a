#include "helper/CallerListener.h"

#include "helper/IllegalArgumentException.h"

#include "peerowner/TcpListenerOwner.h"

#include <algorithm>
#include <unistd.h>

namespace stelvane {

std::string CallerListener::refusal(const std::vector<long long> &owners, long long caller)
{
    if (owners.empty())
        return "no loopback listener at this port";
    const bool others =
        std::any_of(owners.begin(), owners.end(), [caller](long long owner) { return owner != caller; });
    return others ? "the loopback listener at this port is not the calling user's" : std::string();
}

void CallerListener::require(const std::string &argument, int port)
{
    const std::string why = refusal(orvalplatform::loopbackListenerOwners(static_cast<unsigned short>(port)),
                                    static_cast<long long>(getuid()));
    if (!why.empty())
        throw IllegalArgumentException(argument, std::to_string(port) + " (" + why + ")");
}

} // namespace stelvane
