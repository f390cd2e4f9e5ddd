#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>

namespace brisora::gateway {

/// Lets requests to one upstream service go out one at a time, each started at least
/// `interval` after the one before it started, in the order they were queued. A job gets a
/// `finished` function and calls it once when its request is over (before the job returns,
/// if it sends nothing); until then no other job starts. At most `maxWaiting` jobs wait, so
/// a flood of requests is turned away at once instead of piling up behind the pace.
class RequestPacer : public QObject
{
    Q_OBJECT

public:
    using Finished = std::function<void()>;
    using Job = std::function<void(Finished finished)>;

    RequestPacer(std::chrono::milliseconds interval, qsizetype maxWaiting,
                 QObject* parent = nullptr);

    /// Queues `job`, or starts it at once when nothing runs and the interval has passed.
    /// False, and `job` is dropped uncalled, when `maxWaiting` jobs are already waiting.
    bool enqueue(Job job);

private:
    void startDue();
    void startOne();

    std::chrono::milliseconds m_interval;
    qsizetype m_maxWaiting;
    std::deque<Job> m_waiting;
    bool m_running = false;
    QElapsedTimer m_sinceLastStart; // invalid until the first start
    QTimer m_timer;
};

} // namespace brisora::gateway
