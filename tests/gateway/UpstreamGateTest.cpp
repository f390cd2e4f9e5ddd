#include "UpstreamGate.h"
#include "ServiceTestSupport.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace brisora::gateway;
using namespace brisora::gateway::test;
using namespace std::chrono_literals;

namespace {

/// A gate whose requests the test ends by hand, with a clock it moves by hand.
class Gate : public ::testing::Test
{
protected:
    void submit(UpstreamGate& gate, int id)
    {
        gate.submit([this, id] { sent.append(id); }, [this, id] { refused.append(id); });
    }

    QDateTime now{QDate(2026, 12, 8), QTime(21, 53, 4), Qt::UTC};
    GatewayClock clock = [this] { return now; };
    QList<int> sent;
    QList<int> refused;
};

} // namespace

TEST_F(Gate, KeepsTheLimitInFlightAndTheOrderOfTheRest)
{
    UpstreamGate gate({2, 0ms}, clock);
    for (int id = 1; id <= 5; ++id)
        submit(gate, id);
    EXPECT_EQ(sent, (QList<int>{1, 2}));
    EXPECT_EQ(gate.waiting(), 3u);
    gate.release();
    EXPECT_EQ(sent, (QList<int>{1, 2, 3}));

    // A retry goes first, after its delay, and alone: only once both in flight are over.
    gate.submitRetry([this] { sent.append(9); }, [] {}, 30ms);
    gate.release();
    EXPECT_EQ(sent, (QList<int>{1, 2, 3}));
    gate.release();
    ASSERT_TRUE(runUntil([this] { return sent.size() == 4; }));
    EXPECT_EQ(sent.last(), 9);
    runUntil([] { return false; }, 60);
    EXPECT_EQ(sent.size(), 4); // nothing beside it
    gate.release();
    EXPECT_EQ(sent, (QList<int>{1, 2, 3, 9, 4, 5}));
}

TEST_F(Gate, ClosedRefusesWaitingAndNewRequestsUntilItsTime)
{
    UpstreamGate gate({1, 0ms}, clock);
    submit(gate, 1);
    submit(gate, 2);
    gate.closeUntil(now.addSecs(60));
    gate.closeUntil(now.addSecs(1)); // never shortened
    submit(gate, 3);
    EXPECT_EQ(refused, (QList<int>{2, 3}));
    gate.release();
    now = now.addSecs(59);
    EXPECT_TRUE(gate.isClosed());
    now = now.addSecs(1);
    submit(gate, 4);
    EXPECT_EQ(sent, (QList<int>{1, 4}));
}

TEST_F(Gate, KeepsTheSpacingBetweenRequests)
{
    UpstreamGate gate({1, 80ms}, clock);
    QElapsedTimer elapsed;
    QList<qint64> sentAt;
    elapsed.start();
    for (int id = 0; id < 3; ++id)
        gate.submit(
            [&] {
                sentAt.append(elapsed.elapsed());
                gate.release();
            },
            [] {});
    ASSERT_TRUE(runUntil([&] { return sentAt.size() == 3; }));
    EXPECT_GE(sentAt[1] - sentAt[0], 79);
    EXPECT_GE(sentAt[2] - sentAt[1], 79);
}
