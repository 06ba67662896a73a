#pragma once
#include <QSharedPointer>
#include <QtGlobal>

class ConnectionParameters;

// Base of every message from the backend to the frontends. Each message gets
// a process-wide identifier at construction, so a frontend can later be told
// to close what it showed for it; copies keep the identifier.
class EventMessage
{
public:
    explicit EventMessage(QSharedPointer<ConnectionParameters> parameters);
    virtual ~EventMessage();

    EventMessage(const EventMessage &) = default;
    EventMessage &operator=(const EventMessage &) = default;

    quint64 getId() const;
    QSharedPointer<ConnectionParameters> getConnectionParameters() const;

    // Returns the next identifier; the first one handed out is 0.
    static quint64 generateEventId();
    // The identifier the next message will get, without taking it: every
    // message made before this call has a smaller one.
    static quint64 peekNextEventId();

private:
    quint64 m_id;
    QSharedPointer<ConnectionParameters> m_parameters;
};
