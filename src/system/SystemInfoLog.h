#pragma once

#include <QString>

// What the log of every run says about the machine it was written on.
class SystemInfoLog
{
public:
    // Qt's facts about the processor and the operating system, six lines.
    static void printQtSystemInfo();
    // The bundle's top directory, canonical.
    static QString bundlePath();
};
