#pragma once
#include <exception>
#include <string>

namespace stelvane {

class MissingArgumentException : public std::exception
{
public:
    explicit MissingArgumentException(std::string name);

    const std::string &name() const { return m_name; }
    const char *what() const noexcept override;

private:
    std::string m_name;
};

} // namespace stelvane
