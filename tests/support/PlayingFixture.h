#pragma once
// A started piano on a recording MIDI device, driven by virtual-key codes
// through scripts of what the user does.
#include "FakePlatform.h"
#include "RecordingMidiOutput.h"
#include "chords/ChordArea.h"
#include "drums/DrumPads.h"
#include "keys/KeyCodes.h"
#include "keys/VoiceArea.h"
#include "piano/Piano.h"
#include "sound/MidiPort.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

namespace clavora::test {

using Log = std::vector<std::string>;

// The log entries of `count` copies of one message, e.g. repeated("C1 30 00", 3).
inline Log repeated(const std::string& entry, int count)
{
    return Log(static_cast<std::size_t>(count), entry);
}

// Logs and Steps put one after the other.
template <class T> std::vector<T> operator+(std::vector<T> a, const std::vector<T>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
inline Log joined(std::initializer_list<Log> parts)
{
    Log all;
    for (const Log& p : parts)
        all = all + p;
    return all;
}

// The note-offs that stop exactly the note-ons of `log`, in the same order.
inline Log noteOffsOf(const Log& log)
{
    Log offs;
    for (const std::string& entry : log)
        if (entry[0] == '9')
            offs.push_back("8" + entry.substr(1, 5) + "00");
    return offs;
}

// Esc's all-sound-off, on every channel in turn.
inline Log allSoundOff()
{
    Log silence;
    for (int channel = 0; channel < 16; ++channel)
        silence.push_back(QString::asprintf("B%X 78 00", channel).toStdString());
    return silence;
}

// The chords of the lowest keys, Z and X, as chord slot 1 plays them from
// start-up (C and D major), and X strummed in guitar mode on slot 6.
inline const Log kCMajor {"97 37 67", "97 3C 67", "97 40 67"};
inline const Log kDMajor {"97 36 67", "97 39 67", "97 3E 67"};
inline const Log kDMajorStrum {
    "9D 2D 67", "pause 20", "9D 32 67", "pause 20", "9D 39 67", "pause 20", "9D 3E 67", "pause 20", "9D 42 67"};

// One thing the user does to the piano.
using Step = std::function<void(Piano&)>;
using Steps = std::vector<Step>;

// A key held down, let go or tapped, reporting the mask given without the
// modifier keys; an on-screen key pressed or released.
inline Step down(int code, int mask = 0)
{
    return [=](Piano& piano) { piano.keyDown(code, mask); };
}
inline Step up(int code, int mask = 0)
{
    return [=](Piano& piano) { piano.keyUp(code, mask); };
}
inline Step hit(int code, int mask = 0)
{
    return [=](Piano& piano) {
        piano.keyDown(code, mask);
        piano.keyUp(code, mask);
    };
}
inline Step press(int key)
{
    return [=](Piano& piano) { piano.pressKey(key); };
}
inline Step release(int key)
{
    return [=](Piano& piano) { piano.releaseKey(key); };
}

// A key typed with Shift and/or Ctrl held: the modifier keys go down first,
// each reporting the mask that includes itself, and up last.
inline Step type(int code, int mask = 0)
{
    using namespace keys;
    return [=](Piano& piano) {
        if (mask & kShiftMask)
            piano.keyDown(kShift, kShiftMask);
        if (mask & kCtrlMask)
            piano.keyDown(kCtrl, mask);
        piano.keyDown(code, mask);
        piano.keyUp(code, mask);
        if (mask & kCtrlMask)
            piano.keyUp(kCtrl, mask & kShiftMask);
        if (mask & kShiftMask)
            piano.keyUp(kShift, 0);
    };
}
constexpr int kShiftCtrl = keys::kShiftMask | keys::kCtrlMask;
inline Step shift(int code)
{
    return type(code, keys::kShiftMask);
}
inline Step ctrl(int code)
{
    return type(code, keys::kCtrlMask);
}
inline Step shiftCtrl(int code)
{
    return type(code, kShiftCtrl);
}
inline Steps times(int count, const Step& step)
{
    return Steps(static_cast<std::size_t>(count), step);
}
// A number typed on the keypad, each key reporting `mask`.
inline Steps keypad(const std::string& digits, int mask = 0)
{
    Steps steps;
    for (const char digit : digits)
        steps.push_back(hit(keys::kKeypad0 + (digit - '0'), mask));
    return steps;
}

// The Instrument, Octave, Volume, Channel and Voices labels of an area.
inline std::string labels(VoiceArea& area)
{
    const QStringList shown {area.instrument().label(), area.octave().label(), area.volume().label(),
        area.channel().label(), area.voices().label()};
    return shown.join('|').toStdString();
}

class PlayingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        piano.startUp();
        startUpLog = midi.log();
        midi.clear();
    }

    // What was sent since the last clear, as "90 3C 7F" entries.
    const Log& sent() const { return midi.log(); }

    void run(const Steps& steps)
    {
        for (const Step& step : steps)
            step(piano);
    }

    VoiceArea& mainArea() { return piano.mainArea(); }
    ChordArea& chords() { return piano.chordArea(); }
    VoiceArea& chordSlots() { return piano.chordArea().area(); }
    DrumPads& drums() { return piano.drumPads(); }
    // Every setting a key command can change, the chord modifiers held and the mode.
    std::string state()
    {
        std::string modifiers;
        for (int m = 0; m < ChordArea::kModifierCount; ++m)
            modifiers += chords().isModifierDown(m) ? '1' : '0';
        return labels(mainArea()) + labels(chordSlots()) + drums().volume().label().toStdString() + modifiers
            + std::to_string(int(chords().mode()) * 100 + chords().splitPoint()) + std::to_string(piano.playDrums());
    }

    RecordingMidiOutput midi;
    FakePlatform platform;
    sound::MidiPort port {midi, platform};
    Piano piano {port, platform};
    Log startUpLog; // what the start-up sent
};

// A script played on the started piano: `before` brings it into a state
// (what that sends is not checked), then `steps` must send exactly `sent`,
// pauses included as "pause 20"; the labels of the main and chord areas are checked when given.
struct Scene {
    const char* name;
    Steps before, steps;
    Log sent;
    std::string mainLabels = {}, chordLabels = {};
    friend void PrintTo(const Scene& scene, std::ostream* out) { *out << scene.name; }
};

class Scenes : public PlayingTest, public ::testing::WithParamInterface<Scene> {
protected:
    void play()
    {
        const Scene& scene = GetParam();
        run(scene.before);
        midi.clear();
        platform.onPause = [this](int ms) { midi.note("pause " + std::to_string(ms)); };
        run(scene.steps);
        EXPECT_EQ(sent(), scene.sent);
        EXPECT_EQ(scene.mainLabels.empty() ? "" : labels(mainArea()), scene.mainLabels);
        EXPECT_EQ(scene.chordLabels.empty() ? "" : labels(chordSlots()), scene.chordLabels);
    }
};

// The name of a case as the name of its test.
inline constexpr auto caseName = [](const auto& info) { return std::string(info.param.name); };

} // namespace clavora::test
