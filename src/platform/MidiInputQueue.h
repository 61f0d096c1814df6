#pragma once
#include <QObject>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

namespace clavora {

// The packed short message (see midi::packShortMessage) of one message as it
// came from a MIDI input: a channel message (note, controller, program
// change, pressure, pitch bend) of exactly its length with data bytes
// 0..127. Anything else is none: system messages (clock, active sensing,
// SysEx), data bytes without a status, a message cut short or too long.
std::optional<std::uint32_t> channelMessageOf(const std::uint8_t* bytes, std::size_t size);

// Hands the messages a MIDI input's own thread reads to the thread that made
// the queue, in order: push() checks and stores a message and wakes that
// thread's event loop, which passes every message waiting to the receiver.
// Nothing but the check and the store happens on the input's thread.
class MidiInputQueue {
public:
    explicit MidiInputQueue(std::function<void(std::uint32_t)> receiver);

    // Any thread. A message that is not a complete channel message is dropped.
    void push(const std::uint8_t* bytes, std::size_t size);
    // The owner's thread: forgets what has not been delivered yet.
    void clear();

private:
    void deliver();

    std::function<void(std::uint32_t)> receiver_;
    QObject context_; // lives on the owner's thread; the wake-ups are queued to it
    std::mutex mutex_;
    std::deque<std::uint32_t> messages_;
};

} // namespace clavora
