#ifndef REMOTELOCK_H
#define REMOTELOCK_H

#include <QObject>

class Remote;

// One handler's claim on a Remote. Only its first release() or abort() counts.
class RemoteLock : public QObject
{
    Q_OBJECT

public:
    explicit RemoteLock(Remote* remote);

public slots:
    void abort();
    void release();

public:
    virtual Remote* getRemote() const;

private:
    bool takeActive();

    bool active = true;
};

#endif // REMOTELOCK_H
