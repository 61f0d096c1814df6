#pragma once
// A started piano on a recording MIDI device, driven by virtual-key codes.
#include "FakePlatform.h"
#include "chords/ChordArea.h"
#include "drums/DrumPads.h"
#include "keys/KeyCodes.h"
#include "piano/Piano.h"
#include "keys/VoiceArea.h"
#include "platform/RecordingMidiOutput.h"
#include "sound/MidiPort.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace clavora::test {

using Log = std::vector<std::string>;

// The log entries of `count` copies of one message, e.g. repeated("C1 30 00", 3).
inline Log repeated(const std::string& entry, int count)
{
    return Log(static_cast<std::size_t>(count), entry);
}

inline Log joined(std::initializer_list<Log> parts)
{
    Log all;
    for (const Log& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class PlayingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        piano.startUp();
        midi.clear();
        platform.pauses.clear();
    }

    // What was sent since the last clear, as "90 3C 7F" entries.
    const Log& sent() const { return midi.log(); }

    // One press and release of a key with the modifier mask given. The
    // modifier keys themselves are not pressed: use the helpers below.
    void tap(int code, int mask = 0)
    {
        piano.keyDown(code, mask);
        piano.keyUp(code, mask);
    }
    void tapShift(int code) { withModifiers(code, keys::kShiftMask); }
    void tapCtrl(int code) { withModifiers(code, keys::kCtrlMask); }
    void tapShiftCtrl(int code) { withModifiers(code, keys::kShiftMask | keys::kCtrlMask); }

    // Holds Shift and/or Ctrl as a user does: modifier keys down first (each
    // reporting the mask that includes itself), the key, then the modifiers up.
    void withModifiers(int code, int mask)
    {
        int held = 0;
        if (mask & keys::kShiftMask)
            piano.keyDown(keys::kShift, held |= keys::kShiftMask);
        if (mask & keys::kCtrlMask)
            piano.keyDown(keys::kCtrl, held |= keys::kCtrlMask);
        tap(code, held);
        if (mask & keys::kCtrlMask)
            piano.keyUp(keys::kCtrl, held &= ~keys::kCtrlMask);
        if (mask & keys::kShiftMask)
            piano.keyUp(keys::kShift, held &= ~keys::kShiftMask);
    }

    // Types a number on the keypad, digit by digit.
    void typeKeypad(const std::string& digits, int mask = 0)
    {
        for (const char digit : digits)
            tap(keys::kKeypad0 + (digit - '0'), mask);
    }

    VoiceArea& mainArea() { return piano.mainArea(); }
    ChordArea& chords() { return piano.chordArea(); }
    VoiceArea& chordSlots() { return piano.chordArea().area(); }
    DrumPads& drums() { return piano.drumPads(); }

    RecordingMidiOutput midi;
    FakePlatform platform;
    sound::MidiPort port{midi, platform};
    Piano piano{port, platform};
};

} // namespace clavora::test
