#pragma once
#include <QObject>

class Lockable;

// One handler's claim on a Lockable, owned by it. Only its first release() or
// abort() counts.
class Lock : public QObject
{
    Q_OBJECT

public:
    explicit Lock(Lockable *lockable);

public slots:
    void abort();
    void release();

private:
    bool takeActive();
    Lockable *lockable() const;

    bool m_active = true;
};
