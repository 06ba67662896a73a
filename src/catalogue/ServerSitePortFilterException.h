#pragma once

#include <QString>

#include <exception>

// Thrown for a port outside 0 to 65535; the text is in getMessage().
class ServerSitePortFilterException : public std::exception
{
public:
    explicit ServerSitePortFilterException(const QString &message);

    QString getMessage() const;

private:
    QString m_message;
};
