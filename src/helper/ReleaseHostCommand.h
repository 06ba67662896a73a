#pragma once
#include "helper/ProgramCommand.h"

namespace stelvane {

// Removes the host route of ProtectHostCommand.
class ReleaseHostCommand : public ProgramCommand
{
public:
    explicit ReleaseHostCommand(std::string host);

    std::string program() const override;
    std::list<std::string> arguments() const override;

private:
    std::string m_host;
};

} // namespace stelvane
