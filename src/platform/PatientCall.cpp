#include "PatientCall.h"

#include <thread>

namespace clavora {

PatientCall::PatientCall(std::chrono::milliseconds patience)
    : patience_(patience)
{
}

std::optional<bool> PatientCall::run(std::function<bool()> call)
{
    struct Answer {
        bool given = false;
        bool late = false;
        bool value = false;
    };
    const std::shared_ptr<Calls> calls = calls_;
    const auto answer = std::make_shared<Answer>();
    std::unique_lock lock(calls->mutex);
    if (calls->late > 0)
        return std::nullopt;
    std::thread([calls, answer, call = std::move(call)] {
        const bool value = call();
        const std::lock_guard answering(calls->mutex);
        answer->value = value;
        answer->given = true;
        if (answer->late)
            --calls->late;
        calls->answered.notify_all();
    }).detach();
    if (calls->answered.wait_for(lock, patience_, [&] { return answer->given; }))
        return answer->value;
    answer->late = true;
    ++calls->late;
    return std::nullopt;
}

bool PatientCall::stuck() const
{
    const std::lock_guard lock(calls_->mutex);
    return calls_->late > 0;
}

} // namespace clavora
