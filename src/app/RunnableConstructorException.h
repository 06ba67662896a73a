#pragma once

#include <QString>
#include <exception>

// A run mode that cannot be built or started ends the process with exitCode.
class RunnableConstructorException : public std::exception
{
public:
    RunnableConstructorException(const QString &message, int exitCode)
        : message(message)
        , exitCode(exitCode)
    {
    }

    const char *what() const noexcept override { return "RunnableConstructorException"; }

    const QString message;
    const int exitCode;
};
