#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace clavora {

enum class MessageIcon { Information, Exclamation };

// What the logic needs from the operating system besides MIDI: time, message
// boxes, the beep and the country code of the regional settings.
class Platform {
public:
    virtual ~Platform() = default;

    // Waits the given milliseconds while the windows keep repainting and
    // answering the desktop; keys and clicks made meanwhile are handled
    // afterwards, in order. False when the wait was cut short: the program is
    // quitting or cancelWait() was called.
    virtual bool waitDeferringInput(int milliseconds) = 0;
    // Ends a waitDeferringInput() in progress at once.
    virtual void cancelWait() { }
    // Calls `callback` once, on the calling thread's event loop, after the
    // given milliseconds, while keys and clicks go on being handled; returns
    // an id for cancelTimer(), or 0 when the callback has already run.
    virtual int startTimer(int milliseconds, std::function<void()> callback) = 0;
    // Stops a timer before it fires; an id that has fired, or 0, does nothing.
    virtual void cancelTimer(int /*id*/) { }
    // Milliseconds since an arbitrary fixed moment.
    virtual std::uint32_t tickCount() = 0;
    // A modal message box with an OK button; returns when it is closed.
    virtual void messageBox(MessageIcon icon, const std::string& title, const std::string& text) = 0;
    virtual void beep() = 0;
    // Telephone country code of the user's regional settings, 0 when unknown.
    virtual int countryCode() = 0;
};

} // namespace clavora
