#pragma once
// An open recording MIDI device, a fake platform and the typed-word buffer
// that the About box keeps from one opening to the next.
#include "FakePlatform.h"
#include "about/SecretWords.h"
#include "platform/RecordingMidiOutput.h"
#include "sound/MidiPort.h"

namespace clavora::test {

struct AboutFixture {
    AboutFixture()
    {
        port.openMidiOut();
        midi.clear();
    }

    RecordingMidiOutput midi;
    FakePlatform platform;
    sound::MidiPort port{midi, platform};
    about::TypedWords words;
};

} // namespace clavora::test
