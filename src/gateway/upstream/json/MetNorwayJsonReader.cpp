#include "MetNorwayJsonReader.h"

#include "JsonNumber.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QTimeZone>
#include <cmath>

namespace brisora::gateway {
namespace {

QString symbolOf(const QJsonObject& data, QLatin1String period)
{
    // No symbol is longer than 40 characters; a longer text is none of them.
    return data.value(period)
        .toObject()
        .value(QLatin1String("summary"))
        .toObject()
        .value(QLatin1String("symbol_code"))
        .toString()
        .left(40);
}

QDateTime timeOf(const QJsonValue& value)
{
    const QString text = value.toString();
    if (text.size() != 20 || !text.endsWith(QLatin1Char('Z')))
        return {};
    // Date and time apart: read together they would be the system's local time, which may
    // skip that hour.
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(text.mid(11, 8), QStringLiteral("HH:mm:ss"));
    if (!date.isValid() || !time.isValid() || text.at(10) != QLatin1Char('T'))
        return {};
    return QDateTime(date, time, QTimeZone::utc());
}

MetNorwayReadResult failure(QString why)
{
    return MetNorwayReadResult{std::nullopt, std::move(why)};
}

} // namespace

MetNorwayReadResult readMetNorwayJson(QByteArrayView json)
{
    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(json.data(), json.size()), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return failure(QStringLiteral("malformed JSON: ") + parseError.errorString());
    const QJsonArray series = document.object()
                                  .value(QLatin1String("properties"))
                                  .toObject()
                                  .value(QLatin1String("timeseries"))
                                  .toArray();
    if (series.isEmpty())
        return failure(QStringLiteral("forecast has no time series"));

    QList<MetNorwayStep> steps;
    steps.reserve(series.size());
    for (const QJsonValue& entry : series) {
        const QJsonObject object = entry.toObject();
        MetNorwayStep step;
        step.time = timeOf(object.value(QLatin1String("time")));
        if (!step.time.isValid())
            return failure(QStringLiteral("forecast step without a readable time"));
        if (!steps.isEmpty() && step.time <= steps.last().time)
            return failure(QStringLiteral("forecast steps out of order"));
        const QJsonObject data = object.value(QLatin1String("data")).toObject();
        const QJsonObject details = data.value(QLatin1String("instant"))
                                        .toObject()
                                        .value(QLatin1String("details"))
                                        .toObject();
        step.temperature = jsonNumberIn(details.value(QLatin1String("air_temperature")), -100, 70);
        step.humidity = jsonNumberIn(details.value(QLatin1String("relative_humidity")), 0, 100);
        step.pressureHpa =
            jsonNumberIn(details.value(QLatin1String("air_pressure_at_sea_level")), 300, 1200);
        step.windSpeed = jsonNumberIn(details.value(QLatin1String("wind_speed")), 0, 200);
        step.windDirection =
            jsonNumberIn(details.value(QLatin1String("wind_from_direction")), 0, 360);
        step.nextHourSymbol = symbolOf(data, QLatin1String("next_1_hours"));
        step.nextSixHoursSymbol = symbolOf(data, QLatin1String("next_6_hours"));
        steps.append(std::move(step));
    }
    return MetNorwayReadResult{std::move(steps), {}};
}

} // namespace brisora::gateway
