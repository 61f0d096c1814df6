#include "CustomTimer.h"

#include <algorithm>

namespace clavora::game {

CustomTimer::CustomTimer(std::shared_ptr<TimerHost> host)
    : host_(std::move(host))
{
}

void CustomTimer::Enabled(bool blnEnabled)
{
    enabled_ = blnEnabled;
    if (blnEnabled) {
        startTick_ = host_->nowMs();
        if (!looping_)
            RunLoop();
    }
}

void CustomTimer::RunLoop()
{
    // Whoever releases the timer while this loop waits in the pump must not
    // pull it away from under the loop.
    const std::weak_ptr<CustomTimer> weak = weak_from_this();
    const std::shared_ptr<CustomTimer> keepAlive = weak.lock();
    looping_ = true;
    struct LoopEnd {
        bool& looping;
        ~LoopEnd() { looping = false; }
    } end {looping_};
    while (enabled_) {
        const std::int64_t elapsed = host_->nowMs() - startTick_;
        if (elapsed >= interval_) {
            if (OnTimer)
                OnTimer();
            startTick_ = host_->nowMs();
        }
        std::int64_t wait = 0;
        if (enabled_)
            wait = std::max<std::int64_t>(0, std::int64_t {interval_} - (host_->nowMs() - startTick_));
        host_->pumpEvents(wait);
    }
}

} // namespace clavora::game
