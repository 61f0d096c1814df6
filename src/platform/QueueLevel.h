#pragma once
// How much of what a sound server asks for a playback stream answers.
//
// A PulseAudio server asks a stream for enough sound to fill the buffer it
// granted, and a note written into a full buffer waits behind all of it.
// PulseAudio grants no more than the short buffer the stream asks for;
// PipeWire's PulseAudio service grants at least three of its own periods
// (16 ms at 48 kHz) whatever is asked. So the stream leaves part of each
// request unanswered and keeps the buffer at the length it asked for, but
// never below one of the server's requests or the amount the server waits
// for before it plays. Each time the buffer runs dry while playing, the
// stream keeps one request more in it, up to the whole buffer: as short as
// the machine keeps up with.
#include <cstddef>

namespace clavora {

class QueueLevel {
public:
    // Answers every request in full.
    QueueLevel() = default;
    // In bytes: the buffer asked for, and the buffer, the least request and
    // the start threshold the server granted.
    QueueLevel(std::size_t asked, std::size_t granted, std::size_t request, std::size_t start);

    // Of the `requested` bytes the server waits for, how many to write now.
    std::size_t answer(std::size_t requested) const;
    // The buffer ran dry while playing.
    void ranDry();

private:
    std::size_t granted_ = 0;
    std::size_t request_ = 0;
    std::size_t level_ = 0;
};

} // namespace clavora
