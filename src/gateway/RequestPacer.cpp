#include "RequestPacer.h"

#include <QPointer>
#include <memory>

namespace brisora::gateway {

RequestPacer::RequestPacer(std::chrono::milliseconds interval, qsizetype maxWaiting,
                           QObject* parent)
    : QObject(parent), m_interval(interval), m_maxWaiting(maxWaiting)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &RequestPacer::startDue);
}

bool RequestPacer::enqueue(Job job)
{
    if (static_cast<qsizetype>(m_waiting.size()) >= m_maxWaiting)
        return false;
    m_waiting.push_back(std::move(job));
    startDue();
    return true;
}

void RequestPacer::startDue()
{
    if (m_running || m_waiting.empty() || m_timer.isActive())
        return;
    const qint64 waitMs =
        m_sinceLastStart.isValid() ? m_interval.count() - m_sinceLastStart.elapsed() : 0;
    if (waitMs > 0) {
        m_timer.start(std::chrono::milliseconds(waitMs));
        return;
    }
    startOne();
}

void RequestPacer::startOne()
{
    Job job = std::move(m_waiting.front());
    m_waiting.pop_front();
    m_running = true;
    m_sinceLastStart.start();
    // Counted once: a second call (a job's mistake) must not let two run at once, and a
    // request that ends after the pacer is gone finds nothing to tell.
    auto called = std::make_shared<bool>(false);
    job([self = QPointer<RequestPacer>(this), called] {
        if (!self || *called)
            return;
        *called = true;
        self->m_running = false;
        // The interval has only just begun, so the next job waits for the timer and this
        // never recurses into the job that is finishing.
        self->startDue();
    });
}

} // namespace brisora::gateway
