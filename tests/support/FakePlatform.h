#pragma once
#include "platform/Platform.h"

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace clavora::test {

// Records what the logic asks of the platform; never sleeps or shows a box.
class FakePlatform final : public Platform {
public:
    struct Box {
        MessageIcon icon;
        std::string title, text;
    };

    bool waitDeferringInput(int milliseconds) override
    {
        waits.push_back(milliseconds);
        ticks += static_cast<std::uint32_t>(milliseconds);
        waiting_ = true;
        if (onWait)
            onWait(milliseconds);
        waiting_ = false;
        return !std::exchange(cancelled_, false);
    }
    void cancelWait() override { cancelled_ = cancelled_ || waiting_; }
    // Timers wait in place (recorded as pauses) unless `heldTimers` is set:
    // they then fire only when advance() moves the clock past them.
    int startTimer(int milliseconds, std::function<void()> callback) override
    {
        if (!heldTimers) {
            pauses.push_back(milliseconds);
            ticks += static_cast<std::uint32_t>(milliseconds);
            if (onPause)
                onPause(milliseconds);
            callback();
            return 0;
        }
        timers_.push_back({++lastTimer_, ticks + static_cast<std::uint32_t>(milliseconds), std::move(callback)});
        return lastTimer_;
    }
    void cancelTimer(int id) override
    {
        std::erase_if(timers_, [id](const Timer& t) { return t.id == id; });
    }
    // Moves the clock on, firing each timer that falls due at its own tick,
    // earliest first (in the order started when two fall due together).
    void advance(int milliseconds)
    {
        const std::uint32_t end = ticks + static_cast<std::uint32_t>(milliseconds);
        for (;;) {
            auto due = std::min_element(timers_.begin(), timers_.end(),
                [](const Timer& a, const Timer& b) { return a.due < b.due || (a.due == b.due && a.id < b.id); });
            if (due == timers_.end() || due->due > end)
                break;
            ticks = due->due;
            const std::function<void()> callback = std::move(due->callback);
            timers_.erase(due);
            callback();
        }
        ticks = end;
    }
    std::size_t runningTimers() const { return timers_.size(); }
    std::uint32_t tickCount() override { return ticks; }
    void messageBox(MessageIcon icon, const std::string& title, const std::string& text) override
    {
        boxes.push_back({icon, title, text});
    }
    void beep() override { ++beeps; }
    int countryCode() override { return country; }

    std::vector<int> pauses;
    std::vector<int> waits; // waits that keep the windows painting
    std::vector<Box> boxes;
    int beeps = 0, country = 0;
    std::uint32_t ticks = 0;
    std::function<void(int)> onPause, onWait; // onWait runs while a wait is in progress
    bool heldTimers = false;

private:
    struct Timer {
        int id;
        std::uint32_t due;
        std::function<void()> callback;
    };
    std::vector<Timer> timers_;
    int lastTimer_ = 0;
    bool waiting_ = false, cancelled_ = false;
};

} // namespace clavora::test
