#pragma once

#include <QString>
#include <QtGlobal>

// Base of the objects that route Qt's log messages; each installs itself on
// construction and lives as long as the process's entry keeps it.
class AbstractMessageHandler
{
public:
    virtual ~AbstractMessageHandler() = default;

    static QString humanReadableByte(quint64 bytes);
};
