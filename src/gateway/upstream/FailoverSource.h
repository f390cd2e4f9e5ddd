#pragma once

#include "GatewayClock.h"
#include "GatewayLog.h"
#include "WeatherSource.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <chrono>
#include <memory>

namespace brisora::gateway {

/// Two sources as one. A forecast is asked of the first at once, and of the second as well
/// once the first has failed or has not answered within `secondAfter`; the first good
/// forecast answers, and the other call still runs to its end, its answer dropped.
///
/// A failure of the first that says it is down or holding the gateway off (unreachable, timed
/// out, a 5xx, an unreadable reply, a rate limit or a refused identification; not a rejection
/// of the one request) switches to the second: forecasts go there at once, and the first gets
/// one request again after `firstPause`, then after pauses twice as long each time it fails
/// again, at most `longestPause` apart, and never before the `closedUntil` it reported. Its first
/// good answer makes it first again. Each switch, either way, is one line in the log, with its
/// reason.
///
/// Place searches and look-ups go to the first; when it fails, to the second, of whose answers
/// only places found count: the first might have known the place, so a failure is never
/// turned into "nothing found".
class FailoverSource : public WeatherSource
{
public:
    struct Member
    {
        std::unique_ptr<WeatherSource> source;
        QString name; // as the log names it: "open-meteo"
    };
    struct Timing
    {
        std::chrono::milliseconds secondAfter{1000};
        std::chrono::milliseconds firstPause = std::chrono::minutes(1);
        std::chrono::milliseconds longestPause = std::chrono::minutes(15);
    };

    FailoverSource(Member first, Member second, GatewayClock clock, GatewayLog log, Timing timing);

    void searchPlaces(const QString& words, std::function<void(PlaceLookup)> done) override;
    void lookupPlace(const PlaceId& id, std::function<void(PlaceLookup)> done) override;
    void fetchForecast(const Place& place, Units units,
                       std::function<void(ForecastFetch)> done) override;
    bool keepsPlacesOnDisk() const override;

    /// True from a failure of the first that says it is down until its next good answer.
    bool isFirstDown() const { return m_firstDown; }

private:
    struct Call;

    void askFirst(const std::shared_ptr<Call>& call, const Place& place, Units units, bool probe);
    void askSecond(const std::shared_ptr<Call>& call, const Place& place, Units units);
    /// Answers `call` with the first good forecast, or once every source asked has failed.
    void settle(const std::shared_ptr<Call>& call, ForecastFetch fetch, bool fromFirst);
    void firstAnswered(const ForecastFetch& fetch, bool probe);
    void retryFirstAfter(const ForecastFetch& fetch);

    GatewayClock m_clock;
    GatewayLog m_log;
    Timing m_timing;
    bool m_firstDown = false;
    bool m_probeUnderWay = false; // one request at a time tries the first while it is down
    QDateTime m_downSince;
    QDateTime m_nextTry; // while down: when the first gets a request again
    std::chrono::milliseconds m_pause;
    QObject m_timerContext; // ends the waits still running when the source goes
    // Last, so they go first: no answer of theirs outlives what it reports to.
    Member m_first;
    Member m_second;
};

} // namespace brisora::gateway
