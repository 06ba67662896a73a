#include "helper/ExecFailedException.h"

namespace stelvane {

ExecFailedException::ExecFailedException(std::string program, std::list<std::string> arguments, std::string error)
    : m_program(std::move(program))
    , m_arguments(std::move(arguments))
    , m_error(std::move(error))
{
}

std::string ExecFailedException::toString() const
{
    return "Exec failed (" + m_program + "): " + m_error;
}

const char *ExecFailedException::what() const noexcept
{
    return "ExecFailedException";
}

} // namespace stelvane
