// The system's own handover channel under the one-program rule, in one process: a later start
// finds the lock taken and knocks, and the running one hears every knock from its event loop;
// a channel that nobody serves, or another user's of the same name, reaches no one.
#include "integration/EventPump.h"

#include "SingleInstance.h"
#include "support/SystemHandoverChannel.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace brisora;
using namespace brisora::test;

TEST(HandoverChannelTest, ALaterStartKnocksAndTheRunningOneHearsEachKnock)
{
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QString settings = runtime.filePath(QStringLiteral("brisora.conf"));
    const auto serving = makeSystemHandoverChannel();
    int knocks = 0;
    QObject::connect(serving.get(), &HandoverChannel::knocked, [&] { ++knocks; });
    SingleInstance running(settings, runtime.path(), *serving);
    ASSERT_TRUE(running.claim());

    const auto knocking = makeSystemHandoverChannel();
    SingleInstance later(settings, runtime.path(), *knocking);
    EXPECT_FALSE(later.claim()) << "the running one holds the lock";
    for (int start = 1; start <= 3; ++start) {
        ASSERT_TRUE(later.handOver()) << "start " << start;
        EXPECT_EQ(knocks, start - 1) << "heard from the event loop, not inside the knock";
        ASSERT_TRUE(pumpUntil([&] { return knocks == start; })) << "start " << start;
    }
    pumpFor(50);
    EXPECT_EQ(knocks, 3) << "one knock is heard once";
}

TEST(HandoverChannelTest, AKnockReachesOnlyTheProgramServingThatVeryName)
{
    QTemporaryDir mine;
    QTemporaryDir theirs; // another user's folder, with a channel of the same file name
    ASSERT_TRUE(mine.isValid() && theirs.isValid());
    const QString name = mine.filePath(QStringLiteral("brisora-0123456789abcdef.socket"));
    const QString theirName = theirs.filePath(QStringLiteral("brisora-0123456789abcdef.socket"));
    const auto knocking = makeSystemHandoverChannel();
    EXPECT_FALSE(knocking->knock(name)) << "nobody serves it yet";
    {
        const auto serving = makeSystemHandoverChannel();
        ASSERT_TRUE(serving->listen(theirName));
        EXPECT_FALSE(knocking->knock(name));
        EXPECT_TRUE(knocking->knock(theirName));
    }
    EXPECT_FALSE(knocking->knock(theirName)) << "a program that has ended is reached no more";
}
