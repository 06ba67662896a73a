#include "catalogue/HalvorixServerSite.h"

#include <QDebug>

namespace {
const char* const UNKNOWN_PROTOCOL = "Error: Protocol unknown -> switching back to default value UDP";
}

QString HalvorixServerSite::toString(Protocol protocol)
{
    switch (protocol) {
    case UDP:
        return QStringLiteral("UDP");
    case TCP:
        return QStringLiteral("TCP");
    }
    qDebug() << UNKNOWN_PROTOCOL;
    return QStringLiteral("UDP");
}

HalvorixServerSite::Protocol HalvorixServerSite::fromString(const QString& text)
{
    const QString upper = text.toUpper();
    if (upper == QLatin1String("UDP"))
        return UDP;
    if (upper == QLatin1String("TCP"))
        return TCP;
    qDebug() << UNKNOWN_PROTOCOL;
    return UDP;
}
