#pragma once

#include "integration/EventPump.h"

#include <QElapsedTimer>

#include <algorithm>

namespace brisora::test {

/// Keeps the longest time that any one measured call held the user-interface thread: a
/// handler or an event pass that blocks (a name look-up, a connect that waits) shows here.
class SlowestCall
{
public:
    template <typename Call> void measure(Call&& call)
    {
        QElapsedTimer clock;
        clock.start();
        call();
        slowestMs_ = std::max(slowestMs_, clock.elapsed());
    }
    /// Pumps events, each pass measured, until `done()` holds or `timeoutMs` has passed.
    template <typename Predicate> bool pumpUntil(Predicate done, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < timeoutMs)
            measure(pumpOnce);
        return done();
    }
    qint64 slowestMs() const { return slowestMs_; }

private:
    qint64 slowestMs_ = 0;
};

} // namespace brisora::test
