#pragma once

#include <QString>
#include <exception>

// The ls program is missing.
class LsUtilException : public std::exception
{
public:
    explicit LsUtilException(const QString &text);
    QString text() const { return m_message; }

private:
    QString m_message;
};
