#include "GatewayTestData.h"

#include "ZoneFolder.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <chrono>
#include <gtest/gtest.h>

namespace brisora::gateway::test {
namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return file.readAll();
}

} // namespace

QByteArray testData(const QString& name)
{
    return readFile(QStringLiteral(BRISORA_GATEWAY_TEST_DIR "/data/") + name);
}

QByteArray goldenFile(const QString& name)
{
    return readFile(QStringLiteral(BRISORA_GATEWAY_TEST_DIR "/golden/") + name);
}

QByteArray movedToThisHour(const QByteArray& json)
{
    const QRegularExpression utcTime(QStringLiteral("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ"));
    const QString text = QString::fromUtf8(json);
    const qsizetype firstStep = text.indexOf(QStringLiteral("\"time\":\""));
    const QRegularExpressionMatch first = utcTime.match(text, firstStep);
    EXPECT_TRUE(firstStep >= 0 && first.hasMatch()) << "no \"time\" in the document";
    const qint64 hour = QDateTime::currentSecsSinceEpoch() / 3600 * 3600;
    const qint64 shift =
        hour - QDateTime::fromString(first.captured(), Qt::ISODate).toSecsSinceEpoch();
    QString moved;
    qsizetype done = 0;
    for (const QRegularExpressionMatch& match : utcTime.globalMatch(text)) {
        moved += text.mid(done, match.capturedStart() - done) +
                 QDateTime::fromString(match.captured(), Qt::ISODate)
                     .addSecs(shift)
                     .toUTC()
                     .toString(Qt::ISODate);
        done = match.capturedEnd();
    }
    return (moved + text.mid(done)).toUtf8();
}

void expectMatchesGolden(const QByteArray& actual, const QString& name)
{
    const QString path = QStringLiteral(BRISORA_GATEWAY_TEST_DIR "/golden/") + name;
    if (qgetenv("BRISORA_UPDATE_GOLDEN") == "1") {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(actual);
        return;
    }
    const QByteArray expected = readFile(path);
    EXPECT_EQ(actual.toStdString(), expected.toStdString()) << "golden file " << path.toStdString();
}

const ZoneDatabase& systemZones()
{
    static const ZoneDatabase zones(ZoneFolder::system());
    return zones;
}

std::int64_t utcSeconds(int year, unsigned month, unsigned day, int hour, int minute, int second)
{
    using namespace std::chrono;
    const sys_seconds moment =
        sys_days(std::chrono::year(year) / std::chrono::month(month) / std::chrono::day(day)) +
        hours(hour) + minutes(minute) + seconds(second);
    return moment.time_since_epoch().count();
}

} // namespace brisora::gateway::test
