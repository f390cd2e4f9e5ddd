#include "LocalTimeFormat.h"

#include <QTimeZone>
#include <array>
#include <cstdlib>

namespace brisora::gateway {
namespace {

constexpr std::array<const char*, 7> dayNames{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr std::array<const char*, 12> monthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A fixed offset farther from UTC than any zone's is taken for a mistake, and UTC shown.
constexpr int largestFixedOffset = 14 * 3600;

QString clockText(QTime time)
{
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QStringLiteral("%1:%2 %3")
        .arg(hour12)
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm"));
}

/// A fixed offset named "UTC", "UTC-06", "UTC+05:30" (minutes and seconds only when there
/// are any).
LocalTimeType fixedOffset(int offsetSeconds)
{
    if (offsetSeconds == 0 || offsetSeconds < -largestFixedOffset ||
        offsetSeconds > largestFixedOffset)
        return LocalTimeType{0, false, "UTC"};
    const int magnitude = std::abs(offsetSeconds);
    QString name = QStringLiteral("UTC%1%2")
                       .arg(offsetSeconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                       .arg(magnitude / 3600, 2, 10, QLatin1Char('0'));
    if (magnitude % 3600 != 0)
        name += QStringLiteral(":%1").arg(magnitude / 60 % 60, 2, 10, QLatin1Char('0'));
    if (magnitude % 60 != 0)
        name += QStringLiteral(":%1").arg(magnitude % 60, 2, 10, QLatin1Char('0'));
    return LocalTimeType{offsetSeconds, false, name.toStdString()};
}

} // namespace

std::shared_ptr<const ZoneRules> placeZone(const ZoneDatabase& zones, const QString& ianaId,
                                           int fallbackOffsetSeconds)
{
    if (std::shared_ptr<const ZoneRules> zone = zones.find(ianaId.toStdString()))
        return zone;
    return std::make_shared<const ZoneRules>(ZoneRules::fixed(fixedOffset(fallbackOffsetSeconds)));
}

QDateTime wallClock(const QDateTime& moment, const ZoneRules& zone)
{
    if (!moment.isValid())
        return {};
    return moment.toUTC().addSecs(zone.at(moment.toSecsSinceEpoch()).utcOffset);
}

QDateTime momentOf(QDate date, QTime time, const ZoneRules& zone)
{
    const QDateTime wall(date, time, QTimeZone::utc());
    if (!wall.isValid())
        return {};
    const qint64 local = wall.toSecsSinceEpoch();
    return wall.addSecs(zone.utcOfLocal(local) - local);
}

QString zoneAbbreviation(const QDateTime& moment, const ZoneRules& zone)
{
    if (!moment.isValid())
        return {};
    return QString::fromStdString(zone.at(moment.toSecsSinceEpoch()).abbreviation);
}

QString formatFeedDate(const QDateTime& moment, const ZoneRules& zone)
{
    if (!moment.isValid())
        return {};
    const QDateTime local = wallClock(moment, zone);
    const QDate date = local.date();
    return QStringLiteral("%1, %2 %3 %4 %5 %6")
        .arg(QLatin1String(shortDayName(date).toLatin1()))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(QLatin1String(monthNames[date.month() - 1]))
        .arg(date.year())
        .arg(clockText(local.time()))
        .arg(zoneAbbreviation(moment, zone));
}

QString formatClockTime(const QDateTime& moment, const ZoneRules& zone)
{
    if (!moment.isValid())
        return {};
    return clockText(wallClock(moment, zone).time());
}

QString formatShortDate(QDate date)
{
    if (!date.isValid())
        return {};
    return QStringLiteral("%1 %2 %3")
        .arg(date.day())
        .arg(QLatin1String(monthNames[date.month() - 1]))
        .arg(date.year());
}

QString shortDayName(QDate date)
{
    if (!date.isValid())
        return {};
    return QLatin1String(dayNames[date.dayOfWeek() - 1]);
}

QDateTime parseOffsetDateTime(const QString& text, int utcOffsetSeconds)
{
    const QString format = text.size() == 16 ? QStringLiteral("yyyy-MM-ddTHH:mm")
                                             : QStringLiteral("yyyy-MM-ddTHH:mm:ss");
    const QDateTime wall = QDateTime::fromString(text, format);
    if (!wall.isValid())
        return {};
    // Read as UTC, the text has no gaps or doubled hours; the offset then makes it the moment.
    return QDateTime(wall.date(), wall.time(), QTimeZone::utc()).addSecs(-utcOffsetSeconds);
}

} // namespace brisora::gateway
