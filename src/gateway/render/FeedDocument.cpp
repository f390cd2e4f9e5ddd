#include "FeedDocument.h"

#include "LocalTimeFormat.h"
#include "OsmAttribution.h"
#include "TrimmedDecimal.h"
#include "WeatherCondition.h"
#include "XmlEscape.h"
#include "XmlPadding.h"

#include <cmath>

namespace brisora::gateway {
namespace {

constexpr char documentHead[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n"
    "<rss version=\"2.0\" xmlns:yweather=\"http://xml.weather.yahoo.com/ns/rss/1.0\" "
    "xmlns:geo=\"http://www.w3.org/2003/01/geo/wgs84_pos#\">\n"
    "<channel>\n";

/// Where a forecast's data came from, as the feed links and credits it.
struct DataCredit
{
    const char* link;     // the channel's, the image's and the item's link
    const char* linkText; // the summary's link
    const char* credit;
};

// Both licences (CC BY 4.0, and NLOD 2.0 for MET Norway's) ask for the credit, a link to the
// licence and a note that the data was changed.
constexpr DataCredit openMeteoCredit{"https://open-meteo.com/", "Full Forecast at Open-Meteo.com",
                                     "Weather data by Open-Meteo.com, licensed CC BY 4.0 "
                                     "(https://creativecommons.org/licenses/by/4.0/); "
                                     "values rounded and re-laid-out by Brisora"};
constexpr DataCredit metNorwayCredit{
    "https://api.met.no/", "Full Forecast at MET Norway",
    "Weather data by MET Norway, CC BY 4.0 and NLOD 2.0; values rounded and re-laid-out by "
    "Brisora. Licences: https://api.met.no/doc/License"};

const DataCredit& dataCredit(const Forecast& forecast)
{
    return forecast.origin == ForecastOrigin::MetNorway ? metNorwayCredit : openMeteoCredit;
}

constexpr double metresPerMile = 1609.344;
constexpr double inchesOfMercuryPerHpa = 0.029529983;

QString whole(double value)
{
    return QString::number(std::lround(value));
}

/// At most `decimals` decimals, trailing zeros dropped, never "-0".
QString decimal(double value, int decimals)
{
    return trimmedDecimal(QString::number(value, 'f', decimals));
}

template <typename Format> QString optionalText(const std::optional<double>& value, Format format)
{
    return value ? format(*value) : QString();
}

struct UnitNames
{
    QLatin1String temperature, distance, pressure, speed;
};

UnitNames unitNames(Units units)
{
    if (units == Units::Metric)
        return {QLatin1String("C"), QLatin1String("km"), QLatin1String("mb"),
                QLatin1String("km/h")};
    return {QLatin1String("F"), QLatin1String("mi"), QLatin1String("in"), QLatin1String("mph")};
}

QString visibilityText(const std::optional<double>& metres, Units units)
{
    return optionalText(metres, [units](double m) {
        return decimal(units == Units::Metric ? m / 1000 : m / metresPerMile, 2);
    });
}

QString pressureText(const std::optional<double>& hPa, Units units)
{
    return optionalText(hPa, [units](double p) {
        return units == Units::Metric ? decimal(p, 1) : decimal(p * inchesOfMercuryPerHpa, 2);
    });
}

/// A day is shown by its daytime look.
WeatherCondition dayCondition(const ForecastDay& day)
{
    return conditionFor(day.weatherCode, day.metSymbol, true);
}

QString forecastDayLine(const ForecastDay& day)
{
    const WeatherCondition condition = dayCondition(day);
    return QStringLiteral("<yweather:forecast day=\"%1\" date=\"%2\" low=\"%3\" high=\"%4\" "
                          "text=\"%5\" code=\"%6\" />\n")
        .arg(shortDayName(day.date), formatShortDate(day.date), whole(day.low), whole(day.high),
             QString(condition.text), QString::number(condition.code));
}

/// The data's credits: the weather's, and OpenStreetMap's for a place from there.
QString creditText(const Place& place, const Forecast& forecast)
{
    QString text = QLatin1String(dataCredit(forecast).credit);
    if (isOpenStreetMapPlace(place))
        text += QStringLiteral(". ") + QString::fromUtf8(openStreetMapCredit);
    return text;
}

QString summaryLines(const Place& place, const Forecast& forecast, const WeatherCondition& now,
                     Units units)
{
    QString lines = QStringLiteral("<description><![CDATA[\n"
                                   "<b>Current Conditions:</b><br />\n"
                                   "%1, %2 %3<BR />\n"
                                   "<BR /><b>Forecast:</b><BR />\n")
                        .arg(QString(now.text), whole(forecast.current.temperature),
                             unitNames(units).temperature);
    for (const ForecastDay& day : forecast.days) {
        lines += QStringLiteral("%1 - %2. High: %3 Low: %4<br />\n")
                     .arg(shortDayName(day.date), QString(dayCondition(day).text), whole(day.high),
                          whole(day.low));
    }
    const DataCredit& credit = dataCredit(forecast);
    lines += QStringLiteral("<br />\n<a href=\"%1\">%2</a><BR/><BR/>\n%3<br/>\n]]></description>\n")
                 .arg(QLatin1String(credit.link), QLatin1String(credit.linkText),
                      forecast.isDemo ? QStringLiteral("Demo data, made up offline: not a forecast")
                                      : creditText(place, forecast));
    return lines;
}

} // namespace

QString feedPlaceTitle(const Place& place, bool isDemo)
{
    QString title = place.name;
    // An OpenStreetMap place's name already ends in its town ("Eiffel Tower, Paris").
    if (!isOpenStreetMapPlace(place)) {
        if (!place.admin1.isEmpty() && place.admin1 != place.name)
            title += QStringLiteral(", ") + place.admin1;
        else if (!place.countryCode.isEmpty())
            title += QStringLiteral(", ") + place.countryCode;
    }
    if (isDemo)
        title += QStringLiteral(" (demo)");
    return title;
}

QByteArray renderFeedDocument(const Place& place, const Forecast& forecast, Units units,
                              const ZoneDatabase& zones)
{
    std::shared_ptr<const ZoneRules> placeRules = zones.find(place.timeZone.toStdString());
    if (!placeRules)
        placeRules = placeZone(zones, forecast.timeZone, forecast.utcOffsetSeconds);
    const ZoneRules& zone = *placeRules;
    const UnitNames names = unitNames(units);
    const CurrentConditions& current = forecast.current;
    const WeatherCondition now =
        conditionFor(current.weatherCode, current.metSymbol, current.isDay);
    const QLatin1String sourceLink(dataCredit(forecast).link);
    const QString title = escapeXml(feedPlaceTitle(place, forecast.isDemo));
    const QString built = formatFeedDate(forecast.builtAt, zone);
    const QString observed = formatFeedDate(current.observedAt, zone);
    const QString description =
        forecast.isDemo
            ? QStringLiteral("Brisora demo weather for %1: made up offline, not a forecast")
                  .arg(title)
            : QStringLiteral("Brisora Weather for %1. %2.").arg(title, creditText(place, forecast));

    QString text = QLatin1String(documentHead);
    text += QStringLiteral("<title>%1%2</title>\n").arg(QLatin1String(feedTitlePrefix), title);
    text += QStringLiteral("<link>%1</link>\n").arg(sourceLink);
    text += QStringLiteral("<description>%1</description>\n").arg(description);
    text += QStringLiteral("<language>en-us</language>\n");
    text += QStringLiteral("<lastBuildDate>%1</lastBuildDate>\n").arg(built);
    text += QStringLiteral("<ttl>60</ttl>\n");
    text += QStringLiteral("<yweather:location city=\"%1\" region=\"%2\"   country=\"%3\"/>\n")
                .arg(escapeXml(place.name), escapeXml(place.admin1), escapeXml(place.countryCode));
    text += QStringLiteral("<yweather:units temperature=\"%1\" distance=\"%2\" pressure=\"%3\" "
                           "speed=\"%4\"/>\n")
                .arg(names.temperature, names.distance, names.pressure, names.speed);
    text += QStringLiteral("<yweather:wind chill=\"%1\"   direction=\"%2\"   speed=\"%3\" />\n")
                .arg(whole(current.apparentTemperature), optionalText(current.windDirection, whole),
                     whole(current.windSpeed));
    // The source gives no pressure trend, so the feed says "steady" (0).
    text += QStringLiteral("<yweather:atmosphere humidity=\"%1\"  visibility=\"%2\"  "
                           "pressure=\"%3\"  rising=\"0\" />\n")
                .arg(optionalText(current.humidity, whole),
                     visibilityText(current.visibilityMetres, units),
                     pressureText(current.pressureHpa, units));
    text += QStringLiteral("<yweather:astronomy sunrise=\"%1\"   sunset=\"%2\"/>\n")
                .arg(forecast.sunrise ? formatClockTime(*forecast.sunrise, zone) : QString(),
                     forecast.sunset ? formatClockTime(*forecast.sunset, zone) : QString());
    text += QStringLiteral("<image>\n<title>Brisora Weather</title>\n<width>142</width>\n"
                           "<height>18</height>\n<link>%1</link>\n<url>%1favicon.ico</url>\n"
                           "</image>\n")
                .arg(sourceLink);
    text += QStringLiteral("<item>\n<title>Conditions for %1 at %2</title>\n")
                .arg(title, formatClockTime(current.observedAt, zone) + QLatin1Char(' ') +
                                zoneAbbreviation(current.observedAt, zone));
    text += QStringLiteral("<geo:lat>%1</geo:lat>\n<geo:long>%2</geo:long>\n")
                .arg(decimal(place.latitude, 4), decimal(place.longitude, 4));
    text += QStringLiteral("<link>%1</link>\n<pubDate>%2</pubDate>\n").arg(sourceLink, observed);
    text += QStringLiteral("<yweather:condition  text=\"%1\"  code=\"%2\"  temp=\"%3\"  "
                           "date=\"%4\" />\n")
                .arg(QString(now.text), QString::number(now.code), whole(current.temperature),
                     observed);
    text += summaryLines(place, forecast, now, units);
    for (const ForecastDay& day : forecast.days)
        text += forecastDayLine(day);
    text += QStringLiteral("<guid isPermaLink=\"false\">%1_%2_%3</guid>\n")
                .arg(escapeXml(place.placeId),
                     forecast.builtAt.toUTC().toString(QStringLiteral("yyyy_MM_dd_HH_mm")),
                     units == Units::Metric ? QStringLiteral("c") : QStringLiteral("f"));
    text += QStringLiteral("</item>\n</channel>\n</rss>\n");
    QByteArray document = text.toUtf8();
    padWithComment(document, minimumFeedBytes);
    return document;
}

QByteArray renderCityNotFoundDocument(const QString& placeIdText, Units units)
{
    QString text = QLatin1String(documentHead);
    text += QStringLiteral("<title>%1Error</title>\n").arg(QLatin1String(feedTitlePrefix));
    text += QStringLiteral("<description>Brisora Weather Error</description>\n");
    text += QStringLiteral("<item><title>City not found</title><description>\n"
                           "Invalid Input /forecastrss?w=%1%2\n"
                           "</description></item></channel></rss>\n")
                .arg(escapeXml(placeIdText.left(64)),
                     units == Units::Metric ? QStringLiteral("&amp;u=c") : QString());
    return text.toUtf8();
}

} // namespace brisora::gateway
