#include "UpstreamGate.h"

#include <algorithm>

namespace brisora::gateway {

UpstreamGate::UpstreamGate(Rules rules, GatewayClock clock, QObject* parent)
    : QObject(parent), m_rules(rules), m_clock(std::move(clock))
{
    m_rules.maxInFlight = std::max(1, m_rules.maxInFlight);
    m_wake.setSingleShot(true);
    connect(&m_wake, &QTimer::timeout, this, &UpstreamGate::pump);
}

bool UpstreamGate::isClosed() const
{
    return m_closedUntil.isValid() && m_clock() < m_closedUntil;
}

void UpstreamGate::submit(std::function<void()> send, std::function<void()> refuse)
{
    enqueue(Request{std::move(send), std::move(refuse), false});
}

void UpstreamGate::submitRetry(std::function<void()> send, std::function<void()> refuse,
                               std::chrono::milliseconds delay)
{
    const QDeadlineTimer until(delay);
    if (until.deadline() > m_pausedUntil.deadline())
        m_pausedUntil = until;
    enqueue(Request{std::move(send), std::move(refuse), true});
}

void UpstreamGate::enqueue(Request request)
{
    if (isClosed()) {
        request.refuse();
        return;
    }
    if (request.alone)
        m_waiting.push_front(std::move(request));
    else
        m_waiting.push_back(std::move(request));
    pump();
}

void UpstreamGate::release()
{
    if (m_inFlight > 0)
        --m_inFlight;
    if (m_inFlight == 0)
        m_aloneInFlight = false;
    pump();
}

void UpstreamGate::closeUntil(const QDateTime& until)
{
    if (!m_closedUntil.isValid() || until > m_closedUntil)
        m_closedUntil = until;
    refuseWaiting();
}

void UpstreamGate::refuseWaiting()
{
    // Taken out first: a refusal may bring the next request straight back in.
    std::deque<Request> refused;
    refused.swap(m_waiting);
    for (const Request& request : refused)
        request.refuse();
}

void UpstreamGate::pump()
{
    // A send that ends at once calls release, which lands here again: the outer loop goes on.
    if (m_pumping)
        return;
    m_pumping = true;
    while (!m_waiting.empty() && m_inFlight < m_rules.maxInFlight && !m_aloneInFlight) {
        if (isClosed()) {
            refuseWaiting();
            break;
        }
        std::chrono::milliseconds wait{0};
        if (!m_pausedUntil.hasExpired())
            wait = std::chrono::milliseconds(m_pausedUntil.remainingTime());
        if (m_sinceLastSend.isValid())
            wait = std::max(wait, m_rules.minSpacing -
                                      std::chrono::milliseconds(m_sinceLastSend.elapsed()));
        if (wait.count() > 0) {
            if (!m_wake.isActive() || m_wake.remainingTime() > wait.count())
                m_wake.start(wait);
            break;
        }
        if (m_waiting.front().alone && m_inFlight > 0)
            break; // goes when the last one in flight is released
        Request request = std::move(m_waiting.front());
        m_waiting.pop_front();
        ++m_inFlight;
        m_aloneInFlight = request.alone;
        m_sinceLastSend.start();
        request.send();
    }
    m_pumping = false;
}

} // namespace brisora::gateway
