#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace clavora::game {

// What the timer needs from its host: a monotonic millisecond clock that
// never wraps, and a pump that runs the pending user-interface events,
// waiting at most the given time for one to arrive, so an idle loop sleeps
// instead of spinning.
class TimerHost {
public:
    virtual ~TimerHost() = default;
    virtual std::int64_t nowMs() = 0;
    virtual void pumpEvents(std::int64_t maxWaitMs) = 0;
};

// The game's clock. Enabling it runs a loop inside the call that enabled it,
// firing OnTimer each time Interval milliseconds have passed since the end
// of the previous handler and running the host's events between checks; the
// call returns once the timer is disabled (by an event handler or by OnTimer
// itself). Enabling it again while its loop runs (a new game started during
// a game) only restarts the period: the running loop goes on and the call
// returns at once, so held keys or quick restarts never pile loops on the
// stack. Keep it in a shared_ptr: a running loop holds it alive until it
// returns.
class CustomTimer : public std::enable_shared_from_this<CustomTimer> {
public:
    explicit CustomTimer(std::shared_ptr<TimerHost> host);

    bool Enabled() const { return enabled_; }
    void Enabled(bool blnEnabled);
    std::int32_t Interval() const { return interval_; }
    void Interval(std::int32_t lngInterval) { interval_ = lngInterval; }
    const std::string& Tag() const { return tag_; }
    void Tag(const std::string& strTag) { tag_ = strTag; }

    std::function<void()> OnTimer;

private:
    void RunLoop();

    std::shared_ptr<TimerHost> host_;
    bool enabled_ = false;
    std::int32_t interval_ = 0;
    std::string tag_;
    std::int64_t startTick_ = 0;
    bool looping_ = false;
};

} // namespace clavora::game
