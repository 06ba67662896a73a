#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

class LocalDnsJsonRefresh;

// Refreshes the local DNS cache once an hour while the tunnel is up.
class DnsJsonRefreshScheduler : public QObject
{
    Q_OBJECT

public:
    explicit DnsJsonRefreshScheduler(QObject *parent = nullptr);
    ~DnsJsonRefreshScheduler() override;

    void setHostNames(const QStringList &hostNames) { m_hostNames = hostNames; }
    int interval() const { return m_interval; }
    // The delay before the first series, from the age of the cache; the series
    // then repeats every interval. Calling it again reschedules, never stacks.
    void startRefreshing();
    // Ends the series in progress after its current look-up, and withdraws any
    // scheduled start.
    void stopRefreshing();
    // Milliseconds until the first series of the last startRefreshing().
    int pendingStartDelay() const;
    bool isRepeating() const { return m_timer.isActive(); }

public slots:
    void startTimer();
    void startLookUp();
    void onDnslookupfinished();

private:
    void ensureRefresh();
    void releaseRefresh();

    QPointer<LocalDnsJsonRefresh> m_refresh;
    QStringList m_hostNames;
    QTimer m_timer;
    QTimer m_firstStart;
    const int m_interval = 3600000;
};
