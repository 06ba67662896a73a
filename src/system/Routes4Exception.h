#pragma once

#include <QString>
#include <exception>

// A question put to a route list that it cannot answer.
class Routes4Exception : public std::exception
{
public:
    Routes4Exception(const QString &operation, const QString &detail);
    QString text() const { return m_message; }

private:
    QString m_message;
};
