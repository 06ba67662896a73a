#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QNetworkReply;

// Wraps one HTTP request already started by a client: collects the body in
// chunks, fails on inactivity or an oversized body, and ends with exactly one
// success() or failure(). It takes the reply and deletes itself and the reply
// once the request is over, so callers must not keep it past either signal.
class ReplyHandler : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 CHUNK_SIZE = 4096;

    // timeout: milliseconds of silence before the request is aborted.
    // maxSize: largest body accepted in bytes; 0 or less means no limit.
    ReplyHandler(QNetworkReply *reply, const QString &label, int timeout, qint64 maxSize);
    ~ReplyHandler() override;

    int getTimeout() const { return m_timeout; }
    qint64 getMaxSize() const { return m_maxSize; }

    // Ends the request; its failure() follows from the aborted reply.
    void abort();

signals:
    void failure();
    void success(QByteArray body);

private slots:
    void onRequestTimeout();
    void onDownloadProgress(qint64 bytesReceived, qint64 bytesTotal);
    void onUploadProgress(qint64 bytesSent, qint64 bytesTotal);
    void onReadyRead();
    void onRequestFinished();

private:
    bool isOverLimit() const;
    void stopReply();

    QString m_label;
    int m_timeout;
    QTimer m_timer;
    QPointer<QNetworkReply> m_reply;
    qint64 m_maxSize;
    qint64 m_chunkSize = CHUNK_SIZE;
    QByteArray m_buffer;
    bool m_finished = false;
};
