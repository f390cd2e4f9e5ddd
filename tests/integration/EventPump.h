#pragma once
// Runs the test thread's event loop for socket events while keeping every timer of the code
// under test from firing: the tests deliver the 100 ms ticks by hand, so a real tick slipping
// in would throw the count off.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>

#include <chrono>
#include <thread>

namespace brisora::test {

/// Drops the timer events of the test thread's objects while it is installed. Filtering
/// rather than QEventLoop::X11ExcludeTimers, which only some event dispatchers honour (not
/// Windows'). The scripted peers' own timers run in their threads and are not touched.
class TimerEventDrop final : public QObject
{
public:
    TimerEventDrop() { QCoreApplication::instance()->installEventFilter(this); }
    ~TimerEventDrop() override { QCoreApplication::instance()->removeEventFilter(this); }

    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Timer; }
};

/// One pass over what is waiting (socket notifiers, queued calls, host look-up results),
/// timers left out. Deferred deletes are flushed too: the tests run no exec() of their own,
/// and without it the sockets that the client drops would only pile up.
inline void pumpOnce()
{
    const TimerEventDrop noTimers;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

/// Pumps until `done()` holds or `timeoutMs` has passed; returns `done()`.
template <typename Predicate> bool pumpUntil(Predicate done, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() >= timeoutMs)
            return done();
        pumpOnce();
        // Poll cadence only; nothing here waits on the code's timing.
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
}

/// Pumps for `ms` milliseconds, whatever happens.
inline void pumpFor(int ms)
{
    pumpUntil([] { return false; }, ms);
}

} // namespace brisora::test
