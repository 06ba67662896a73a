#include "UpdateCheckWait.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

UpdateCheckWait::UpdateCheckWait(QNetworkAccessManager &manager, int boundMs)
    : m_manager(manager)
{
    m_bound.setSingleShot(true);
    connect(&m_bound, &QTimer::timeout, this, &UpdateCheckWait::settle);
    m_bound.start(boundMs);
    // The reply's own handlers run after the manager's signal and may send the
    // next request (the archive after its announcement): look once they ran.
    connect(&manager, &QNetworkAccessManager::finished, this,
            [this] { QTimer::singleShot(0, this, &UpdateCheckWait::checkRequests); });
}

void UpdateCheckWait::onNewConfigWasDownloaded()
{
    settle();
}

void UpdateCheckWait::checkRequests()
{
    const QList<QNetworkReply *> replies = m_manager.findChildren<QNetworkReply *>();
    for (const QNetworkReply *reply : replies) {
        if (reply->isRunning())
            return;
    }
    settle();
}

void UpdateCheckWait::settle()
{
    if (m_settled)
        return;
    m_settled = true;
    m_bound.stop();
    emit settled();
}
