#pragma once
// The pieces of FluidSynth the built-in synthesizer is made of, owned, and
// the settings it is built with: ours first, the user's over them.
#include <fluidsynth.h>

#include <memory>
#include <string>
#include <vector>

namespace clavora {

struct SynthSetting;

inline constexpr const char* kDriverSetting = "audio.driver";

// Frees what FluidSynth made with the function it gives for it.
template <auto Free> struct FluidDeleter {
    template <typename T> void operator()(T* made) const { Free(made); }
};
using SettingsPtr = std::unique_ptr<fluid_settings_t, FluidDeleter<delete_fluid_settings>>;
using SynthPtr = std::unique_ptr<fluid_synth_t, FluidDeleter<delete_fluid_synth>>;
using DriverPtr = std::unique_ptr<fluid_audio_driver_t, FluidDeleter<delete_fluid_audio_driver>>;
using SequencerPtr = std::unique_ptr<fluid_sequencer_t, FluidDeleter<delete_fluid_sequencer>>;

// Our settings with `overrides` applied over them; those FluidSynth does not
// know, or whose values are of the wrong kind or out of range, are skipped.
// Null when FluidSynth cannot make settings at all.
SettingsPtr makeSettings(const std::vector<SynthSetting>& overrides);

// Periods x period size / sample rate, in milliseconds; 0 when unknown.
double latencyMs(fluid_settings_t* settings);

// A string setting's value; empty when it has none.
std::string stringSetting(fluid_settings_t* settings, const char* name);

// The audio drivers this FluidSynth was built with.
std::vector<std::string> availableDrivers(fluid_settings_t* settings);

} // namespace clavora
