#pragma once

namespace stelvane {

// One run of the helper does exactly one command; its result is the exit status.
class Command
{
public:
    virtual ~Command() = default;
    virtual int execute() = 0;
};

} // namespace stelvane
