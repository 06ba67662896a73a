#include "system/LsUtilException.h"

LsUtilException::LsUtilException(const QString &text)
    : m_message(text)
{
}
