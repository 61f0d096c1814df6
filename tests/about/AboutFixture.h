#pragma once
// An open recording MIDI device, a fake platform and the typed-word buffer
// that the About box keeps from one opening to the next.
#include "FakePlatform.h"
#include "about/SecretWords.h"
#include "platform/RecordingMidiOutput.h"
#include "sound/MidiPort.h"

#include <string>
#include <vector>

namespace clavora::test {

struct AboutFixture {
    AboutFixture()
    {
        port.openMidiOut();
        midi.clear();
    }

    // The texts of the message boxes shown so far.
    std::vector<std::string> boxTexts() const
    {
        std::vector<std::string> texts;
        for (const FakePlatform::Box& box : platform.boxes)
            texts.push_back(box.text);
        return texts;
    }

    RecordingMidiOutput midi;
    FakePlatform platform;
    sound::MidiPort port{midi, platform};
    about::TypedWords words;
};

} // namespace clavora::test
