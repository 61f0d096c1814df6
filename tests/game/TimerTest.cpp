#include "FakeTimerHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>

using clavora::game::CustomTimer;

namespace {

class TimerTest : public testing::Test {
protected:
    std::shared_ptr<clavora::test::FakeTimerHost> host = std::make_shared<clavora::test::FakeTimerHost>();
    std::shared_ptr<CustomTimer> timer = std::make_shared<CustomTimer>(host);
};

// The handler's run time and the interval it sets; when it fired and how
// long each pass was willing to sleep.
struct PeriodCase {
    const char* name;
    std::int64_t startClock;
    std::int32_t interval, handlerRunsMs, intervalAfterFirst;
    std::vector<std::int64_t> firedAt, waits;
};

class TimerPeriod : public TimerTest, public testing::WithParamInterface<PeriodCase> { };

// The loop sleeps in the host until the next firing is due, measuring each
// interval from the end of the previous handler; the handler that disables
// the timer ends the call after one last pass that does not wait.
TEST_P(TimerPeriod, FiresNoSoonerThanTheIntervalAfterTheHandlerEnds)
{
    const PeriodCase& c = GetParam();
    host->sleeps = true;
    host->now = c.startClock;
    timer->Interval(c.interval);
    std::vector<std::int64_t> fired;
    timer->OnTimer = [&] {
        fired.push_back(host->now - c.startClock);
        host->now += c.handlerRunsMs;
        timer->Interval(c.intervalAfterFirst);
        if (fired.size() == c.firedAt.size())
            timer->Enabled(false);
    };
    host->onPump = [&] { host->now += 1; }; // other events take a little time
    timer->Enabled(true);
    EXPECT_EQ(std::tie(fired, host->waits), std::tie(c.firedAt, c.waits));
}

INSTANTIATE_TEST_SUITE_P(Timers, TimerPeriod,
    testing::Values(PeriodCase {"IntervalZeroFiresEveryPass", 0, 0, 0, 0, {0, 1, 2, 3}, {0, 0, 0, 0}},
        PeriodCase {"SlowHandlerStretchesThePeriod", 1000, 15, 10, 15, {16, 42, 68}, {15, 15, 15, 0}},
        PeriodCase {"NewIntervalAtTheNextPass", 0, 15, 0, 40, {16, 57, 98}, {15, 40, 40, 0}},
        PeriodCase {
            "ClockBeyondThirtyTwoBits", (std::int64_t {1} << 32) - 20, 15, 2, 15, {16, 34, 52}, {15, 15, 15, 0}}),
    [](const testing::TestParamInfo<PeriodCase>& info) { return info.param.name; });

// A new game started during a game enables the running timer again: the
// period starts over and the running loop carries on, however often it
// happens, instead of a second loop inside the first one's pump.
TEST_F(TimerTest, EnablingDuringItsLoopRestartsThePeriodWithoutNesting)
{
    timer->Interval(15);
    int depth = 0, deepest = 0, restarts = 0;
    std::vector<std::int64_t> fired;
    timer->OnTimer = [&] {
        fired.push_back(host->now);
        if (fired.size() == 3)
            timer->Enabled(false);
    };
    // Restarts at 5 and 10 ms; every other pass takes 1 ms.
    host->onPump = [&] {
        deepest = std::max(deepest, ++depth);
        host->now += restarts < 2 ? 5 : 1;
        if (restarts < 2) {
            ++restarts;
            timer->Enabled(true);
        }
        --depth;
    };
    timer->Enabled(true);
    EXPECT_EQ(std::tuple(deepest, fired), std::tuple(1, std::vector<std::int64_t> {25, 40, 55}));
}

// Closing the game's window releases the timer from inside its own loop:
// the loop keeps it alive until it returns.
TEST_F(TimerTest, OutlivesItsReleaseInsideTheLoop)
{
    std::weak_ptr<CustomTimer> watch = timer;
    CustomTimer* running = timer.get();
    bool aliveInLoop = false;
    host->onPump = [&] {
        timer->Enabled(false);
        timer.reset();
        aliveInLoop = !watch.expired();
    };
    running->Enabled(true);
    EXPECT_TRUE(aliveInLoop && watch.expired());
}

} // namespace
