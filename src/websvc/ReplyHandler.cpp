#include "websvc/ReplyHandler.h"

#include <QDebug>
#include <QNetworkReply>

ReplyHandler::ReplyHandler(QNetworkReply *reply, const QString &label, int timeout, qint64 maxSize)
    : label(label)
    , timeout(timeout)
    , reply(reply)
    , maxSize(maxSize)
{
    connect(reply, &QNetworkReply::downloadProgress, this, &ReplyHandler::onDownloadProgress);
    connect(reply, &QNetworkReply::uploadProgress, this, &ReplyHandler::onUploadProgress);
    connect(reply, &QNetworkReply::finished, this, &ReplyHandler::onRequestFinished);
    connect(reply, &QNetworkReply::readyRead, this, &ReplyHandler::onReadyRead);
    // A reply destroyed under us (its manager went away) never finishes.
    connect(reply, &QObject::destroyed, this, &QObject::deleteLater);
    connect(&timer, &QTimer::timeout, this, &ReplyHandler::onRequestTimeout);
    timer.setSingleShot(true);
    timer.start(timeout);
}

ReplyHandler::~ReplyHandler()
{
    if (reply)
        reply->deleteLater();
    reply = nullptr;
    qDebug().noquote() << label << ": " << "ReplyHandler destroyed";
}

void ReplyHandler::abort()
{
    stopReply();
}

void ReplyHandler::stopReply()
{
    qDebug().noquote() << label << ": " << "HTTP request aborted";
    if (reply)
        reply->abort();
}

void ReplyHandler::onRequestTimeout()
{
    qDebug().noquote() << label << ": " << "HTTP request timed out";
    if (reply)
        reply->abort();
}

void ReplyHandler::onDownloadProgress(qint64, qint64)
{
    qDebug().noquote() << label << ": " << "HTTP download progress";
    if (!finished)
        timer.start(timeout);
}

void ReplyHandler::onUploadProgress(qint64, qint64)
{
    qDebug().noquote() << label << ": " << "HTTP upload progress";
    if (!finished)
        timer.start(timeout);
}

bool ReplyHandler::isOverLimit() const
{
    return maxSize > 0 && buffer.size() > maxSize;
}

void ReplyHandler::onReadyRead()
{
    if (!reply)
        return;
    QByteArray chunk = reply->read(chunkSize);
    while (!chunk.isEmpty()) {
        buffer.append(chunk);
        if (isOverLimit()) {
            qDebug().noquote() << label << ": " << "Error: response size bigger than expected - aborting";
            stopReply();
            return;
        }
        chunk = reply->read(chunkSize);
    }
}

void ReplyHandler::onRequestFinished()
{
    if (finished)
        return;
    finished = true;
    timer.stop();
    if (reply->error() != QNetworkReply::NoError) {
        qDebug().noquote() << label << ": " << "HTTP request failed: " << reply->errorString();
        emit failure();
    } else {
        qDebug().noquote() << label << ": " << "HTTP request was successful";
        onReadyRead();
        // The last bytes may arrive only now, after the reply has finished,
        // when aborting no longer turns it into an error.
        if (isOverLimit())
            emit failure();
        else
            emit success(buffer);
    }
    deleteLater();
}
