#include "system/SystemInfoLog.h"

#include "system/LsUtil.h"
#include "system/LsUtilException.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QSysInfo>

void SystemInfoLog::printQtSystemInfo()
{
    qDebug() << "Qt System Info ==>> [init]";
    qDebug().noquote() << "Qt System Info ==>> currentCpuArchitecture" << QSysInfo::currentCpuArchitecture();
    qDebug().noquote() << "Qt System Info ==>> prettyProductName" << QSysInfo::prettyProductName();
    qDebug().noquote() << "Qt System Info ==>> productType" << QSysInfo::productType();
    qDebug().noquote() << "Qt System Info ==>> productVersion" << QSysInfo::productVersion();
    qDebug() << "Qt System Info ==>> [end]";
}

QString SystemInfoLog::bundlePath()
{
    return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../../")).canonicalPath();
}

void SystemInfoLog::printBundleLs()
{
    try {
        LsUtil ls;
        ls.applyLsToPath(bundlePath());
    } catch (const LsUtilException &e) {
        qDebug().noquote() << "LsUtil failed:" << e.text();
    }
}
