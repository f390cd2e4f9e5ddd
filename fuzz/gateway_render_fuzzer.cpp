// libFuzzer target: the gateway's readers of upstream JSON and its two layout renderers.

#include "fuzz_check.h"

#include "FeedDocument.h"
#include "ForecastJsonReader.h"
#include "GeocodingJsonReader.h"
#include "LocalTimeFormat.h"
#include "MetNorwayForecast.h"
#include "MetNorwayJsonReader.h"
#include "NominatimJsonReader.h"
#include "PlaceSearchDocument.h"
#include "ZoneFolder.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <cstddef>
#include <cstdint>

using namespace brisora::gateway;

namespace {

const QDateTime fixedClock(QDate(2026, 12, 8), QTime(21, 53, 4), Qt::UTC);
const ZoneDatabase zones(ZoneFolder::system());

bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder(bytes);
    return !decoder.hasError();
}

void checkSearchReply(const QList<Place>& places)
{
    const QByteArray reply = renderPlaceSearchDocument(places, fixedClock);
    require(isUtf8(reply), "search reply is UTF-8");
    if (places.isEmpty())
        return;
    require(reply.size() > 1000, "a reply with a place passes the widget's size test");
    // The widget takes the first id and the locality after it, skipping 23 characters.
    const qsizetype woeid = reply.indexOf("<woeid>");
    const qsizetype locality = reply.indexOf("<locality1 type=", woeid);
    require(woeid > 0 && locality > woeid, "id before locality");
    require(reply.mid(locality, 23) == "<locality1 type=\"Town\" ", "locality type is Town");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const GeocodingReadResult search = readGeocodingSearchJson(json);
    require(search.places.has_value() || !search.error.isEmpty(), "a failed read says why");
    if (search.places) {
        require(search.places->size() <= maxSearchResults, "results are bounded");
        checkSearchReply(*search.places);
    }

    const GeocodingReadResult landmarks = readNominatimJson(json);
    require(landmarks.places.has_value() || !landmarks.error.isEmpty(), "a failed read says why");
    if (landmarks.places) {
        require(landmarks.places->size() <= maxSearchResults, "results are bounded");
        checkSearchReply(*landmarks.places);
    }

    const GeocodingReadResult single = readGeocodedPlaceJson(json);
    Place place;
    place.placeId = QStringLiteral("5000000001");
    place.name = QStringLiteral("A");
    if (single.places && !single.places->isEmpty()) {
        place = single.places->first();
        checkSearchReply(*single.places);
    }

    const ForecastReadResult forecast = readForecastJson(json, fixedClock);
    require(forecast.forecast.has_value() || !forecast.error.isEmpty(), "a failed read says why");
    if (forecast.forecast) {
        require(forecast.forecast->days.size() >= 2 &&
                    forecast.forecast->days.size() <= feedForecastDays,
                "two to five days");
        for (Units units : {Units::Metric, Units::Imperial}) {
            const QByteArray feed = renderFeedDocument(place, *forecast.forecast, units, zones);
            require(feed.size() > 2000, "a feed passes the widget's size test");
            require(isUtf8(feed), "feed is UTF-8");
            require(feed.count("yweather:forecast day=") ==
                        static_cast<qsizetype>(forecast.forecast->days.size()),
                    "one forecast element per day");
            require(feed.indexOf("<title>" + QByteArray(feedTitlePrefix)) > 0,
                    "the first title carries the fixed prefix");
        }
    }

    // MET Norway's series, read and built for the place at the fixed clock, in its zone.
    const MetNorwayReadResult series = readMetNorwayJson(json);
    require(series.steps.has_value() || !series.error.isEmpty(), "a failed read says why");
    if (series.steps) {
        const std::shared_ptr<const ZoneRules> zone = placeZone(zones, place.timeZone, 0);
        for (Units units : {Units::Metric, Units::Imperial}) {
            const ForecastReadResult built = buildMetNorwayForecast(*series.steps, {}, place, *zone,
                                                                    fixedClock, fixedClock, units);
            require(built.forecast.has_value() || !built.error.isEmpty(),
                    "a failed build says why");
            if (!built.forecast)
                continue;
            require(built.forecast->days.size() == 2, "today and tomorrow");
            const QByteArray feed = renderFeedDocument(place, *built.forecast, units, zones);
            require(feed.size() > 2000 && isUtf8(feed), "a usable feed");
        }
    }
    return 0;
}
