#pragma once
// Calls into a library that may never come back: a sound server that is
// stopped or hung keeps its client library waiting for its answer, and a
// JACK client that dies while it holds the lock of JACK's shared metadata
// store leaves every later client of any program waiting for that lock for
// good. Such a call is made on a thread of its own and waited for a bounded
// time; while one has not come back, the same kind of call is not made
// again, so that no other thread of ours is caught in it.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace clavora {

class PatientCall {
public:
    explicit PatientCall(std::chrono::milliseconds patience);

    // The call's answer; nothing when it did not come back within the
    // patience (`late` is then set, when given), or an earlier call still
    // has not (the call is not made). A call that comes back late lets the
    // next ones through again.
    std::optional<bool> run(std::function<bool()> call, bool* late = nullptr);
    // Whether a call is out that did not come back in time.
    bool stuck() const;

private:
    struct Calls {
        std::mutex mutex;
        std::condition_variable answered;
        int late = 0;
    };

    std::chrono::milliseconds patience_;
    // Shared with the threads of calls that are late, which may outlive this.
    std::shared_ptr<Calls> calls_ = std::make_shared<Calls>();
};

// Opens something (a client, an output) patiently through `caller`: what
// `open` gives, or null when it fails or is not answered in time. What a
// late `open` gives after all is handed to `close` at once, on its thread.
// `late`, when given, tells whether `open` is still out: whatever it uses
// must then live on.
template <typename T, typename Open, typename Close>
T* openPatiently(PatientCall& caller, Open open, Close close, bool* late = nullptr)
{
    struct Opening {
        std::mutex mutex;
        T* opened = nullptr;
        bool givenUp = false;
    };
    const auto opening = std::make_shared<Opening>();
    bool out = false;
    caller.run(
        [opening, open = std::move(open), close = std::move(close)] {
            T* opened = open();
            const std::lock_guard lock(opening->mutex);
            if (opening->givenUp && opened)
                close(opened);
            else
                opening->opened = opened;
            return opened != nullptr;
        },
        &out);
    const std::lock_guard lock(opening->mutex);
    opening->givenUp = true;
    if (late)
        *late = out && !opening->opened;
    return opening->opened;
}

} // namespace clavora
