#pragma once
#include <exception>
#include <string>

namespace stelvane {

class IllegalArgumentException : public std::exception
{
public:
    IllegalArgumentException(std::string name, std::string value);

    // "IllegalArgumentException: " name "=" value
    std::string toString() const;
    const char *what() const noexcept override;

private:
    std::string m_name;
    std::string m_value;
};

} // namespace stelvane
