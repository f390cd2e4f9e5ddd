#include "FailoverSource.h"

#include <QTimer>
#include <algorithm>

namespace brisora::gateway {
namespace {

/// After the first failed: the second's places, or else the first's failure.
PlaceLookup foundOr(PlaceLookup second, PlaceLookup firstFailure)
{
    return second.outcome == PlaceLookup::Outcome::Found ? std::move(second)
                                                         : std::move(firstFailure);
}

/// Whether a failure says the source is down or holding the gateway off, so that forecasts go
/// elsewhere until it is tried again; a rejection of one request says it is there.
bool saysDown(ForecastFetch::Failure failure)
{
    switch (failure) {
    case ForecastFetch::Failure::Rejected:
        return false;
    case ForecastFetch::Failure::None: // no forecast, and no reason: nothing to count on
    case ForecastFetch::Failure::Unreachable:
    case ForecastFetch::Failure::TimedOut:
    case ForecastFetch::Failure::RateLimited:
    case ForecastFetch::Failure::Refused:
    case ForecastFetch::Failure::ServerError:
    case ForecastFetch::Failure::Unreadable:
        break;
    }
    return true;
}

QString seconds(std::chrono::milliseconds span)
{
    return QStringLiteral("%1 s").arg(
        std::chrono::duration_cast<std::chrono::seconds>(span).count());
}

} // namespace

/// One forecast asked of one or both sources; answered once.
struct FailoverSource::Call
{
    std::function<void(ForecastFetch)> done;
    bool answered = false;
    bool secondAsked = false;
    int running = 0; // source calls not back yet
    std::optional<ForecastFetch> failure;
};

FailoverSource::FailoverSource(Member first, Member second, GatewayClock clock, GatewayLog log,
                               Timing timing)
    : m_clock(std::move(clock)), m_log(std::move(log)), m_timing(timing),
      m_pause(timing.firstPause), m_first(std::move(first)), m_second(std::move(second))
{
}

bool FailoverSource::keepsPlacesOnDisk() const
{
    return m_first.source->keepsPlacesOnDisk() || m_second.source->keepsPlacesOnDisk();
}

void FailoverSource::searchPlaces(const QString& words, std::function<void(PlaceLookup)> done)
{
    m_first.source->searchPlaces(words, [this, words, done = std::move(done)](PlaceLookup first) {
        if (first.outcome != PlaceLookup::Outcome::Failed) {
            done(std::move(first));
            return;
        }
        m_second.source->searchPlaces(words, [first = std::move(first), done](PlaceLookup second) {
            done(foundOr(std::move(second), first));
        });
    });
}

void FailoverSource::lookupPlace(const PlaceId& id, std::function<void(PlaceLookup)> done)
{
    m_first.source->lookupPlace(id, [this, id, done = std::move(done)](PlaceLookup first) {
        if (first.outcome != PlaceLookup::Outcome::Failed) {
            done(std::move(first));
            return;
        }
        m_second.source->lookupPlace(id, [first = std::move(first), done](PlaceLookup second) {
            done(foundOr(std::move(second), first));
        });
    });
}

void FailoverSource::fetchForecast(const Place& place, Units units,
                                   std::function<void(ForecastFetch)> done)
{
    auto call = std::make_shared<Call>();
    call->done = std::move(done);
    if (m_firstDown && (m_probeUnderWay || m_clock() < m_nextTry)) {
        askSecond(call, place, units);
        return;
    }
    askFirst(call, place, units, m_firstDown);
    if (call->answered || call->secondAsked)
        return;
    QTimer::singleShot(m_timing.secondAfter, &m_timerContext, [this, call, place, units] {
        if (!call->answered && !call->secondAsked)
            askSecond(call, place, units);
    });
}

void FailoverSource::askFirst(const std::shared_ptr<Call>& call, const Place& place, Units units,
                              bool probe)
{
    if (probe)
        m_probeUnderWay = true;
    ++call->running;
    m_first.source->fetchForecast(place, units,
                                  [this, call, place, units, probe](ForecastFetch fetch) {
                                      --call->running;
                                      firstAnswered(fetch, probe);
                                      const bool failed = !fetch.forecast;
                                      settle(call, std::move(fetch), true);
                                      if (failed && !call->answered && !call->secondAsked)
                                          askSecond(call, place, units);
                                  });
}

void FailoverSource::askSecond(const std::shared_ptr<Call>& call, const Place& place, Units units)
{
    call->secondAsked = true;
    ++call->running;
    m_second.source->fetchForecast(place, units, [this, call](ForecastFetch fetch) {
        --call->running;
        settle(call, std::move(fetch), false);
    });
}

void FailoverSource::settle(const std::shared_ptr<Call>& call, ForecastFetch fetch, bool fromFirst)
{
    if (call->answered)
        return;
    if (fetch.forecast) {
        call->answered = true;
        call->done(std::move(fetch));
        return;
    }
    fetch.error = (fromFirst ? m_first.name : m_second.name) + QStringLiteral(": ") + fetch.error;
    if (call->failure)
        call->failure->error += QStringLiteral("; ") + fetch.error;
    else
        call->failure = std::move(fetch);
    // A first that failed brings the second in before anything is decided.
    if (call->running == 0 && call->secondAsked) {
        call->answered = true;
        call->done(std::move(*call->failure));
    }
}

void FailoverSource::firstAnswered(const ForecastFetch& fetch, bool probe)
{
    if (probe)
        m_probeUnderWay = false;
    if (fetch.forecast) {
        if (m_firstDown) {
            m_firstDown = false;
            m_pause = m_timing.firstPause;
            m_log.write(QStringLiteral("forecasts from %1 again: it answered, %2 after it failed")
                            .arg(m_first.name, seconds(std::chrono::milliseconds(
                                                   m_downSince.msecsTo(m_clock())))));
        }
        return;
    }
    if (!saysDown(fetch.failure)) {
        // An error for this one request: the source is there. A try while it is down still
        // counts as one.
        if (probe)
            m_nextTry = m_clock().addMSecs(m_pause.count());
        return;
    }
    if (!m_firstDown) {
        m_firstDown = true;
        m_downSince = m_clock();
        m_pause = m_timing.firstPause;
        retryFirstAfter(fetch);
        const QString next = m_nextTry > m_clock().addMSecs(m_pause.count())
                                 ? QStringLiteral("at ") + m_nextTry.toUTC().toString(Qt::ISODate)
                                 : QStringLiteral("in ") + seconds(m_pause);
        m_log.write(QStringLiteral("forecasts from %1 now: %2 failed (%3); asking %2 again %4")
                        .arg(m_second.name, m_first.name, fetch.error, next));
    } else if (probe) {
        m_pause = std::min(m_pause * 2, m_timing.longestPause);
        retryFirstAfter(fetch);
    } else if (fetch.closedUntil > m_nextTry) {
        // Sent before the switch, it still tells how long the back-off lasts.
        m_nextTry = fetch.closedUntil;
    }
}

void FailoverSource::retryFirstAfter(const ForecastFetch& fetch)
{
    m_nextTry = m_clock().addMSecs(m_pause.count());
    if (fetch.closedUntil.isValid() && fetch.closedUntil > m_nextTry)
        m_nextTry = fetch.closedUntil;
}

} // namespace brisora::gateway
