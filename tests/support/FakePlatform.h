#pragma once
#include "platform/Platform.h"

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

    void pause(int milliseconds) override
    {
        pauses.push_back(milliseconds);
        ticks += static_cast<std::uint32_t>(milliseconds);
        if (onPause)
            onPause(milliseconds);
    }
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

private:
    bool waiting_ = false, cancelled_ = false;
};

} // namespace clavora::test
