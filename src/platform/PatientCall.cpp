#include "PatientCall.h"

#include <system_error>
#include <thread>

namespace clavora {

PatientCall::PatientCall(std::chrono::milliseconds patience)
    : patience_(patience)
{
}

std::optional<bool> PatientCall::run(std::function<bool()> call, bool* late)
{
    struct Answer {
        bool given = false;
        bool overdue = false;
        bool value = false;
    };
    if (late)
        *late = false;
    const std::shared_ptr<Calls> calls = calls_;
    const auto answer = std::make_shared<Answer>();
    std::unique_lock lock(calls->mutex);
    if (calls->late > 0)
        return std::nullopt;
    try {
        std::thread([calls, answer, call] {
            const bool value = call();
            const std::lock_guard answering(calls->mutex);
            answer->value = value;
            answer->given = true;
            if (answer->overdue)
                --calls->late;
            calls->answered.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the call is made here, and waited for.
        lock.unlock();
        return call();
    }
    if (calls->answered.wait_for(lock, patience_, [&] { return answer->given; }))
        return answer->value;
    answer->overdue = true;
    ++calls->late;
    if (late)
        *late = true;
    return std::nullopt;
}

bool PatientCall::stuck() const
{
    const std::lock_guard lock(calls_->mutex);
    return calls_->late > 0;
}

} // namespace clavora
