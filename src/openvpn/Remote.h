#ifndef REMOTE_H
#define REMOTE_H

#include <QAtomicInt>
#include <QObject>
#include <QString>

class RemoteLock;

// The engine's ">REMOTE:" query. Handlers may change host and port and may
// lock it; when the last lock goes, exactly one of abort() or release() is
// emitted, and the answer reflects whether anything was modified.
class Remote : public QObject
{
    Q_OBJECT

public:
    Remote(const QString& host, int port, const QString& protocol);
    ~Remote() override;

    // A new active lock, owned by this remote.
    RemoteLock* getRemoteLock();
    void remoteRelease();

    QString getHost() const;
    int getPort() const;
    QString getProtocol() const;
    bool isModified() const;

    void setHost(const QString& newHost);
    void setPort(int newPort);

signals:
    void abort();
    void release();

private:
    friend class RemoteLock;

    QString host;
    int port;
    QString protocol;
    bool modified = false;
    QAtomicInt lockCount;
    bool aborted = false;
};

#endif // REMOTE_H
