#include "FluidSynthDevice.h"
#include "AudioDrivers.h"
#include "FluidSynthSettings.h"
#include "LibraryMessages.h"
#include "MidiConstants.h"
#include "PatientCall.h"
#include "StandardError.h"
#include "SynthOutput.h"

#include <QString>

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <thread>

#if defined(__unix__)
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace clavora {

namespace {

// SoundFonts looked for when $CLAVORA_SOUNDFONT names none.
constexpr std::array kSystemSoundFonts {
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/soundfonts/default.sf2",
    "/usr/share/soundfonts/FluidR3_GM.sf2",
};

// Once this long has gone by no further audio driver is tried.
constexpr std::chrono::milliseconds kProbeTime {1000};

// An output that has got going (rendered this many milliseconds) and then
// renders nothing at this many looks in a row has stopped playing. Its stop
// is waited for this long before the look ends, which is time enough for
// one whose thread has ended.
constexpr unsigned kGoingMs = 200;
constexpr int kStillLooks = 2;
constexpr std::chrono::milliseconds kStopPatience {100};

// Starts an audio output for the synthesizer: the user's driver alone when
// one is chosen, else the best for these facts that opens within the probe
// time. JACK is only tried once `jackAnswers`. Each driver is opened by
// `open`, which gives nothing when its driver is late: no other is tried
// then.
OutputPtr openAudioDriver(fluid_settings_t* settings, const std::string& chosenDriver, const AudioFacts& facts,
    const std::function<bool()>& jackAnswers, const std::function<std::optional<OutputPtr>(const std::string&)>& open)
{
    if (!chosenDriver.empty())
        return chosenDriver != "jack" || jackAnswers() ? open(chosenDriver).value_or(nullptr) : nullptr;
    const auto deadline = std::chrono::steady_clock::now() + kProbeTime;
    for (const std::string& name : audioDriverOrder(availableDrivers(settings), facts)) {
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        if (name == "jack" && !jackAnswers())
            continue;
        if (fluid_settings_setstr(settings, kDriverSetting, name.c_str()) != FLUID_OK)
            continue;
        std::optional<OutputPtr> driver = open(name);
        if (!driver || *driver)
            return std::move(driver).value_or(nullptr);
    }
    return nullptr;
}

// Starts the driver the settings name for the synthesizer through `caller`.
// When it is late, `late` is set, and the call keeps `keptAlive` until it
// comes back.
OutputPtr startDriver(
    PatientCall& caller, fluid_settings_t* settings, fluid_synth_t* synth, std::shared_ptr<void> keptAlive, bool& late)
{
    return OutputPtr(openPatiently<SynthOutput>(
        caller,
        [settings, synth, keptAlive = std::move(keptAlive)] { return startSynthOutput(settings, synth).release(); },
        [](SynthOutput* opened) { delete opened; }, &late));
}

// Hands one packed short message to the synthesizer. False when refused.
bool playMessage(fluid_synth_t* synth, std::uint32_t message)
{
    const int status = midi::statusOf(message);
    const int channel = midi::channelOf(message);
    const int data1 = midi::data1Of(message);
    const int data2 = midi::data2Of(message);
    int result = FLUID_FAILED;
    switch (status & midi::kStatusTypeMask) {
    case midi::kNoteOn:
        // Velocity 0 is a note-off to FluidSynth, as to any MIDI device.
        // FluidSynth reports a failure for a note-off that finds no sounding
        // note; the message itself was still taken.
        if (data1 > midi::kMaxDataByte || data2 > midi::kMaxDataByte)
            return false;
        fluid_synth_noteon(synth, channel, data1, data2);
        return true;
    case midi::kNoteOff:
        if (data1 > midi::kMaxDataByte || data2 > midi::kMaxDataByte)
            return false;
        fluid_synth_noteoff(synth, channel, data1);
        return true;
    case midi::kProgramChange:
        result = fluid_synth_program_change(synth, channel, data1);
        break;
    case midi::kControlChange:
        result = fluid_synth_cc(synth, channel, data1, data2);
        break;
    default:
        break;
    }
    return result == FLUID_OK;
}

} // namespace

FluidSynthDevice::Config FluidSynthDevice::Config::fromEnvironment()
{
    Config config;
    const QString own = qEnvironmentVariable("CLAVORA_SOUNDFONT");
    if (!own.isEmpty())
        config.soundFonts.push_back(own.toStdString());
    config.soundFonts.insert(config.soundFonts.end(), kSystemSoundFonts.begin(), kSystemSoundFonts.end());
    config.settings = qEnvironmentVariable("CLAVORA_SYNTH_SETTINGS").toStdString();
    return config;
}

// Declared in this order so that the driver stops before the synthesizer it
// plays goes, and both before their settings.
struct FluidSynthDevice::Engine {
    SettingsPtr settings;
    SynthPtr synth;
    // Its time moves only as the synthesizer renders: it tells whether the
    // audio output still plays.
    SequencerPtr clock;
    OutputPtr driver;
    // Whether the output is looked after (see checkOutput). Not JACK's,
    // whose server's watch tells when it goes, nor a file, which a new
    // output would write over.
    bool followed = false;
    unsigned startedAt = 0;
    unsigned renderedTo = 0;
    int stillLooks = 0;
    // What the open put off: the percussion channel's default kit and the
    // program changes sent since, in order.
    bool drumKitPending = false;
    std::deque<std::uint32_t> deferred;
    bool jack = false;
};

namespace {

bool isProgramChange(std::uint32_t message)
{
    return (midi::statusOf(message) & midi::kStatusTypeMask) == midi::kProgramChange;
}

// Every channel takes its default instrument, as a SoundFont loaded with
// its presets reset would give it, except the percussion channel, whose kit
// is put off.
void selectDefaultPrograms(fluid_synth_t* synth)
{
    for (int channel = 0; channel < midi::kChannelCount; ++channel) {
        if (channel != midi::kDrumChannel)
            fluid_synth_program_change(synth, channel, 0);
    }
}

// Nice value of the threads that build the synthesizer and load the
// SoundFont.
constexpr int kBulkWorkNice = 10;

// Does bulk work on a thread of its own that gives way to the rest of the
// program, so that a window being built meanwhile does not wait for it. The
// audio driver is started outside it: its thread keeps the priority it gets.
void giveWay(const std::function<void()>& work)
{
    std::thread helper;
    try {
        helper = std::thread([&work] {
#if defined(__linux__)
            ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kBulkWorkNice);
#endif
            work();
        });
    } catch (const std::system_error&) {
        // No thread to be had: the work is done here, at full priority.
        work();
        return;
    }
    helper.join();
}

} // namespace

FluidSynthDevice::FluidSynthDevice(Config config)
    : config_(std::move(config))
{
    routeLibraryMessages();
    forbidStartingJackServer();
}

FluidSynthDevice::~FluidSynthDevice()
{
    close();
}

std::string FluidSynthDevice::soundFontPath() const
{
    for (const auto& path : config_.soundFonts) {
        std::error_code error;
        if (!std::filesystem::exists(path, error))
            continue;
        // An empty, unreadable or foreign file is named once, and the next
        // SoundFont installed takes its place.
        if (std::filesystem::is_regular_file(path, error) && fluid_is_soundfont(path.c_str()))
            return path;
        static std::mutex mutex;
        static std::set<std::string> named;
        const std::lock_guard lock(mutex);
        if (named.insert(path).second)
            writeToStandardError("clavora: \"" + path + "\" is not a readable SoundFont; trying the next one\n");
    }
    return {};
}

PatientCall& FluidSynthDevice::driverCall(const std::string& name)
{
    return driverCalls_.try_emplace(name, config_.driverPatience).first->second;
}

bool FluidSynthDevice::open()
{
    if (engine_)
        return true;
    noAudio_.reset();
    const std::string soundFont = soundFontPath();
    if (soundFont.empty())
        return false;

    auto engine = std::make_unique<Engine>();
    const std::vector<SynthSetting> overrides = parseSynthSettings(config_.settings);
    engine->settings = makeSettings(overrides);
    if (!engine->settings)
        return false;
    // A driver the user named and FluidSynth has is the only one tried.
    const auto chosen = std::find_if(
        overrides.rbegin(), overrides.rend(), [](const SynthSetting& s) { return s.name == kDriverSetting; });
    const std::string chosenDriver = chosen != overrides.rend()
            && fluid_settings_str_equal(engine->settings.get(), kDriverSetting, chosen->value.c_str())
        ? chosen->value
        : std::string();
    // The synthesizer is built giving way, unless it starts rendering threads
    // of its own, which must not inherit a lower priority.
    const auto buildSynth = [&engine] { engine->synth.reset(new_fluid_synth(engine->settings.get())); };
    int cores = 1;
    fluid_settings_getint(engine->settings.get(), "synth.cpu-cores", &cores);
    if (cores > 1)
        buildSynth();
    else
        giveWay(buildSynth);
    if (!engine->synth)
        return false;
    engine->clock.reset(new_fluid_sequencer2(0));
    if (engine->clock && fluid_sequencer_register_fluidsynth(engine->clock.get(), engine->synth.get()) == FLUID_FAILED)
        engine->clock.reset();
    // The SoundFont is only worth its memory once there is an output to
    // hear it through.
    // FluidSynth only logs that its JACK server went away; a watch of our
    // own tells, and keeps the output from being stopped the usual way. It
    // is started before the JACK driver is tried: its client is opened
    // patiently, where the driver's would wait for good if libjack is stuck.
    const bool withoutJack = skipJack_.exchange(false);
    // Each driver is waited for a bounded time: a sound server that stopped
    // answering keeps it from ever coming back. One that is late is not
    // tried again until it is back, and this synthesizer is left to it: it
    // frees it then.
    auto leftToLateDriver = std::make_shared<std::unique_ptr<Engine>>();
    bool late = false;
    const auto openDriver = [&](const std::string& name) -> std::optional<OutputPtr> {
        OutputPtr driver
            = startDriver(driverCall(name), engine->settings.get(), engine->synth.get(), leftToLateDriver, late);
        return late ? std::nullopt : std::optional(std::move(driver));
    };
    const AudioFacts facts = AudioFacts::ofThisSystem();
    engine->driver = openAudioDriver(
        engine->settings.get(), chosenDriver, facts, [&] { return !withoutJack && watch_.start(); }, openDriver);
    engine->jack = engine->driver && fluid_settings_str_equal(engine->settings.get(), kDriverSetting, "jack");
    engine->followed = engine->driver && engine->clock && !engine->jack
        && !fluid_settings_str_equal(engine->settings.get(), kDriverSetting, "file");
    if (!engine->jack)
        watch_.stop(); // started for a JACK driver that did not open
    if (late) {
        *leftToLateDriver = std::move(engine);
        skipJack_ = withoutJack;
        return open(); // with the other drivers
    }
    if (engine->jack && watch_.serverGone())
        abandonDeadJackClient(engine->driver.release());
    if (!engine->driver) {
        noAudio_ = NoAudio {facts, {}};
        for (const auto& [name, call] : driverCalls_)
            if (call.stuck())
                noAudio_->late.push_back(name);
        return false;
    }
    bool loaded = false;
    giveWay([&] {
        fluid_synth_t* synth = engine->synth.get();
        loaded = fluid_synth_sfload(synth, soundFont.c_str(), 0) != FLUID_FAILED;
        if (loaded)
            selectDefaultPrograms(synth);
    });
    engine->drumKitPending = true;
    engine_ = std::move(engine);
    if (!loaded)
        close();
    return loaded;
}

void FluidSynthDevice::loadPutOff(int channel)
{
    if (channel == midi::kDrumChannel && engine_->drumKitPending) {
        engine_->drumKitPending = false;
        fluid_synth_program_change(engine_->synth.get(), midi::kDrumChannel, 0);
    }
    auto& deferred = engine_->deferred;
    for (auto it = deferred.begin(); it != deferred.end();) {
        if (midi::channelOf(*it) == channel) {
            playMessage(engine_->synth.get(), *it);
            it = deferred.erase(it);
        } else {
            ++it;
        }
    }
    if (!isLoading() && engine_->driver)
        engine_->driver->loaded();
}

bool FluidSynthDevice::loadDeferred()
{
    if (!engine_)
        return false;
    // The program changes first, as sent; the drum kit last.
    const int channel = engine_->deferred.empty() ? midi::kDrumChannel : midi::channelOf(engine_->deferred.front());
    loadPutOff(channel);
    return isLoading();
}

int FluidSynthDevice::programOf(int channel) const
{
    int soundFont = 0;
    int bank = 0;
    int program = -1;
    if (!engine_ || fluid_synth_get_program(engine_->synth.get(), channel, &soundFont, &bank, &program) != FLUID_OK)
        return -1;
    // SoundFonts are numbered from 1: none means nothing was ever chosen.
    return soundFont == 0 ? -1 : program;
}

bool FluidSynthDevice::isLoading() const
{
    return engine_ && (engine_->drumKitPending || !engine_->deferred.empty());
}

void FluidSynthDevice::close()
{
    if (!engine_)
        return;
    if (engine_->jack) {
        watch_.stop();
        // The synthesizer itself can go: the output's thread ended with
        // the server.
        if (watch_.serverGone())
            abandonDeadJackClient(engine_->driver.release());
    }
    if (stopping_) {
        // An output being stopped still plays the synthesizer: it frees it.
        const std::shared_ptr<Stopping> stopping = std::exchange(stopping_, nullptr);
        const std::lock_guard lock(stopping->mutex);
        if (!stopping->done) {
            stopping->leftOver = std::move(engine_);
            return;
        }
    }
    // Stopping the driver waits for its audio thread, which a sound server
    // that stopped answering can hold for good: the engine is then left to
    // a thread of its own, which frees it if the server answers again.
    Engine* engine = engine_.release();
    PatientCall(config_.driverPatience).run([engine] {
        delete engine;
        return true;
    });
}

bool FluidSynthDevice::audioMayWork() const
{
    if (!noAudio_)
        return false;
    if (AudioFacts::ofThisSystem() != noAudio_->facts)
        return true;
    return std::any_of(noAudio_->late.begin(), noAudio_->late.end(), [this](const std::string& name) {
        const auto call = driverCalls_.find(name);
        return call != driverCalls_.end() && !call->second.stuck();
    });
}

FluidSynthDevice::OutputNews FluidSynthDevice::checkOutput()
{
    if (!engine_ || !engine_->followed)
        return OutputNews::None;
    if (stopping_) {
        // The stopped output lets go of the synthesizer once its sound
        // server lets go of it: a server that went away does so at once.
        if (const std::lock_guard lock(stopping_->mutex); !stopping_->done)
            return OutputNews::None;
        stopping_.reset();
    }
    if (!engine_->driver) {
        // A server that answers again gets the synthesizer back as it was.
        auto leftToLateDriver = std::make_shared<std::unique_ptr<Engine>>();
        bool late = false;
        engine_->driver = startDriver(
            driverCall(audioDriver()), engine_->settings.get(), engine_->synth.get(), leftToLateDriver, late);
        if (late) {
            *leftToLateDriver = std::move(engine_);
            return OutputNews::GivenUp;
        }
        if (!engine_->driver)
            return OutputNews::None;
        if (!isLoading())
            engine_->driver->loaded();
        engine_->startedAt = engine_->renderedTo = fluid_sequencer_get_tick(engine_->clock.get());
        engine_->stillLooks = 0;
        return OutputNews::Restarted;
    }
    const unsigned renderedTo = fluid_sequencer_get_tick(engine_->clock.get());
    if (renderedTo != engine_->renderedTo) {
        engine_->renderedTo = renderedTo;
        engine_->stillLooks = 0;
        return OutputNews::None;
    }
    // A resting output renders nothing by its own choice.
    if (engine_->driver->resting()) {
        engine_->stillLooks = 0;
        return OutputNews::None;
    }
    // An output that has not got going yet is given its time: a sound
    // server may take seconds to take a new stream (a Bluetooth headset).
    if (renderedTo - engine_->startedAt < kGoingMs || ++engine_->stillLooks < kStillLooks)
        return OutputNews::None;
    // Stopping the output waits for its thread, which has ended if its
    // server went away, and is held for as long as a server that stopped
    // answering holds it: it is stopped on a thread of its own.
    stopping_ = std::make_shared<Stopping>();
    PatientCall(kStopPatience).run([stopping = stopping_, driver = engine_->driver.release()] {
        delete driver;
        std::unique_ptr<Engine> leftOver;
        const std::lock_guard lock(stopping->mutex);
        stopping->done = true;
        leftOver = std::move(stopping->leftOver);
        return true;
    });
    return OutputNews::Stopped;
}

std::string FluidSynthDevice::audioDriver() const
{
    return engine_ ? stringSetting(engine_->settings.get(), kDriverSetting) : std::string();
}

bool FluidSynthDevice::isOpen() const
{
    return engine_ != nullptr;
}

bool FluidSynthDevice::send(std::uint32_t message)
{
    if (!engine_)
        return false;
    if (isLoading()) {
        if (isProgramChange(message)) {
            engine_->deferred.push_back(message);
            return true;
        }
        loadPutOff(midi::channelOf(message));
    }
    const bool played = playMessage(engine_->synth.get(), message);
    if (engine_->driver)
        engine_->driver->wake();
    return played;
}

double FluidSynthDevice::bufferLatencyMs() const
{
    if (engine_)
        return latencyMs(engine_->settings.get());
    const SettingsPtr settings = makeSettings(parseSynthSettings(config_.settings));
    return settings ? latencyMs(settings.get()) : 0;
}

bool FluidSynthDevice::renderTake(const Config& config, const std::vector<TimedMessage>& take, double milliseconds,
    const std::string& wavPath, const std::atomic<bool>* stop)
{
    const std::string soundFont = FluidSynthDevice(config).soundFontPath();
    if (soundFont.empty())
        return false;
    const SettingsPtr settings = makeSettings(parseSynthSettings(config.settings));
    if (!settings || fluid_settings_setstr(settings.get(), "audio.file.name", wavPath.c_str()) != FLUID_OK
        || fluid_settings_setstr(settings.get(), "audio.file.type", "wav") != FLUID_OK
        || fluid_settings_setstr(settings.get(), "audio.file.format", "s16") != FLUID_OK)
        return false;
    const SynthPtr synth(new_fluid_synth(settings.get()));
    if (!synth || fluid_synth_sfload(synth.get(), soundFont.c_str(), 1) == FLUID_FAILED)
        return false;
    fluid_file_renderer_t* renderer = new_fluid_file_renderer(synth.get());
    if (!renderer)
        return false;

    int periodSize = 0;
    double sampleRate = 0;
    fluid_settings_getint(settings.get(), "audio.period-size", &periodSize);
    fluid_settings_getnum(settings.get(), "synth.sample-rate", &sampleRate);
    const double framesPerMs = sampleRate / 1000.0;
    const auto totalFrames = static_cast<long long>(std::ceil(milliseconds * framesPerMs));
    const auto stopped = [stop] { return stop != nullptr && stop->load(); };
    bool written = true;
    auto next = take.begin();
    for (long long frame = 0; frame < totalFrames && written && !stopped(); frame += periodSize) {
        // A message played live is heard from the next period on; here it
        // goes to the period whose start is nearest its time.
        while (next != take.end() && next->milliseconds * framesPerMs < static_cast<double>(frame) + periodSize / 2.0)
            playMessage(synth.get(), (next++)->message);
        written = fluid_file_renderer_process_block(renderer) == FLUID_OK;
    }
    delete_fluid_file_renderer(renderer);
    return written && !stopped();
}

} // namespace clavora
