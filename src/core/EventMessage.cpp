#include "core/EventMessage.h"

#include <atomic>

namespace {
// Messages are made on the main thread only; the atomic merely keeps a stray
// caller elsewhere from ever handing out one identifier twice.
std::atomic<quint64> globalEventId {0};
} // namespace

EventMessage::EventMessage(QSharedPointer<ConnectionParameters> parameters)
    : m_id(generateEventId())
    , m_parameters(std::move(parameters))
{
}

EventMessage::~EventMessage() = default;

quint64 EventMessage::getId() const
{
    return m_id;
}

QSharedPointer<ConnectionParameters> EventMessage::getConnectionParameters() const
{
    return m_parameters;
}

quint64 EventMessage::generateEventId()
{
    return globalEventId.fetch_add(1);
}

quint64 EventMessage::peekNextEventId()
{
    return globalEventId.load();
}
