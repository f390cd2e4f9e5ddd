#include "SolarEvents.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace brisora::gateway {
namespace {

constexpr double degree = std::numbers::pi / 180;

double sinDeg(double degrees)
{
    return std::sin(degrees * degree);
}

double cosDeg(double degrees)
{
    return std::cos(degrees * degree);
}

/// The sun as NOAA's formulas give it for one moment.
struct SunPosition
{
    double declination = 0;    // degrees
    double equationOfTime = 0; // minutes, true solar time less mean solar time
};

SunPosition sunAt(const QDateTime& moment)
{
    const double julianDay = moment.toMSecsSinceEpoch() / 86'400'000.0 + 2'440'587.5;
    const double t = (julianDay - 2'451'545) / 36'525; // Julian centuries since J2000.0
    const double meanLongitude = std::fmod(280.46646 + t * (36'000.76983 + t * 0.0003032), 360);
    const double meanAnomaly = 357.52911 + t * (35'999.05029 - 0.0001537 * t);
    const double eccentricity = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
    const double centre = sinDeg(meanAnomaly) * (1.914602 - t * (0.004817 + 0.000014 * t)) +
                          sinDeg(2 * meanAnomaly) * (0.019993 - 0.000101 * t) +
                          sinDeg(3 * meanAnomaly) * 0.000289;
    const double omega = 125.04 - 1934.136 * t;
    const double apparentLongitude = meanLongitude + centre - 0.00569 - 0.00478 * sinDeg(omega);
    const double meanObliquity =
        23 + (26 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60) / 60;
    const double obliquity = meanObliquity + 0.00256 * cosDeg(omega);
    const double y = std::pow(std::tan(obliquity * degree / 2), 2);

    SunPosition sun;
    sun.declination = std::asin(sinDeg(obliquity) * sinDeg(apparentLongitude)) / degree;
    sun.equationOfTime = 4 / degree *
                         (y * sinDeg(2 * meanLongitude) - 2 * eccentricity * sinDeg(meanAnomaly) +
                          4 * eccentricity * y * sinDeg(meanAnomaly) * cosDeg(2 * meanLongitude) -
                          0.5 * y * y * sinDeg(4 * meanLongitude) -
                          1.25 * eccentricity * eccentricity * sinDeg(2 * meanAnomaly));
    return sun;
}

/// The cosine of the hour angle at which the sun's centre stands at the horizon elevation;
/// beyond [-1, 1] it never gets there that day.
double horizonHourAngleCosine(double latitude, double declination)
{
    return (sinDeg(horizonElevation) - sinDeg(latitude) * sinDeg(declination)) /
           (cosDeg(latitude) * cosDeg(declination));
}

/// The moment of solar noon nearest `moment` at `longitude`.
QDateTime solarNoonNear(const QDateTime& moment, double longitude)
{
    // Mean solar noon first: where mean solar time (UTC shifted by 4 minutes a degree) is 12:00.
    const qint64 day = 86'400;
    const qint64 meanSolarSeconds =
        moment.toSecsSinceEpoch() + std::llround(longitude * 240) - day / 2;
    const qint64 fromNoon = ((meanSolarSeconds % day) + day + day / 2) % day - day / 2;
    const QDateTime meanNoon = moment.addSecs(-fromNoon);
    // Then true solar noon, the equation of time taken again at the noon it gave.
    QDateTime noon = meanNoon;
    for (int pass = 0; pass < 2; ++pass)
        noon = meanNoon.addMSecs(-std::llround(sunAt(noon).equationOfTime * 60'000));
    return noon;
}

/// The moment the sun crosses the horizon elevation before (`side` -1) or after (+1) `noon`,
/// each pass taking the sun's declination at the last estimate, as NOAA's calculator does.
std::optional<QDateTime> crossing(const QDateTime& noon, int side, double latitude)
{
    QDateTime estimate = noon;
    for (int pass = 0; pass < 3; ++pass) {
        const double cosine = horizonHourAngleCosine(latitude, sunAt(estimate).declination);
        if (cosine < -1 || cosine > 1)
            return std::nullopt;
        const double hourAngle = std::acos(cosine) / degree;
        estimate = noon.addMSecs(side * std::llround(hourAngle * 240'000));
    }
    return estimate;
}

} // namespace

SolarEvents solarEventsAround(const QDateTime& localNoon, double latitude, double longitude)
{
    const QDateTime noon = solarNoonNear(localNoon, longitude);
    SolarEvents events;
    events.sunrise = crossing(noon, -1, latitude);
    events.sunset = crossing(noon, +1, latitude);
    if (!events.sunrise || !events.sunset) {
        // A day where one crossing exists and the other not is the edge of a polar season;
        // the sun's height at noon says which.
        events.sunrise.reset();
        events.sunset.reset();
        events.sunStaysUp = solarElevation(noon, latitude, longitude) > horizonElevation;
    }
    return events;
}

double solarElevation(const QDateTime& moment, double latitude, double longitude)
{
    const SunPosition sun = sunAt(moment);
    const QDateTime utc = moment.toUTC();
    const double utcMinutes = utc.time().msecsSinceStartOfDay() / 60'000.0;
    const double trueSolarMinutes = utcMinutes + sun.equationOfTime + 4 * longitude;
    const double hourAngle = trueSolarMinutes / 4 - 180;
    const double cosZenith = sinDeg(latitude) * sinDeg(sun.declination) +
                             cosDeg(latitude) * cosDeg(sun.declination) * cosDeg(hourAngle);
    return 90 - std::acos(std::clamp(cosZenith, -1.0, 1.0)) / degree;
}

} // namespace brisora::gateway
