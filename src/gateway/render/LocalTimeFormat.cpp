#include "LocalTimeFormat.h"

#include <array>

namespace brisora::gateway {
namespace {

constexpr std::array<const char*, 7> dayNames{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr std::array<const char*, 12> monthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

QString clockText(QTime time)
{
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QStringLiteral("%1:%2 %3")
        .arg(hour12)
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm"));
}

} // namespace

QTimeZone placeZone(const QString& ianaId, int fallbackOffsetSeconds)
{
    if (!ianaId.isEmpty()) {
        QTimeZone zone(ianaId.toUtf8());
        if (zone.isValid())
            return zone;
    }
    if (fallbackOffsetSeconds == 0)
        return QTimeZone::utc();
    QTimeZone fixed(fallbackOffsetSeconds);
    return fixed.isValid() ? fixed : QTimeZone::utc();
}

QString formatFeedDate(const QDateTime& moment, const QTimeZone& zone)
{
    if (!moment.isValid())
        return {};
    const QDateTime local = moment.toTimeZone(zone);
    const QDate date = local.date();
    return QStringLiteral("%1, %2 %3 %4 %5 %6")
        .arg(QLatin1String(shortDayName(date).toLatin1()))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(QLatin1String(monthNames[date.month() - 1]))
        .arg(date.year())
        .arg(clockText(local.time()))
        .arg(zone.abbreviation(local));
}

QString formatClockTime(const QDateTime& moment, const QTimeZone& zone)
{
    if (!moment.isValid())
        return {};
    return clockText(moment.toTimeZone(zone).time());
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
