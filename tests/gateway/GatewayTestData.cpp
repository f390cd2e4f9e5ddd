#include "GatewayTestData.h"

#include "ZoneFolder.h"

#include <QFile>
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
