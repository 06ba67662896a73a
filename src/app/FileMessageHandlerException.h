#pragma once

#include <QString>
#include <exception>

// The log directory cannot be determined, created or entered.
class FileMessageHandlerException : public std::exception
{
public:
    explicit FileMessageHandlerException(const QString &message)
        : message(message)
    {
    }

    const QString message;
};
