#pragma once
// What plays the synthesizer: on PulseAudio (and PipeWire's PulseAudio
// service) a stream of our own that rests while nothing sounds, elsewhere
// FluidSynth's own audio driver.
#include <fluidsynth.h>

#include <memory>

namespace clavora {

class SynthOutput {
public:
    virtual ~SynthOutput() = default;
    // Whether it has stopped asking for sound because nothing has sounded
    // for a while. The synthesizer's time stands still meanwhile, as it
    // would if the output had stopped playing.
    virtual bool resting() const { return false; }
    // Told after each message the synthesizer has taken: a resting output
    // asks for sound again, at once. Cheap when it is not resting; any
    // thread may call it.
    virtual void wake() { }
    // Told once the synthesizer has loaded what it put off at the start,
    // which may keep the output waiting until then.
    virtual void loaded() { }
};

using OutputPtr = std::unique_ptr<SynthOutput>;

// Starts the audio driver the settings name for the synthesizer. Null when
// it does not start.
OutputPtr startSynthOutput(fluid_settings_t* settings, fluid_synth_t* synth);

} // namespace clavora
