#pragma once
#include "game/CustomTimer.h"

#include <functional>
#include <stdexcept>
#include <vector>

namespace clavora::test {

// A timer host with a clock the test sets. Each pass of a timer loop calls
// pumpEvents, which records how long the loop was willing to wait, moves the
// clock on by that wait when `sleeps` is set (as a real wait would), and
// runs `onPump`, where tests act as the user's events would.
struct FakeTimerHost final : game::TimerHost {
    std::int64_t nowMs() override { return now; }
    void pumpEvents(std::int64_t maxWaitMs) override
    {
        if (++passes > maxPasses)
            throw std::runtime_error("timer loop did not end");
        waits.push_back(maxWaitMs);
        now += sleeps ? maxWaitMs : 0;
        if (onPump)
            onPump();
    }

    std::int64_t now = 0;
    bool sleeps = false;
    int passes = 0, maxPasses = 1'000'000;
    std::vector<std::int64_t> waits;
    std::function<void()> onPump;
};

} // namespace clavora::test
