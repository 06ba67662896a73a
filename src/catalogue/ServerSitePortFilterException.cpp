#include "catalogue/ServerSitePortFilterException.h"

ServerSitePortFilterException::ServerSitePortFilterException(const QString &message)
    : m_message(message)
{
}

QString ServerSitePortFilterException::getMessage() const
{
    return m_message;
}
