#include "system/SystemInfoCollection.h"

#include "system/LsUtil.h"
#include "system/LsUtilException.h"
#include "system/SystemInfoLog.h"
#include "system/SystemLogging.h"
#include "system/SystemProfiler.h"
#include "system/SystemPrograms.h"

#include <QDebug>
#include <QTimer>

SystemInfoCollection::Programs SystemInfoCollection::systemPrograms()
{
    return {SystemPrograms::systemProfiler(),
            {QStringLiteral("/sbin/ls"), QStringLiteral("/bin/ls")},
            SystemInfoLog::bundlePath(),
            30};
}

SystemInfoCollection::SystemInfoCollection(const Programs &programs, QObject *parent)
    : QObject(parent)
    , m_programs(programs)
{
}

SystemInfoCollection::~SystemInfoCollection() = default;

void SystemInfoCollection::start()
{
    if (m_started)
        return;
    m_started = true;
    if (!lcSystem().isDebugEnabled()) {
        QTimer::singleShot(0, this, &SystemInfoCollection::finished);
        return;
    }
    qCDebug(lcSystem) << "Printing System Info";
    SystemInfoLog::printQtSystemInfo();
    m_profiler.reset(new SystemProfiler(SystemProfiler::Mini,
                                        {QStringLiteral("SPHardwareDataType"), QStringLiteral("SPSoftwareDataType"),
                                         QStringLiteral("SPNetworkDataType")},
                                        m_programs.systemProfiler, m_programs.timeoutSeconds));
    connect(m_profiler.data(), &SystemProfiler::finished, this, &SystemInfoCollection::listBundle);
    m_profiler->execute();
}

void SystemInfoCollection::listBundle()
{
    try {
        m_ls.reset(new LsUtil(m_programs.lsCandidates, m_programs.timeoutSeconds));
    } catch (const LsUtilException &e) {
        qCDebug(lcSystem).noquote() << "LsUtil failed:" << e.text();
        emit finished();
        return;
    }
    connect(m_ls.data(), &LsUtil::finished, this, &SystemInfoCollection::finished);
    m_ls->applyLsToPath(m_programs.bundle);
}
