#pragma once
// The built-in synthesizer: FluidSynth playing a General MIDI SoundFont
// through the system's audio output.
#include "AudioDrivers.h"
#include "JackServer.h"
#include "PatientCall.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
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
// with an empty name or value, are skipped. (Values are checked when they
// are applied: a number must be finite and within the setting's range.)
std::vector<SynthSetting> parseSynthSettings(std::string_view text);

// A message and the time it was played, in milliseconds from the start of
// a take.
struct TimedMessage {
    double milliseconds;
    std::uint32_t message;
    bool operator==(const TimedMessage&) const = default;
};

class FluidSynthDevice {
public:
    struct Config {
        // SoundFonts to try, in order; the first that exists is loaded.
        std::vector<std::string> soundFonts;
        // Settings applied over the built-in ones (see parseSynthSettings).
        std::string settings;
        // How long an audio driver is waited for to start or stop.
        std::chrono::milliseconds driverPatience {2000};

        // $CLAVORA_SOUNDFONT first, then the usual system SoundFonts; the
        // settings come from $CLAVORA_SYNTH_SETTINGS.
        static Config fromEnvironment();
    };

    explicit FluidSynthDevice(Config config = Config::fromEnvironment());
    ~FluidSynthDevice();
    FluidSynthDevice(const FluidSynthDevice&) = delete;
    FluidSynthDevice& operator=(const FluidSynthDevice&) = delete;

    // Starts the audio output, then loads the SoundFont. False, with nothing
    // left open, when there is no SoundFont or no audio output works. The
    // audio drivers are tried best first and given up within a second; no
    // sound server is started. A driver that does not start within the
    // driver patience (its sound server has stopped answering) is given up,
    // and not tried again until it is back.
    //
    // Loading an instrument takes time, so until loadDeferred() has loaded
    // everything, the open device puts some of it off: the drum kit, and
    // each program change, which waits for the next message on its channel
    // or for loadDeferred(), whichever comes first. Every channel thus hears
    // its messages in the order sent, and a note played at once is not kept
    // waiting for the instruments of other channels.
    bool open();
    bool loadDeferred();
    // The program a channel plays with now, -1 when none has been loaded
    // for it yet.
    int programOf(int channel) const;
    // Stops the audio output (a file being rendered is complete afterwards)
    // and frees the synthesizer, within the driver patience: an output that
    // does not stop by then is left to stop on its own. An output on a JACK
    // server that has gone away is given up instead of stopped (see
    // abandonDeadJackClient).
    void close();
    bool isOpen() const;
    // The audio driver of the open synthesizer ("jack", "pulseaudio", ...),
    // empty when closed.
    std::string audioDriver() const;
    // What became of the audio output since it was last looked at; looked
    // at every half second or so. An output that got going and then renders
    // nothing at two looks in a row (its sound server went away, or stopped
    // answering) is Stopped, the synthesizer kept; one that rests because
    // nothing sounds (see SynthOutput) is not. Once the output has let
    // go of it, each look starts the same driver again, until it is
    // Restarted. A start its server does not answer is GivenUp: the
    // synthesizer is left to it and the device is closed.
    // A JACK output is not looked at (its server's watch tells), nor a file.
    enum class OutputNews { None, Stopped, Restarted, GivenUp };
    OutputNews checkOutput();
    // After an open that failed for want of an audio output that works:
    // whether one may work now, because a sound server or an audio device
    // has appeared (or gone) since, or a driver that did not answer then
    // has answered since. False after any other outcome. It only looks at
    // the servers' sockets and the device files.
    bool audioMayWork() const;
    // `onGone` is called, on a thread of JACK's, when the JACK server the
    // audio output plays through stops; it must only pass the news on.
    void setOnServerGone(std::function<void()> onGone) { watch_.setOnGone(std::move(onGone)); }
    // The next open does not try JACK: a JACK server has just stopped, and
    // a client that connects while it is still going makes it end by
    // SIGPIPE instead of cleanly.
    void skipJackOnce() { skipJack_ = true; }

    // Plays one packed short message. False when closed or refused.
    bool send(std::uint32_t message);

    // Delay added by the audio buffers, periods x period size / sample rate,
    // for the settings in force (those of the open synthesizer, else those
    // an open would use).
    double bufferLatencyMs() const;

    // The SoundFont an open would load (the first existing candidate), or
    // an empty string when none exists.
    std::string soundFontPath() const;

    // Plays a take without any audio output, with this SoundFont and these
    // settings, into a WAV file lasting `milliseconds`. Each message takes
    // effect at the audio period nearest its time, as it does when played
    // live. False when there is no SoundFont, the file cannot be written or
    // `stop` was set on the way (checked at each audio period).
    static bool renderTake(const Config& config, const std::vector<TimedMessage>& take, double milliseconds,
        const std::string& wavPath, const std::atomic<bool>* stop = nullptr);

private:
    struct Engine;
    // The patient call that starts this audio driver.
    PatientCall& driverCall(const std::string& name);

    // Loads what was put off for the channel: its drum kit, its program changes.
    void loadPutOff(int channel);
    bool isLoading() const;

    Config config_;
    std::unique_ptr<Engine> engine_;
    JackServerWatch watch_;
    std::atomic<bool> skipJack_ = false;
    // An output being stopped after it stopped playing; what it leaves is
    // freed by the stop, once the device has been closed meanwhile.
    struct Stopping {
        std::mutex mutex;
        bool done = false;
        std::unique_ptr<Engine> leftOver;
    };
    std::shared_ptr<Stopping> stopping_;
    // One per audio driver tried, so that a late one keeps only itself out.
    std::map<std::string, PatientCall> driverCalls_;
    // What the system showed when the last open found no audio output, and
    // the drivers that had not answered then.
    struct NoAudio {
        AudioFacts facts;
        std::vector<std::string> late;
    };
    std::optional<NoAudio> noAudio_;
};

} // namespace clavora
