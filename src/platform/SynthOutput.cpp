#include "SynthOutput.h"
#include "FluidSynthSettings.h"
#include "PulseOutput.h"

namespace clavora {

namespace {

class FluidSynthDriver final : public SynthOutput {
public:
    explicit FluidSynthDriver(fluid_audio_driver_t* driver)
        : driver_(driver)
    {
    }

private:
    DriverPtr driver_;
};

} // namespace

OutputPtr startSynthOutput(fluid_settings_t* settings, fluid_synth_t* synth)
{
    if (fluid_settings_str_equal(settings, kDriverSetting, "pulseaudio"))
        return PulseOutput::start(settings, synth);
    fluid_audio_driver_t* driver = new_fluid_audio_driver(settings, synth);
    return driver ? std::make_unique<FluidSynthDriver>(driver) : nullptr;
}

} // namespace clavora
