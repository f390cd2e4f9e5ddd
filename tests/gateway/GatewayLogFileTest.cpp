#include "GatewayLogFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brisora::gateway;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

} // namespace

TEST(GatewayLogFile, PastItsCapTheFileBecomesTheOlderOneAndANewOneIsBegun)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gateway/gateway.log"));
    // An hour east of UTC: the stamps are in UTC all the same.
    QDateTime now(QDate(2026, 12, 10), QTime(20, 55, 1), Qt::OffsetFromUTC, 3600);
    // A line is 28 bytes: two fit within the cap, a third does not.
    GatewayLogFile log(
        path, [&now] { return now = now.addSecs(1); }, 60);
    QString error;
    ASSERT_TRUE(log.open(error)) << error.toStdString();
    for (const char* line : {"line 1", "line 2", "line 3", "line 4", "line 5"})
        ASSERT_TRUE(log.write(QString::fromLatin1(line)));

    EXPECT_EQ(contents(path + QStringLiteral(".1")),
              "2026-12-10T19:55:04Z line 3\n2026-12-10T19:55:05Z line 4\n");
    EXPECT_EQ(contents(path), "2026-12-10T19:55:06Z line 5\n");
}
