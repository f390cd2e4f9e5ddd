#include "ForecastCopyStore.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTimeZone>
#include <algorithm>

namespace brisora::gateway {
namespace {

constexpr qint64 maxFileBytes = 8 * 1024 * 1024;
// Documents are large (40 to 120 kB): past this many the memory copy starts afresh, and
// the disk has them all.
constexpr qsizetype maxRemembered = 100;

bool isUsableKey(const QString& key)
{
    return !key.isEmpty() && key.size() <= 64 && std::all_of(key.cbegin(), key.cend(), [](QChar c) {
        return c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char('.') ||
               c == QLatin1Char(',');
    });
}

QString timeText(const QDateTime& time)
{
    return time.isValid() ? time.toUTC().toString(Qt::ISODateWithMs) : QString();
}

QDateTime timeOf(const QJsonValue& value)
{
    QDateTime time = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
    return time.isValid() ? time.toTimeZone(QTimeZone::utc()) : QDateTime();
}

QJsonObject toJson(const ForecastCopy& copy)
{
    QJsonArray hours;
    for (const PastHour& hour : copy.pastHours)
        hours.append(QJsonArray{timeText(hour.time), hour.temperature, hour.symbol});
    return QJsonObject{
        {QStringLiteral("lastModified"), QString::fromLatin1(copy.lastModified)},
        {QStringLiteral("expires"), timeText(copy.expires)},
        {QStringLiteral("checkedAt"), timeText(copy.checkedAt)},
        {QStringLiteral("pastHours"), hours},
        {QStringLiteral("document"), QString::fromUtf8(copy.document)},
    };
}

std::optional<ForecastCopy> fromJson(const QJsonObject& object)
{
    ForecastCopy copy;
    copy.document = object.value(QLatin1String("document")).toString().toUtf8();
    copy.lastModified = object.value(QLatin1String("lastModified")).toString().toLatin1();
    copy.expires = timeOf(object.value(QLatin1String("expires")));
    copy.checkedAt = timeOf(object.value(QLatin1String("checkedAt")));
    if (copy.document.isEmpty() || !copy.checkedAt.isValid())
        return std::nullopt;
    for (const QJsonValue& entry : object.value(QLatin1String("pastHours")).toArray()) {
        const QJsonArray hour = entry.toArray();
        const QDateTime time = timeOf(hour.at(0));
        if (time.isValid() && hour.at(1).isDouble())
            copy.pastHours.append(PastHour{time, hour.at(1).toDouble(), hour.at(2).toString()});
    }
    return copy;
}

} // namespace

ForecastCopyStore::ForecastCopyStore(QString directory) : m_directory(std::move(directory)) {}

QString ForecastCopyStore::path(const QString& key) const
{
    if (m_directory.isEmpty() || !isUsableKey(key))
        return {};
    QString name = key;
    name.replace(QLatin1Char(','), QLatin1Char('_'));
    return m_directory + QLatin1Char('/') + name + QStringLiteral(".json");
}

std::optional<ForecastCopy> ForecastCopyStore::load(const QString& key)
{
    if (const auto found = m_copies.constFind(key); found != m_copies.cend())
        return *found;
    QFile file(path(key));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly) || file.size() > maxFileBytes)
        return std::nullopt;
    std::optional<ForecastCopy> copy = fromJson(QJsonDocument::fromJson(file.readAll()).object());
    if (copy) {
        if (m_copies.size() >= maxRemembered)
            m_copies.clear();
        m_copies.insert(key, *copy);
    }
    return copy;
}

void ForecastCopyStore::save(const QString& key, const ForecastCopy& copy)
{
    if (m_copies.size() >= maxRemembered)
        m_copies.clear();
    m_copies.insert(key, copy);
    const QString target = path(key);
    if (target.isEmpty())
        return;
    QDir().mkpath(m_directory);
    QSaveFile file(target);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(toJson(copy)).toJson(QJsonDocument::Compact));
        file.commit();
    }
}

} // namespace brisora::gateway
