#include "openvpn/Hold.h"

#include "openvpn/HoldLock.h"

#include <QDebug>

Hold::Hold(int number, QObject* parent)
    : QObject(parent)
    , number(number)
{
    qDebug() << "Hold created";
}

Hold::~Hold()
{
    qDebug() << "Hold destroyed";
}

HoldLock* Hold::operator()()
{
    qDebug() << "Hold: creating a new HoldLock";
    lockCount.ref();
    return new HoldLock(this);
}

void Hold::holdRelease()
{
    qDebug() << "Hold: releasing a HoldLock";
    if (lockCount.deref())
        return;
    if (aborted)
        emit abort();
    else
        emit release();
}

int Hold::getNumber() const
{
    return number;
}
