#pragma once

#include "GatewayClock.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>

namespace brisora::gateway {

/// The door to one upstream service: at most `maxInFlight` requests at once, each at least
/// `minSpacing` after the one before, the rest waiting in order. After a rate limit the
/// service can be closed (requests refused at once, until a moment of the clock), and a
/// request the service found too busy can be retried on its own. Other services have their
/// own gate, so one service's limit never holds up another.
class UpstreamGate : public QObject
{
    Q_OBJECT

public:
    struct Rules
    {
        int maxInFlight = 2;
        std::chrono::milliseconds minSpacing{0};
    };

    UpstreamGate(Rules rules, GatewayClock clock, QObject* parent = nullptr);

    /// Runs `send` from the event loop, or before this returns, once a request may go out;
    /// whoever `send` starts must call `release` exactly once when it is over. While the gate
    /// is closed, `refuse` runs instead, at once (also for requests waiting when it closes).
    void submit(std::function<void()> send, std::function<void()> refuse);

    /// Like `submit`, for a request the service refused as too busy: it goes ahead of those
    /// waiting, after `delay` (which holds them too), and alone: once nothing else is in
    /// flight, with nothing beside it until it is released.
    void submitRetry(std::function<void()> send, std::function<void()> refuse,
                     std::chrono::milliseconds delay);

    /// A request started by `send` is over; the next may go.
    void release();

    /// Refuses every request until `until` by the clock. A later close never shortens an
    /// earlier one.
    void closeUntil(const QDateTime& until);

    bool isClosed() const;
    /// The end of the latest close; invalid when the gate was never closed.
    QDateTime closedUntil() const { return m_closedUntil; }
    int inFlight() const { return m_inFlight; }
    std::size_t waiting() const { return m_waiting.size(); }

private:
    struct Request
    {
        std::function<void()> send;
        std::function<void()> refuse;
        bool alone = false;
    };

    void enqueue(Request request);
    void pump();
    void refuseWaiting();

    Rules m_rules;
    GatewayClock m_clock;
    std::deque<Request> m_waiting;
    int m_inFlight = 0;
    bool m_pumping = false;
    bool m_aloneInFlight = false;
    QDateTime m_closedUntil;
    QDeadlineTimer m_pausedUntil;
    QElapsedTimer m_sinceLastSend;
    QTimer m_wake;
};

} // namespace brisora::gateway
