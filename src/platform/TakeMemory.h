#pragma once
// The take kept in memory: everything handed to the open device since the
// start, with its time, so that what was just played can be saved after the
// fact.
#include "FluidSynthDevice.h"
#include "ForwardingMidiOutput.h"

#include <QString>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace clavora {

class TakeMemory final : public ForwardingMidiOutput {
public:
    // 16 bytes a message: 16 MiB, over two hours of playing at 145 messages
    // a second (a three-note chord on seven voices struck three times a
    // second, with its releases, sends 126).
    static constexpr std::size_t kDefaultCapacity = std::size_t {1} << 20;
    // A WAV file lasts this long after the last message, so that the last
    // notes ring out (never past the moment of saving).
    static constexpr double kWaveTailMs = 2000;

    // `now` gives the milliseconds since the take started. When more than
    // `capacity` messages are kept, the oldest are dropped; the last program
    // and controller values they set are kept all the same.
    TakeMemory(std::unique_ptr<MidiOutput> inner, std::function<double()> now, std::size_t capacity = kDefaultCapacity);
    TakeMemory(MidiOutput& inner, std::function<double()> now, std::size_t capacity = kDefaultCapacity);

    bool send(std::uint32_t message) override;

    // Whether a note has been played since the start or forget().
    bool hasNotes() const;
    // Forgets everything played so far; the take starts again now. The
    // instruments and controller values in force are kept for its start.
    void forget();
    // The take as it is saved: the settings left by dropped messages first,
    // then every kept message, with the leading silence cut (the first
    // note-on at 0 ms, what came before it at 0 too).
    std::vector<TimedMessage> take() const;
    // Messages kept, the dropped settings left out.
    std::size_t size() const;

    // Saves the take as a Standard MIDI File (format 0, a tick a
    // millisecond) or, through the synthesizer with `synth`, as a WAV file.
    // The file appears whole or not at all. Returns the reason it failed,
    // or an empty string. Setting `stop` ends the rendering of a WAV file
    // early, and nothing is saved.
    QString save(
        const QString& path, const FluidSynthDevice::Config& synth, const std::atomic<bool>* stop = nullptr) const;

private:
    std::function<double()> now_;
    std::size_t capacity_;
    mutable std::mutex mutex_;
    std::deque<TimedMessage> kept_;
    // Program and controller messages dropped by the bound, by channel and
    // controller: the latest of each.
    std::map<std::uint32_t, std::uint32_t> settings_;
    std::size_t notes_ = 0;
};

} // namespace clavora
