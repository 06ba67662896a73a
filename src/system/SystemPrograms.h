#pragma once

#include <QString>
#include <QStringList>

// Where the system programs that the system layer runs are, and the options
// that differ between platforms; chosen at compile time. On macOS the system's
// own programs; elsewhere the bundle's stand-ins for those macOS lacks.
class SystemPrograms
{
public:
    static QString networksetup();
    static QString systemProfiler();
    // Recursive long listing with all entries and full times (and extended
    // attributes where the platform's ls shows them).
    static QStringList lsOptions();

private:
    static QString platformBin(const QString &name);
};
