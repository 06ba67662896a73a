// The bundle's OpenVPN engine: runs the system's OpenVPN with the command line
// translated from the 2.4 form the product uses.
#include "OpenVpnArgumentAdapter.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <unistd.h>

int main(int argc, char *argv[])
{
    const std::vector<std::string> given(argv + 1, argv + argc);
    std::vector<std::string> arguments;
    try {
        arguments = engines::OpenVpnArgumentAdapter::translate(given);
    } catch (const std::exception &e) {
        std::cerr << "openvpn_v2_4: " << e.what() << std::endl;
        return 1;
    }

    std::vector<char *> argvOut;
    argvOut.push_back(const_cast<char *>(ORVAL_OPENVPN_PROGRAM));
    for (std::string &argument : arguments)
        argvOut.push_back(argument.data());
    argvOut.push_back(nullptr);
    execv(ORVAL_OPENVPN_PROGRAM, argvOut.data());
    std::cerr << "openvpn_v2_4: cannot run " << ORVAL_OPENVPN_PROGRAM << ": " << std::strerror(errno) << std::endl;
    return 1;
}
