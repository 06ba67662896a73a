#include "openvpn/Hold.h"

#include "openvpn/HoldLock.h"

#include <QDebug>

Hold::Hold(int number, QObject *parent)
    : Lockable(parent)
    , m_number(number)
{
    qDebug() << "Hold created";
}

Hold::~Hold()
{
    qDebug() << "Hold destroyed";
}

HoldLock *Hold::operator()()
{
    addLock();
    return new HoldLock(this);
}

void Hold::holdRelease()
{
    dropLock();
}

int Hold::getNumber() const
{
    return m_number;
}
