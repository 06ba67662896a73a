#include "openvpn/Hold.h"

#include "openvpn/EngineLogging.h"
#include "openvpn/HoldLock.h"

#include <QDebug>

Hold::Hold(int number, QObject *parent)
    : Lockable(parent)
    , m_number(number)
{
    qCDebug(lcEngine) << "Hold created";
}

Hold::~Hold()
{
    qCDebug(lcEngine) << "Hold destroyed";
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
