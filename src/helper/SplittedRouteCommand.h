#pragma once
#include "helper/PrepareRouteArguments.h"
#include "helper/ProgramCommand.h"

#include <optional>

namespace stelvane {

// A route command over one part of a split default route, chosen by index.
class SplittedRouteCommand : public ProgramCommand
{
public:
    explicit SplittedRouteCommand(int index);

    // An index outside the split fails without running anything.
    int execute() override;
    std::string program() const override;
    std::list<std::string> arguments() const override;

    // The network of part `index` (from 1) of a split into `parts`, or empty.
    static std::string fourWayNetwork(int index);
    static std::string twoWayIPv4Network(int index);
    static std::string twoWayIPv6Network(int index);

protected:
    int index() const { return m_index; }
    virtual std::optional<PrepareRouteArguments> route() const = 0;

private:
    int m_index;
};

} // namespace stelvane
