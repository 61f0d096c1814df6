#include "MidiInputQueue.h"
#include "MidiConstants.h"

#include <QMetaObject>

namespace clavora {

std::optional<std::uint32_t> channelMessageOf(const std::uint8_t* bytes, std::size_t size)
{
    constexpr int kFirstSystemStatus = 0xF0;
    if (!bytes || size == 0)
        return std::nullopt;
    const int status = bytes[0];
    if (status < midi::kNoteOff || status >= kFirstSystemStatus)
        return std::nullopt;
    const auto length = static_cast<std::size_t>(midi::messageLength(status));
    if (size != length)
        return std::nullopt;
    for (std::size_t i = 1; i < length; ++i)
        if (bytes[i] > midi::kMaxDataByte)
            return std::nullopt;
    return midi::packShortMessage(status, bytes[1], length == 3 ? bytes[2] : 0);
}

MidiInputQueue::MidiInputQueue(std::function<void(std::uint32_t)> receiver)
    : receiver_(std::move(receiver))
{
}

void MidiInputQueue::push(const std::uint8_t* bytes, std::size_t size)
{
    const std::optional<std::uint32_t> message = channelMessageOf(bytes, size);
    if (!message)
        return;
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        wake = messages_.empty();
        messages_.push_back(*message);
    }
    // One wake-up for a run of messages: the first finds the queue empty.
    if (wake)
        QMetaObject::invokeMethod(
            &context_, [this] { deliver(); }, Qt::QueuedConnection);
}

void MidiInputQueue::clear()
{
    const std::lock_guard lock(mutex_);
    messages_.clear();
}

void MidiInputQueue::deliver()
{
    for (;;) {
        std::uint32_t message = 0;
        {
            const std::lock_guard lock(mutex_);
            if (messages_.empty())
                return;
            message = messages_.front();
            messages_.pop_front();
        }
        if (receiver_)
            receiver_(message);
    }
}

} // namespace clavora
