#pragma once
#include <exception>

namespace stelvane {

// A failed authentication, place or integrity check: the code is printed, the
// exit status ends the run.
class SecurityException : public std::exception
{
public:
    static constexpr int EXIT_STATUS = 10;

    explicit SecurityException(int code, int exitStatus = EXIT_STATUS);

    int code() const { return m_code; }
    int exitStatus() const { return m_exitStatus; }
    const char *what() const noexcept override;

private:
    int m_code;
    int m_exitStatus;
};

} // namespace stelvane
