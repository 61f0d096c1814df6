#pragma once
// The built-in synthesizer: FluidSynth playing a General MIDI SoundFont
// through the system's audio output.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace clavora {

// One "name=value" FluidSynth setting given by the user.
struct SynthSetting {
    std::string name;
    std::string value;
    bool operator==(const SynthSetting&) const = default;
};

// Reads FluidSynth settings written as name=value pairs separated by blanks,
// e.g. "audio.driver=file audio.file.name=take.wav". Words without "=", or
// with an empty name or value, are skipped.
std::vector<SynthSetting> parseSynthSettings(std::string_view text);

// While alive, whatever is written to the standard error stream (file
// descriptor 2) is discarded. The audio and MIDI libraries print their
// complaints there directly when no hardware is present.
class StderrSilence {
public:
    StderrSilence();
    ~StderrSilence();
    StderrSilence(const StderrSilence&) = delete;
    StderrSilence& operator=(const StderrSilence&) = delete;

private:
    int saved_ = -1;
};

class FluidSynthDevice {
public:
    struct Config {
        // SoundFonts to try, in order; the first that exists is loaded.
        std::vector<std::string> soundFonts;
        // Settings applied over the built-in ones (see parseSynthSettings).
        std::string settings;

        // $CLAVORA_SOUNDFONT first, then the usual system SoundFonts; the
        // settings come from $CLAVORA_SYNTH_SETTINGS.
        static Config fromEnvironment();
    };

    explicit FluidSynthDevice(Config config = Config::fromEnvironment());
    ~FluidSynthDevice();
    FluidSynthDevice(const FluidSynthDevice&) = delete;
    FluidSynthDevice& operator=(const FluidSynthDevice&) = delete;

    // Loads the SoundFont and starts the audio output. False, with nothing
    // left open, when there is no SoundFont or no audio output works.
    bool open();
    // Stops the audio output (a file being rendered is complete afterwards)
    // and frees the synthesizer.
    void close();
    bool isOpen() const;

    // Plays one packed short message. False when closed or refused.
    bool send(std::uint32_t message);

    // Delay added by the audio buffers, periods x period size / sample rate,
    // for the settings in force (those of the open synthesizer, else those
    // an open would use).
    double bufferLatencyMs() const;

    // The SoundFont an open would load (the first existing candidate), or
    // an empty string when none exists.
    std::string soundFontPath() const;

private:
    struct Engine;

    Config config_;
    std::unique_ptr<Engine> engine_;
};

} // namespace clavora
