#pragma once

#include <QMetaType>

// Registers a value type by name, with its operator== as QVariant's equality:
// values held as item data (combo boxes, lists) are then found and compared
// by value rather than by where the QVariant keeps them.
template<typename T>
int registerComparableMetaType(const char *name)
{
    const int id = qRegisterMetaType<T>(name);
    QMetaType::registerEqualsComparator<T>();
    return id;
}
