#include "HttpDate.h"

#include <QLocale>
#include <QTimeZone>

namespace brisora::gateway {

QDateTime parseHttpDate(QByteArrayView text)
{
    const QString value = QString::fromLatin1(text).trimmed();
    if (value.size() != 29 || value.at(3) != QLatin1Char(',') || !value.endsWith(" GMT"))
        return {};
    // Date and time apart: read together they would be a local time, which may skip that hour.
    const QDate date = QLocale::c().toDate(value.mid(5, 11), QStringLiteral("dd MMM yyyy"));
    const QTime time = QTime::fromString(value.mid(17, 8), QStringLiteral("HH:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, QTimeZone::utc());
}

} // namespace brisora::gateway
