#include "system/SystemPrograms.h"

#include <QCoreApplication>

QString SystemPrograms::platformBin(const QString &name)
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../Platform/bin/") + name;
}

#ifdef __APPLE__

QString SystemPrograms::networksetup()
{
    return QStringLiteral("networksetup");
}

QString SystemPrograms::systemProfiler()
{
    return QStringLiteral("system_profiler");
}

QStringList SystemPrograms::lsOptions()
{
    return {QStringLiteral("-al@RT")};
}

#else

QString SystemPrograms::networksetup()
{
    return platformBin(QStringLiteral("networksetup"));
}

QString SystemPrograms::systemProfiler()
{
    return platformBin(QStringLiteral("system_profiler"));
}

// GNU ls has no -@ and its -T takes a tab size.
QStringList SystemPrograms::lsOptions()
{
    return {QStringLiteral("-alR"), QStringLiteral("--full-time")};
}

#endif
