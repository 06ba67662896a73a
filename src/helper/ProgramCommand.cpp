#include "helper/ProgramCommand.h"

#include "helper/PlatformPrograms.h"

namespace stelvane {

int ProgramCommand::execute()
{
    exec(PlatformPrograms::path(program()), arguments());
    return -1;
}

} // namespace stelvane
