#include "system/RoutingTableIPv4Exception.h"

RoutingTableIPv4Exception::RoutingTableIPv4Exception(const QString &operation, const QString &detail)
    : m_message(QStringLiteral("%1 failed. Info: %2").arg(operation, detail))
{
}
