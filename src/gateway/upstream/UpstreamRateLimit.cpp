#include "UpstreamRateLimit.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>
#include <algorithm>

namespace brisora::gateway {

QString upstreamErrorReason(QByteArrayView body)
{
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(body.data(), body.size()));
    return document.object().value(QLatin1String("reason")).toString();
}

RateLimitKind rateLimitKindOf(QByteArrayView body)
{
    const QString reason = upstreamErrorReason(body);
    if (reason.contains(QLatin1String("concurrent"), Qt::CaseInsensitive))
        return RateLimitKind::Concurrency;
    if (reason.startsWith(QLatin1String("Minutely"), Qt::CaseInsensitive))
        return RateLimitKind::Minutely;
    if (reason.startsWith(QLatin1String("Hourly"), Qt::CaseInsensitive))
        return RateLimitKind::Hourly;
    if (reason.startsWith(QLatin1String("Daily"), Qt::CaseInsensitive))
        return RateLimitKind::Daily;
    return RateLimitKind::Unknown;
}

QDateTime rateLimitEnd(RateLimitKind kind, std::optional<qint64> retryAfterSeconds,
                       const QDateTime& now, qint64 longestSeconds)
{
    const QDateTime utc = now.toUTC();
    if (retryAfterSeconds && *retryAfterSeconds >= 0)
        return utc.addSecs(std::min(*retryAfterSeconds, longestSeconds));
    const QDate today = utc.date();
    const QTime time = utc.time();
    switch (kind) {
    case RateLimitKind::Concurrency:
        return utc.addSecs(1);
    case RateLimitKind::Minutely:
        return QDateTime(today, QTime(time.hour(), time.minute()), QTimeZone::utc()).addSecs(60);
    case RateLimitKind::Hourly:
        return QDateTime(today, QTime(time.hour(), 0), QTimeZone::utc()).addSecs(3600);
    case RateLimitKind::Daily:
        return QDateTime(today.addDays(1), QTime(0, 0), QTimeZone::utc());
    case RateLimitKind::Unknown:
        break;
    }
    return utc.addSecs(60);
}

} // namespace brisora::gateway
