#pragma once

#include <QString>

#include <exception>
#include <string>

// Base of the configuration code's exceptions: a message for people and its
// UTF-8 form for what().
class AbstractException : public std::exception
{
public:
    explicit AbstractException(const QString &message);
    ~AbstractException() override;

    const char *what() const noexcept override;
    QString getMessage() const;

private:
    QString m_message;
    std::string m_utf8;
};
