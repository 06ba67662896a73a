#include "system/Routes4Exception.h"

Routes4Exception::Routes4Exception(const QString &operation, const QString &detail)
    : m_message(QStringLiteral("%1 failed. Info: %2").arg(operation, detail))
{
}
