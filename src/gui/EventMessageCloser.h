#pragma once

#include <QSharedPointer>
#include <QtGlobal>

class QMessageBox;

// Receives every message box built for a backend event, so that the box can be
// closed once the backend reports the event done.
class EventMessageCloser
{
public:
    virtual ~EventMessageCloser() = default;

    virtual void registerMessageBox(quint64 eventId, const QSharedPointer<QMessageBox> &box) = 0;
    virtual void closeMessageBox(quint64 eventId) = 0;
};
