#pragma once
#include <exception>
#include <list>
#include <string>

namespace stelvane {

class ExecFailedException : public std::exception
{
public:
    ExecFailedException(std::string program, std::list<std::string> arguments, std::string error);

    // "Exec failed (" program "): " error
    std::string toString() const;
    const char *what() const noexcept override;

private:
    std::string m_program;
    std::list<std::string> m_arguments;
    std::string m_error;
};

} // namespace stelvane
