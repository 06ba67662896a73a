#pragma once
#include <list>
#include <string>

namespace stelvane {

// The fields of one route program call and the argument list they make.
class PrepareRouteArguments
{
public:
    enum Action { ADD = 0, DELETE = 1 };
    enum Family { IPV4 = 0, IPV6 = 1 };
    enum Kind { BLACKHOLE = 0, REJECT = 1, PLAIN = 2 };

    PrepareRouteArguments(int action, int family, std::string destination, int prefixLength, std::string gateway,
                          std::string interfaceName, int kind);

    std::list<std::string> getArgumentsList() const;

private:
    int m_action;
    int m_family;
    std::string m_destination;
    int m_prefixLength;
    std::string m_gateway;
    std::string m_interface;
    int m_kind;
};

} // namespace stelvane
