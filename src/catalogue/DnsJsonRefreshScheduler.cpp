#include "catalogue/DnsJsonRefreshScheduler.h"

#include "catalogue/CatalogueLogging.h"
#include "catalogue/LocalDnsJsonRefresh.h"

#include <QDateTime>
#include <QDebug>

DnsJsonRefreshScheduler::DnsJsonRefreshScheduler(QObject *parent)
    : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &DnsJsonRefreshScheduler::startLookUp);
    m_firstStart.setSingleShot(true);
    connect(&m_firstStart, &QTimer::timeout, this, &DnsJsonRefreshScheduler::startTimer);
}

DnsJsonRefreshScheduler::~DnsJsonRefreshScheduler()
{
    releaseRefresh();
}

void DnsJsonRefreshScheduler::ensureRefresh()
{
    if (m_refresh)
        return;
    m_refresh = new LocalDnsJsonRefresh(m_hostNames, true, this);
    connect(m_refresh, &LocalDnsJsonRefresh::dnslookupfinished, this, &DnsJsonRefreshScheduler::onDnslookupfinished);
}

void DnsJsonRefreshScheduler::releaseRefresh()
{
    if (!m_refresh)
        return;
    disconnect(m_refresh, nullptr, this, nullptr);
    m_refresh->setStopFlag(true);
    m_refresh->deleteLater();
    m_refresh = nullptr;
}

void DnsJsonRefreshScheduler::startRefreshing()
{
    ensureRefresh();
    const qint64 age =
        QDateTime::currentMSecsSinceEpoch() - DnsJson::getLocalDnsCache().lastUpdate().toMSecsSinceEpoch();
    // A cache dated in the future waits one interval at most.
    const qint64 delay = qBound<qint64>(0, m_interval - age, m_interval);
    m_firstStart.start(static_cast<int>(delay));
}

void DnsJsonRefreshScheduler::stopRefreshing()
{
    m_firstStart.stop();
    m_timer.stop();
    if (m_refresh)
        m_refresh->setStopFlag(true);
}

int DnsJsonRefreshScheduler::pendingStartDelay() const
{
    return m_firstStart.isActive() ? m_firstStart.remainingTime() : -1;
}

void DnsJsonRefreshScheduler::startTimer()
{
    m_timer.start(m_interval);
    startLookUp();
}

void DnsJsonRefreshScheduler::startLookUp()
{
    if (m_refresh && m_refresh->isLookingUp()) {
        // A running series is left to finish: advancing it now would file the
        // answer in flight under the next host name.
        if (!m_refresh->stopFlag()) {
            qCDebug(lcCatalogue) << "DnsJsonRefreshScheduler: previous refresh still running, skipped";
            return;
        }
        // A stopped one still waiting for its answer is dropped; a fresh series starts.
        releaseRefresh();
    }
    ensureRefresh();
    m_refresh->setStopFlag(false);
    m_refresh->doNextLookUpIfNeeded();
}

void DnsJsonRefreshScheduler::onDnslookupfinished()
{
    releaseRefresh();
}
