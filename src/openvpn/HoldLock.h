#ifndef HOLDLOCK_H
#define HOLDLOCK_H

#include <QObject>

class Hold;

// One handler's claim on a Hold. Only its first release() or abort() counts.
class HoldLock : public QObject
{
    Q_OBJECT

public:
    explicit HoldLock(Hold* hold);

public slots:
    void abort();
    void release();

public:
    virtual Hold* getHold() const;

private:
    bool takeActive();

    bool active = true;
};

#endif // HOLDLOCK_H
