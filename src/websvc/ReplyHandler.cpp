#include "websvc/ReplyHandler.h"

#include "websvc/WebsvcLogging.h"

#include <QDebug>
#include <QNetworkReply>

ReplyHandler::ReplyHandler(QNetworkReply *reply, const QString &label, int timeout, qint64 maxSize)
    : m_label(label)
    , m_timeout(timeout)
    , m_reply(reply)
    , m_maxSize(maxSize)
{
    connect(reply, &QNetworkReply::downloadProgress, this, &ReplyHandler::onDownloadProgress);
    connect(reply, &QNetworkReply::uploadProgress, this, &ReplyHandler::onUploadProgress);
    connect(reply, &QNetworkReply::finished, this, &ReplyHandler::onRequestFinished);
    connect(reply, &QNetworkReply::readyRead, this, &ReplyHandler::onReadyRead);
    // A reply destroyed under us (its manager went away) never finishes.
    connect(reply, &QObject::destroyed, this, &QObject::deleteLater);
    connect(&m_timer, &QTimer::timeout, this, &ReplyHandler::onRequestTimeout);
    m_timer.setSingleShot(true);
    m_timer.start(timeout);
}

ReplyHandler::~ReplyHandler()
{
    if (m_reply)
        m_reply->deleteLater();
    m_reply = nullptr;
    qCDebug(lcWebsvc).noquote() << m_label << ": "
                                << "ReplyHandler destroyed";
}

void ReplyHandler::abort()
{
    stopReply();
}

void ReplyHandler::stopReply()
{
    qCDebug(lcWebsvc).noquote() << m_label << ": "
                                << "HTTP request aborted";
    if (m_reply)
        m_reply->abort();
}

void ReplyHandler::onRequestTimeout()
{
    qCDebug(lcWebsvc).noquote() << m_label << ": "
                                << "HTTP request timed out";
    if (m_reply)
        m_reply->abort();
}

void ReplyHandler::onDownloadProgress(qint64, qint64)
{
    qCDebug(lcWebsvc).noquote() << m_label << ": "
                                << "HTTP download progress";
    if (!m_finished)
        m_timer.start(m_timeout);
}

void ReplyHandler::onUploadProgress(qint64, qint64)
{
    qCDebug(lcWebsvc).noquote() << m_label << ": "
                                << "HTTP upload progress";
    if (!m_finished)
        m_timer.start(m_timeout);
}

bool ReplyHandler::isOverLimit() const
{
    return m_maxSize > 0 && m_buffer.size() > m_maxSize;
}

void ReplyHandler::onReadyRead()
{
    if (!m_reply)
        return;
    QByteArray chunk = m_reply->read(m_chunkSize);
    while (!chunk.isEmpty()) {
        m_buffer.append(chunk);
        if (isOverLimit()) {
            qCDebug(lcWebsvc).noquote() << m_label << ": "
                                        << "Error: response size bigger than expected - aborting";
            stopReply();
            return;
        }
        chunk = m_reply->read(m_chunkSize);
    }
}

void ReplyHandler::onRequestFinished()
{
    if (m_finished)
        return;
    m_finished = true;
    m_timer.stop();
    if (m_reply->error() != QNetworkReply::NoError) {
        qCDebug(lcWebsvc).noquote() << m_label << ": "
                                    << "HTTP request failed: " << m_reply->errorString();
        emit failure();
    } else {
        qCDebug(lcWebsvc).noquote() << m_label << ": "
                                    << "HTTP request was successful";
        onReadyRead();
        // The last bytes may arrive only now, after the reply has finished,
        // when aborting no longer turns it into an error.
        if (isOverLimit())
            emit failure();
        else
            emit success(m_buffer);
    }
    deleteLater();
}
