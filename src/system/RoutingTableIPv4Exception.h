#pragma once

#include <QString>
#include <exception>

// The kernel's routing table could not be read or parsed.
class RoutingTableIPv4Exception : public std::exception
{
public:
    RoutingTableIPv4Exception(const QString &operation, const QString &detail);
    QString text() const { return m_message; }

private:
    QString m_message;
};
