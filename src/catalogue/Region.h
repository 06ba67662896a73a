#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

// A continent region of the server-list filter.
class Region
{
public:
    enum Value : qint32 { All = 0, Asia = 1, Europe = 2, NorthAmerica = 3, SouthAmerica = 4, Oceania = 5, Africa = 6 };

    Region() = default;
    Region(Value value);

    static QList<Region> getAllRegions();

    Value getValue() const;
    // Plain text, not translated; "Invalid name" outside the known values.
    QString getDisplayName() const;

    bool operator==(const Region &other) const;
    bool operator!=(const Region &other) const;

private:
    Value m_value = All;
};

Q_DECLARE_METATYPE(Region)
