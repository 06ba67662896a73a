#include "system/SystemInfoLog.h"

#include "system/SystemLogging.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QSysInfo>

void SystemInfoLog::printQtSystemInfo()
{
    qCDebug(lcSystem) << "Qt System Info ==>> [init]";
    qCDebug(lcSystem).noquote() << "Qt System Info ==>> currentCpuArchitecture" << QSysInfo::currentCpuArchitecture();
    qCDebug(lcSystem).noquote() << "Qt System Info ==>> prettyProductName" << QSysInfo::prettyProductName();
    qCDebug(lcSystem).noquote() << "Qt System Info ==>> productType" << QSysInfo::productType();
    qCDebug(lcSystem).noquote() << "Qt System Info ==>> productVersion" << QSysInfo::productVersion();
    qCDebug(lcSystem) << "Qt System Info ==>> [end]";
}

QString SystemInfoLog::bundlePath()
{
    return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../../")).canonicalPath();
}
