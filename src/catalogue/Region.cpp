#include "catalogue/Region.h"

namespace {
[[maybe_unused]] const int regionMetaType = qRegisterMetaType<Region>("Region");
}

Region::Region(Value value)
    : m_value(value)
{
}

QList<Region> Region::getAllRegions()
{
    return {All, Asia, Europe, NorthAmerica, SouthAmerica, Oceania, Africa};
}

Region::Value Region::getValue() const
{
    return m_value;
}

QString Region::getDisplayName() const
{
    switch (m_value) {
    case All: return QStringLiteral("All");
    case Asia: return QStringLiteral("Asia");
    case Europe: return QStringLiteral("Europe");
    case NorthAmerica: return QStringLiteral("North America");
    case SouthAmerica: return QStringLiteral("South America");
    case Oceania: return QStringLiteral("Oceania");
    case Africa: return QStringLiteral("Africa");
    }
    return QStringLiteral("Invalid name");
}

bool Region::operator==(const Region &other) const
{
    return m_value == other.m_value;
}

bool Region::operator!=(const Region &other) const
{
    return !(*this == other);
}
