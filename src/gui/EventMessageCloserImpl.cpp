#include "gui/EventMessageCloserImpl.h"

#include <QMessageBox>

void EventMessageCloserImpl::registerMessageBox(quint64 eventId, const QSharedPointer<QMessageBox> &box)
{
    m_boxes.insert(eventId, box);
}

void EventMessageCloserImpl::closeMessageBox(quint64 eventId)
{
    const QSharedPointer<QMessageBox> box = m_boxes.take(eventId);
    if (box)
        box->close();
}
