#pragma once

#include <QtGlobal>

// Lets pending user-interface events run from inside a long operation.
class EventPump
{
public:
    virtual ~EventPump() = default;
    virtual void letEventsRun() = 0;
};

// Runs the application's pending events, but at most about once a frame: a long list then keeps
// painting and answering clicks without paying for an event pass per entry.
class QtEventPump final : public EventPump
{
public:
    void letEventsRun() override;

private:
    qint64 m_lastRunMs = -1;
};
