#pragma once

#include <QObject>
#include <QTimer>

class QNetworkAccessManager;

// Tells when the start-up configuration check is over: a new archive was
// installed, or every request on the shared network access manager has ended
// (the check found nothing newer, or failed), or the bound has passed.
class UpdateCheckWait : public QObject
{
    Q_OBJECT

public:
    UpdateCheckWait(QNetworkAccessManager &manager, int boundMs);

public slots:
    void onNewConfigWasDownloaded();

signals:
    void settled();

private:
    void checkRequests();
    void settle();

    QNetworkAccessManager &m_manager;
    QTimer m_bound;
    bool m_settled = false;
};
