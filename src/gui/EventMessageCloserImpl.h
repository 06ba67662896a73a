#pragma once

#include "gui/EventMessageCloser.h"

#include <QHash>

// Keeps the latest box of each event id until the event is reported closed.
class EventMessageCloserImpl : public EventMessageCloser
{
public:
    void registerMessageBox(quint64 eventId, const QSharedPointer<QMessageBox> &box) override;
    void closeMessageBox(quint64 eventId) override;

private:
    QHash<quint64, QSharedPointer<QMessageBox>> m_boxes;
};
