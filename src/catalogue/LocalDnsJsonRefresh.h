#pragma once

#include "catalogue/DnsJson.h"

#include <QDnsLookup>
#include <QObject>
#include <QStringList>

// Looks a list of host names up one after another and records their IPv4
// addresses in the local DNS cache (dns_local.json).
class LocalDnsJsonRefresh : public QObject
{
    Q_OBJECT

public:
    // `stamp`: renew "last-update" when the whole list has been handled.
    LocalDnsJsonRefresh(const QStringList &hostNames, bool stamp, QObject *parent = nullptr);

    // Every refresh is created stopped; whoever starts it clears the flag first,
    // whoever ends it early sets it.
    void setStopFlag(bool stop) { m_stop = stop; }
    bool stopFlag() const { return m_stop; }
    // True while an answer for the current host name is awaited.
    bool isLookingUp() const { return m_started && !m_lookup.isFinished(); }

public slots:
    void doNextLookUpIfNeeded();
    void doLookUp();
    void onHostLookedUp();

signals:
    void lookingUpHostname(const QString &currentHostname, int currentIndex, int hostnameListSize);
    void dnslookupfinished();

private:
    QList<QHostAddress> addressesOfCurrentHost() const;

    DnsJson m_table;
    const QStringList m_hostNames;
    int m_next = 0;
    QString m_currentHostname;
    int m_currentIndex = 0;
    const int m_listSize;
    const bool m_stamp;
    QDnsLookup m_lookup;
    bool m_started = false;
    bool m_stop = true;
};
