#pragma once
// The synthesizer played through a PulseAudio server (or PipeWire's
// PulseAudio service) by a stream of our own.
//
// A short buffer keeps key to sound short, but it has the synthesizer and
// the server wake hundreds of times a second, for silence as much as for
// sound. So once the synthesizer has been silent for a second, this stream
// rests: it leaves the server's requests unanswered, the stream runs dry,
// and the server stops mixing it. It stays connected (the sound device is
// not let go, so it need not wake up either), and the next message has it
// answer at once.
//
// While awake it keeps the server's buffer no fuller than it has to (see
// QueueLevel), so that a note does not wait behind more sound than the
// machine needs to play without a gap.
#include "SynthOutput.h"

#include <memory>

namespace clavora {

class PulseOutput final : public SynthOutput {
public:
    // Connects to the server the settings name (audio.pulseaudio.server,
    // audio.pulseaudio.device, audio.pulseaudio.media-role) and plays the
    // synthesizer at its sample rate, asking the server for a latency of
    // one period (audio.period-size). Null when there is no server, or it
    // refuses the stream. No server is started.
    static std::unique_ptr<PulseOutput> start(fluid_settings_t* settings, fluid_synth_t* synth);
    ~PulseOutput() override;
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    // Resting, and still connected: a stream whose server went away does
    // not rest.
    bool resting() const override;
    void wake() override;
    void loaded() override;

private:
    struct Stream;
    explicit PulseOutput(std::unique_ptr<Stream> stream);
    std::unique_ptr<Stream> stream_;
};

} // namespace clavora
