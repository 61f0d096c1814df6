#include "FluidSynthSettings.h"
#include "FluidSynthDevice.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace clavora {

namespace {

// Our own settings, applied before the user's. Three periods of 128 frames
// at 48 kHz keep the buffer latency at 8 ms; PulseAudio would otherwise pick
// its own, far larger latency. Samples are read when a preset is first used,
// so loading even a large SoundFont is quick.
struct DefaultSetting {
    const char* name;
    const char* value;
};
constexpr std::array kDefaultSettings {
    DefaultSetting {"synth.sample-rate", "48000"},
    DefaultSetting {"audio.period-size", "128"},
    DefaultSetting {"audio.periods", "3"},
    DefaultSetting {"audio.pulseaudio.adjust-latency", "0"},
    DefaultSetting {"synth.dynamic-sample-loading", "1"},
    // Under JACK, heard at once through the system's playback ports, as a
    // client whose name says whose it is.
    DefaultSetting {"audio.jack.autoconnect", "1"},
    DefaultSetting {"audio.jack.id", "Clavora-synth"},
};

template <typename Number> bool parseNumber(const std::string& text, Number& number)
{
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, number);
    if constexpr (std::is_floating_point_v<Number>) {
        // "nan" and "inf" read as numbers, and FluidSynth's range checks
        // let a NaN through: a NaN gain or reverb turns the output into
        // noise at full scale.
        if (!std::isfinite(number))
            return false;
    }
    return error == std::errc() && ptr == end;
}

// Sets one setting by its registered type. False for unknown names and
// values of the wrong kind.
bool applySetting(fluid_settings_t* settings, const std::string& name, const std::string& value)
{
    switch (fluid_settings_get_type(settings, name.c_str())) {
    case FLUID_INT_TYPE: {
        int number = 0;
        return parseNumber(value, number) && fluid_settings_setint(settings, name.c_str(), number) == FLUID_OK;
    }
    case FLUID_NUM_TYPE: {
        double number = 0;
        return parseNumber(value, number) && fluid_settings_setnum(settings, name.c_str(), number) == FLUID_OK;
    }
    case FLUID_STR_TYPE:
        return fluid_settings_setstr(settings, name.c_str(), value.c_str()) == FLUID_OK;
    default:
        return false;
    }
}

} // namespace

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
        || fluid_settings_getnum(settings, "synth.sample-rate", &sampleRate) != FLUID_OK || sampleRate <= 0)
        return 0;
    return periods * periodSize * 1000.0 / sampleRate;
}

std::string stringSetting(fluid_settings_t* settings, const char* name)
{
    char* value = nullptr;
    if (fluid_settings_dupstr(settings, name, &value) != FLUID_OK || !value)
        return {};
    std::string text = value;
    fluid_free(value);
    return text;
}

std::vector<std::string> availableDrivers(fluid_settings_t* settings)
{
    std::vector<std::string> names;
    fluid_settings_foreach_option(settings, kDriverSetting, &names, [](void* data, const char*, const char* option) {
        static_cast<std::vector<std::string>*>(data)->emplace_back(option);
    });
    return names;
}

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

} // namespace clavora
