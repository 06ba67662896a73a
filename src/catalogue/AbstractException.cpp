#include "catalogue/AbstractException.h"

AbstractException::AbstractException(const QString &text)
    : m_message(text)
    , m_utf8(text.toStdString())
{
}

AbstractException::~AbstractException() = default;

const char *AbstractException::what() const noexcept
{
    return m_utf8.c_str();
}

QString AbstractException::getMessage() const
{
    return m_message;
}
