#include "OpenVpnArgumentAdapter.h"

#include <algorithm>

namespace engines {

namespace {

bool contains(const std::vector<std::string> &arguments, const std::string &option)
{
    return std::find(arguments.begin(), arguments.end(), option) != arguments.end();
}

} // namespace

std::vector<std::string> OpenVpnArgumentAdapter::translate(const std::vector<std::string> &arguments)
{
    if (contains(arguments, "--scramble"))
        throw std::runtime_error("--scramble (traffic obfuscation) is not supported by this engine; "
                                 "refusing to connect without it");

    // 2.6 removed --ncp-disable; a fixed data cipher is now a one-entry cipher list,
    // with the same cipher as fallback for peers that do not negotiate.
    const bool fixedCipher = contains(arguments, "--ncp-disable");
    // 2.4 took the compression a server pushes; 2.6 refuses it and restarts
    // for ever. Accept compressed packets but never send any: the connection
    // works without the compression-oracle risk. First, so that a later
    // option still decides.
    std::vector<std::string> result {"--allow-compression", "asym"};
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "--ncp-disable")
            continue;
        if (argument == "--cipher") {
            if (i + 1 >= arguments.size())
                throw std::runtime_error("--cipher needs a value");
            const std::string &cipher = arguments[++i];
            if (cipher.empty())
                continue;
            if (fixedCipher)
                result.insert(result.end(), {"--data-ciphers", cipher, "--data-ciphers-fallback", cipher});
            else
                result.insert(result.end(), {"--cipher", cipher});
            continue;
        }
        result.push_back(argument);
    }
    return result;
}

} // namespace engines
