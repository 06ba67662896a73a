#include "openvpn/Lockable.h"

#include "openvpn/EngineLogging.h"

#include <QDebug>

namespace {
// "Hold: releasing a HoldLock": what the log has always said.
void log(const Lockable &lockable, const char *what)
{
    const QString name = QString::fromLatin1(lockable.metaObject()->className());
    qCDebug(lcEngine).noquote() << QStringLiteral("%1: %2 %1Lock").arg(name, QLatin1String(what));
}
} // namespace

Lockable::Lockable(QObject *parent)
    : QObject(parent)
{
}

void Lockable::addLock()
{
    log(*this, "creating a new");
    m_lockCount.ref();
}

void Lockable::markAborted()
{
    m_aborted = true;
    log(*this, "aborting a");
}

void Lockable::dropLock()
{
    log(*this, "releasing a");
    if (m_lockCount.deref())
        return;
    if (m_aborted)
        emit abort();
    else
        emit release();
}
