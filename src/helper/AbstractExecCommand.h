#pragma once
#include "helper/Command.h"

#include <list>
#include <string>

namespace stelvane {

// A command that ends by replacing the helper with another program.
class AbstractExecCommand : public Command
{
public:
    // Runs `program` with `arguments` as root, with an empty environment.
    // Returns only by throwing ExecFailedException.
    void exec(const std::string &program, const std::list<std::string> &arguments);
    // The same for a file already opened and checked: the very file behind
    // `fd` is run, whatever its path names by now; `program` is only argv[0].
    // `environment` ("NAME=value" entries) is all the program's environment.
    void exec(int fd, const std::string &program, const std::list<std::string> &arguments,
              const std::list<std::string> &environment = {});

private:
    void becomeRoot(const std::string &program, const std::list<std::string> &arguments);
};

} // namespace stelvane
