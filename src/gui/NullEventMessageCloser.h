#pragma once

#include "gui/EventMessageCloser.h"

// For boxes that no event may close: keeps nothing.
class NullEventMessageCloser : public EventMessageCloser
{
public:
    void registerMessageBox(quint64, const QSharedPointer<QMessageBox> &) override {}
    void closeMessageBox(quint64) override {}
};
