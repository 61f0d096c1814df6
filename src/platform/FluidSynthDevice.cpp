#include "FluidSynthDevice.h"
#include "MidiConstants.h"

#include <QString>

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iostream>

#if defined(__unix__)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace clavora {

namespace {

// SoundFonts looked for when $CLAVORA_SOUNDFONT names none.
constexpr std::array kSystemSoundFonts{
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/soundfonts/default.sf2",
    "/usr/share/soundfonts/FluidR3_GM.sf2",
};

// Our own settings, applied before the user's. Three periods of 128 frames
// at 48 kHz keep the buffer latency at 8 ms; PulseAudio would otherwise pick
// its own, far larger latency. Samples are read when a preset is first used,
// so loading even a large SoundFont is quick.
struct DefaultSetting {
    const char* name;
    const char* value;
};
constexpr std::array kDefaultSettings{
    DefaultSetting{"synth.sample-rate", "48000"},
    DefaultSetting{"audio.period-size", "128"},
    DefaultSetting{"audio.periods", "3"},
    DefaultSetting{"audio.pulseaudio.adjust-latency", "0"},
    DefaultSetting{"synth.dynamic-sample-loading", "1"},
};

// Audio drivers tried, in this order, when FluidSynth's own choice fails.
constexpr std::array kFallbackDrivers{"pipewire", "pulseaudio", "alsa", "jack", "sdl2", "oss"};

constexpr const char* kDriverSetting = "audio.driver";

template <typename Number>
bool parseNumber(const std::string& text, Number& number)
{
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, number);
    return error == std::errc() && ptr == end;
}

// Sets one setting by its registered type. False for unknown names and
// values of the wrong kind.
bool applySetting(fluid_settings_t* settings, const std::string& name, const std::string& value)
{
    switch (fluid_settings_get_type(settings, name.c_str())) {
    case FLUID_INT_TYPE: {
        int number = 0;
        return parseNumber(value, number)
            && fluid_settings_setint(settings, name.c_str(), number) == FLUID_OK;
    }
    case FLUID_NUM_TYPE: {
        double number = 0;
        return parseNumber(value, number)
            && fluid_settings_setnum(settings, name.c_str(), number) == FLUID_OK;
    }
    case FLUID_STR_TYPE:
        return fluid_settings_setstr(settings, name.c_str(), value.c_str()) == FLUID_OK;
    default:
        return false;
    }
}

struct SettingsDeleter {
    void operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
};
using SettingsPtr = std::unique_ptr<fluid_settings_t, SettingsDeleter>;

struct SynthDeleter {
    void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
};
using SynthPtr = std::unique_ptr<fluid_synth_t, SynthDeleter>;

struct DriverDeleter {
    void operator()(fluid_audio_driver_t* driver) const { delete_fluid_audio_driver(driver); }
};
using DriverPtr = std::unique_ptr<fluid_audio_driver_t, DriverDeleter>;

SettingsPtr makeSettings(const std::vector<SynthSetting>& overrides)
{
    SettingsPtr settings(new_fluid_settings());
    if (!settings)
        return settings;
    for (const auto& setting : kDefaultSettings)
        applySetting(settings.get(), setting.name, setting.value);
    for (const auto& setting : overrides)
        applySetting(settings.get(), setting.name, setting.value);
    return settings;
}

double latencyMs(fluid_settings_t* settings)
{
    int periods = 0;
    int periodSize = 0;
    double sampleRate = 0;
    if (fluid_settings_getint(settings, "audio.periods", &periods) != FLUID_OK
        || fluid_settings_getint(settings, "audio.period-size", &periodSize) != FLUID_OK
        || fluid_settings_getnum(settings, "synth.sample-rate", &sampleRate) != FLUID_OK
        || sampleRate <= 0)
        return 0;
    return periods * periodSize * 1000.0 / sampleRate;
}

bool driverAvailable(fluid_settings_t* settings, const char* name)
{
    struct Search {
        const char* name;
        bool found;
    } search{name, false};
    fluid_settings_foreach_option(settings, kDriverSetting, &search,
        [](void* data, const char*, const char* option) {
            auto* s = static_cast<Search*>(data);
            if (std::string_view(option) == s->name)
                s->found = true;
        });
    return search.found;
}

// FluidSynth reports through its log; the program shows no such messages.
void silenceFluidLog()
{
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, nullptr, nullptr);
}

} // namespace

std::vector<SynthSetting> parseSynthSettings(std::string_view text)
{
    std::vector<SynthSetting> result;
    constexpr std::string_view blanks = " \t\r\n";
    std::size_t pos = 0;
    while ((pos = text.find_first_not_of(blanks, pos)) != std::string_view::npos) {
        const std::size_t end = std::min(text.find_first_of(blanks, pos), text.size());
        const std::string_view word = text.substr(pos, end - pos);
        pos = end;
        const std::size_t equals = word.find('=');
        if (equals == std::string_view::npos || equals == 0 || equals + 1 == word.size())
            continue;
        result.push_back({std::string(word.substr(0, equals)), std::string(word.substr(equals + 1))});
    }
    return result;
}

StderrSilence::StderrSilence()
{
#if defined(__unix__)
    std::fflush(stderr);
    std::cerr.flush();
    saved_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (saved_ < 0)
        return;
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0) {
        ::close(saved_);
        saved_ = -1;
        return;
    }
    ::dup2(null, STDERR_FILENO);
    ::close(null);
#endif
}

StderrSilence::~StderrSilence()
{
#if defined(__unix__)
    if (saved_ < 0)
        return;
    std::fflush(stderr);
    std::cerr.flush();
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
#endif
}

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
    DriverPtr driver;
};

FluidSynthDevice::FluidSynthDevice(Config config)
    : config_(std::move(config))
{
    silenceFluidLog();
}

FluidSynthDevice::~FluidSynthDevice()
{
    close();
}

std::string FluidSynthDevice::soundFontPath() const
{
    for (const auto& path : config_.soundFonts) {
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error))
            return path;
    }
    return {};
}

bool FluidSynthDevice::open()
{
    if (engine_)
        return true;
    const std::string soundFont = soundFontPath();
    if (soundFont.empty())
        return false;

    const auto overrides = parseSynthSettings(config_.settings);
    const bool driverChosen = std::any_of(overrides.begin(), overrides.end(),
        [](const SynthSetting& s) { return s.name == kDriverSetting; });

    StderrSilence quiet;
    auto engine = std::make_unique<Engine>();
    engine->settings = makeSettings(overrides);
    if (!engine->settings)
        return false;
    engine->synth.reset(new_fluid_synth(engine->settings.get()));
    if (!engine->synth
        || fluid_synth_sfload(engine->synth.get(), soundFont.c_str(), 1) == FLUID_FAILED)
        return false;

    engine->driver.reset(new_fluid_audio_driver(engine->settings.get(), engine->synth.get()));
    if (!engine->driver && !driverChosen) {
        for (const char* name : kFallbackDrivers) {
            if (!driverAvailable(engine->settings.get(), name)
                || fluid_settings_setstr(engine->settings.get(), kDriverSetting, name) != FLUID_OK)
                continue;
            engine->driver.reset(new_fluid_audio_driver(engine->settings.get(), engine->synth.get()));
            if (engine->driver)
                break;
        }
    }
    if (!engine->driver)
        return false;
    engine_ = std::move(engine);
    return true;
}

void FluidSynthDevice::close()
{
    if (!engine_)
        return;
    StderrSilence quiet;
    engine_.reset();
}

bool FluidSynthDevice::isOpen() const
{
    return engine_ != nullptr;
}

bool FluidSynthDevice::send(std::uint32_t message)
{
    if (!engine_)
        return false;
    fluid_synth_t* synth = engine_->synth.get();
    const int status = midi::statusOf(message);
    const int channel = status & midi::kChannelMask;
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

double FluidSynthDevice::bufferLatencyMs() const
{
    if (engine_)
        return latencyMs(engine_->settings.get());
    const SettingsPtr settings = makeSettings(parseSynthSettings(config_.settings));
    return settings ? latencyMs(settings.get()) : 0;
}

} // namespace clavora
