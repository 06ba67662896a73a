#pragma once
#include <QAtomicInt>
#include <QObject>

class Lock;

// Something the engine waits on while handlers hold locks on it (a hold, a
// remote query). When the last lock goes, exactly one of abort() - when any
// lock aborted - or release() is emitted.
class Lockable : public QObject
{
    Q_OBJECT

public:
    explicit Lockable(QObject *parent = nullptr);

signals:
    void abort();
    void release();

protected:
    void addLock();
    // One lock goes; the last one emits the outcome.
    void dropLock();

private:
    friend class Lock;

    // Makes the outcome an abort, whatever the other locks do.
    void markAborted();

    QAtomicInt m_lockCount;
    bool m_aborted = false;
};
