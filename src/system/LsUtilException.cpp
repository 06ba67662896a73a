#include "system/LsUtilException.h"

LsUtilException::LsUtilException(const QString& text) : message(text)
{
}
