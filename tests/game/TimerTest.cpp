#include "FakeTimerHost.h"
#include "game/CustomTimer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using clavora::game::CustomTimer;
using clavora::test::FakeTimerHost;

namespace {

class TimerTest : public testing::Test {
protected:
    std::shared_ptr<FakeTimerHost> host = std::make_shared<FakeTimerHost>();
    std::shared_ptr<CustomTimer> timer = std::make_shared<CustomTimer>(host);
    std::vector<std::int64_t> firedAt;

    void recordFirings(int stopAfter)
    {
        timer->OnTimer = [this, stopAfter] {
            firedAt.push_back(host->now);
            if (static_cast<int>(firedAt.size()) == stopAfter)
                timer->Enabled(false);
        };
    }
};

TEST_F(TimerTest, IntervalZeroFiresOnEveryPass)
{
    recordFirings(5);
    host->onPump = [this] { host->now += 1; };
    timer->Enabled(true);
    EXPECT_EQ(firedAt, (std::vector<std::int64_t>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(timer->Enabled());
}

TEST_F(TimerTest, DisablingInsideTheHandlerEndsTheCallAfterThatPass)
{
    host->sleeps = true;
    timer->Interval(15);
    recordFirings(3);
    timer->Enabled(true);
    EXPECT_EQ(firedAt.size(), 3u);
    EXPECT_EQ(host->passes, 4);
}

TEST_F(TimerTest, EventsThatDisableTheTimerEndTheLoopWithoutFiring)
{
    timer->Interval(15);
    recordFirings(100);
    host->onPump = [this] { timer->Enabled(false); };
    timer->Enabled(true);
    EXPECT_TRUE(firedAt.empty());
    EXPECT_EQ(host->passes, 1);
}

struct PeriodCase {
    const char* name;
    std::int64_t startClock;
    std::int32_t interval;
    std::int64_t handlerRunsMs;     // the handler's own run time
    std::int32_t intervalAfterFirst; // set by the first firing's handler
    std::vector<std::int64_t> firedAt;
};

class TimerPeriod : public testing::TestWithParam<PeriodCase> {};

// The loop waits in the host until the next firing is due, and measures each
// interval from the end of the previous handler.
TEST_P(TimerPeriod, FiresNoSoonerThanTheIntervalAfterTheHandlerEnds)
{
    const PeriodCase& c = GetParam();
    auto host = std::make_shared<FakeTimerHost>();
    host->sleeps = true;
    host->now = c.startClock;
    auto timer = std::make_shared<CustomTimer>(host);
    timer->Interval(c.interval);
    std::vector<std::int64_t> fired;
    timer->OnTimer = [&] {
        fired.push_back(host->now - c.startClock);
        host->now += c.handlerRunsMs;
        if (fired.size() == 1)
            timer->Interval(c.intervalAfterFirst);
        if (fired.size() == c.firedAt.size())
            timer->Enabled(false);
    };
    host->onPump = [&] { host->now += 1; }; // other events take a little time
    timer->Enabled(true);
    EXPECT_EQ(fired, c.firedAt);
    for (std::int64_t wait : host->waits)
        EXPECT_LE(wait, std::max<std::int64_t>(c.interval, c.intervalAfterFirst));
}

INSTANTIATE_TEST_SUITE_P(
    Timers, TimerPeriod,
    testing::Values(PeriodCase{"Steady", 1000, 15, 0, 15, {16, 32, 48}},
                    PeriodCase{"SlowHandlerStretchesThePeriod", 1000, 15, 10, 15, {16, 42, 68}},
                    PeriodCase{"NewIntervalAtTheNextPass", 0, 15, 0, 40, {16, 57, 98}},
                    PeriodCase{"ClockBeyondThirtyOneBits", (std::int64_t{1} << 31) - 20, 15, 0, 15, {16, 32, 48, 64}},
                    PeriodCase{"ClockBeyondThirtyTwoBits", (std::int64_t{1} << 32) - 20, 15, 2, 15, {16, 34, 52}}),
    [](const testing::TestParamInfo<PeriodCase>& info) { return info.param.name; });

TEST_F(TimerTest, IdleLoopWaitsForTheNextFiringInsteadOfSpinning)
{
    host->sleeps = true;
    timer->Interval(15);
    recordFirings(4);
    timer->Enabled(true);
    // One pass per firing: after each firing the loop waits the whole
    // interval, and not at all once disabled.
    EXPECT_EQ(host->waits, (std::vector<std::int64_t>{15, 15, 15, 15, 0}));
    EXPECT_EQ(firedAt, (std::vector<std::int64_t>{15, 30, 45, 60}));
}

// Enabling the timer again from an event inside its loop runs a second loop
// inside the first; when that one is disabled both calls return.
TEST_F(TimerTest, EnablingAgainInsideTheLoopNestsAndBothReturn)
{
    host->sleeps = true;
    timer->Interval(10);
    int depth = 0;
    int deepest = 0;
    int firings = 0;
    timer->OnTimer = [&] {
        ++firings;
        if (firings == 6)
            timer->Enabled(false);
    };
    host->onPump = [&] {
        if (host->passes == 2) {
            ++depth;
            deepest = std::max(deepest, depth);
            timer->Enabled(true); // returns only when the inner loop ends
            --depth;
        }
    };
    timer->Enabled(true);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(firings, 6);
    EXPECT_FALSE(timer->Enabled());
    // The outer loop did not fire again after the inner one returned.
    EXPECT_EQ(host->passes, 8);
}

TEST_F(TimerTest, ReleasedWhileItsLoopRunsStaysAliveUntilTheLoopReturns)
{
    std::weak_ptr<CustomTimer> watch = timer;
    CustomTimer* running = timer.get();
    host->onPump = [&] {
        timer->Enabled(false);
        timer.reset();
        EXPECT_FALSE(watch.expired());
    };
    running->Enabled(true);
    EXPECT_TRUE(watch.expired());
}

} // namespace
