#include "openvpn/Hold.h"

#include "openvpn/HoldLock.h"

#include <QDebug>

Hold::Hold(int number, QObject* parent)
    : Lockable(parent)
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
    addLock();
    return new HoldLock(this);
}

void Hold::holdRelease()
{
    qDebug() << "Hold: releasing a HoldLock";
    dropLock();
}

int Hold::getNumber() const
{
    return number;
}
