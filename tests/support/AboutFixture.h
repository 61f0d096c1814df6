#pragma once
// An open recording MIDI device, a fake platform and the typed-word buffer
// that the About box keeps from one opening to the next.
#include "FakePlatform.h"
#include "RecordingMidiOutput.h"
#include "about/SecretWords.h"
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
    // The message boxes shown so far, each as its title, a bar and its text.
    std::vector<std::string> boxes() const
    {
        std::vector<std::string> shown;
        for (const FakePlatform::Box& box : platform.boxes)
            shown.push_back(box.title + "|" + box.text);
        return shown;
    }

    RecordingMidiOutput midi;
    FakePlatform platform;
    sound::MidiPort port {midi, platform};
    about::TypedWords words;
};

} // namespace clavora::test
