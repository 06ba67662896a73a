#include "catalogue/AbstractException.h"

AbstractException::AbstractException(const QString &text)
    : message(text)
    , utf8(text.toStdString())
{
}

AbstractException::~AbstractException() = default;

const char *AbstractException::what() const noexcept
{
    return utf8.c_str();
}

QString AbstractException::getMessage() const
{
    return message;
}
