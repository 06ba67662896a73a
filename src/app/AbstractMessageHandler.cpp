#include "app/AbstractMessageHandler.h"

#include <cmath>

QString AbstractMessageHandler::humanReadableByte(quint64 bytes)
{
    if (bytes <= 1023)
        return QString::asprintf("%d B", static_cast<int>(bytes));
    const double value = static_cast<double>(bytes);
    const int exponent = static_cast<int>(std::log(value) / 6.931471805599453);
    const char prefix = "KMGTPE"[exponent - 1];
    return QString::asprintf("%.3f %c%sB", value / std::pow(1024.0, exponent), prefix, "i");
}
