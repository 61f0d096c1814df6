#include "PlayingFixture.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <utility>

namespace clavora::test {
namespace {

using namespace keys;

class KeyDispatch : public PlayingTest {
protected:
    // Every value a key command can change, to check that one changed nothing.
    std::vector<int> state()
    {
        std::vector<int> values;
        for (VoiceArea* area : {&mainArea(), &chordSlots()}) {
            for (Setting* s : {&area->instrument(), &area->octave(), &area->volume(), &area->channel(), &area->voices()})
                values.push_back(s->value());
        }
        values.push_back(static_cast<int>(chords().mode()));
        values.push_back(chords().splitPoint());
        values.push_back(chords().choosingSplitPoint());
        values.push_back(piano.playDrums());
        values.push_back(drums().volume().value());
        return values;
    }
};

enum class What { Instrument, Octave, Volume, Channel, Voices };

struct StepCase {
    const char* name;
    bool chordArea;
    What what;
    int start;
    int code;
    int mask;
    int result;
    Log midi;

    friend void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }
};

class SettingKey : public KeyDispatch, public ::testing::WithParamInterface<StepCase> {};

// Each setting key steps its own setting by its own amount, stops at the
// limits, and passes the new value on to the current slot.
TEST_P(SettingKey, StepsItsSettingWithinTheLimits)
{
    const StepCase& c = GetParam();
    VoiceArea& area = c.chordArea ? chordSlots() : mainArea();
    Setting* const settings[] = {&area.instrument(), &area.octave(), &area.volume(), &area.channel(), &area.voices()};
    Setting& setting = *settings[static_cast<int>(c.what)];
    setting.setValue(c.start);
    midi.clear();
    const int other = (c.chordArea ? mainArea() : chordSlots()).instrument().value();

    withModifiers(c.code, c.mask);
    EXPECT_EQ(setting.value(), c.result);
    EXPECT_EQ(sent(), c.midi);
    const int slot = area.channel().value();
    const int slotValues[] = {area.slotInstrument(slot), area.slotOctave(slot), area.slotVolume(slot)};
    if (c.what <= What::Volume) {
        EXPECT_EQ(slotValues[static_cast<int>(c.what)], c.result);
    }
    EXPECT_EQ((c.chordArea ? mainArea() : chordSlots()).instrument().value(), other);
}

constexpr int kShiftCtrl = kShiftMask | kCtrlMask;
using W = What;

INSTANTIATE_TEST_SUITE_P(
    MainAndChordAreas, SettingKey,
    ::testing::Values(
        StepCase{"LeftAtZero", false, W::Instrument, 0, kLeft, 0, 0, {}},
        StepCase{"Right", false, W::Instrument, 1, kRight, 0, 2, {"C0 02 00"}},
        StepCase{"Left", false, W::Instrument, 2, kLeft, 0, 1, {"C0 01 00"}},
        StepCase{"RightAtTop", false, W::Instrument, 127, kRight, 0, 127, {}},
        StepCase{"ShiftRight", false, W::Instrument, 100, kRight, kShiftMask, 110, {"C0 6E 00"}},
        StepCase{"ShiftRightPastTop", false, W::Instrument, 118, kRight, kShiftMask, 127, {"C0 7F 00"}},
        StepCase{"ShiftLeft", false, W::Instrument, 15, kLeft, kShiftMask, 5, {"C0 05 00"}},
        StepCase{"ShiftLeftPastZero", false, W::Instrument, 9, kLeft, kShiftMask, 0, {"C0 00 00"}},
        StepCase{"Up", false, W::Octave, 4, kUp, 0, 5, {}},
        StepCase{"UpAtTop", false, W::Octave, 5, kUp, 0, 5, {}},
        StepCase{"DownAtBottom", false, W::Octave, 1, kDown, 0, 1, {}},
        StepCase{"ShiftF5", false, W::Volume, 127, kF(5), kShiftMask, 119, {}},
        StepCase{"ShiftF5PastZero", false, W::Volume, 7, kF(5), kShiftMask, 0, {}},
        StepCase{"ShiftF6", false, W::Volume, 0, kF(6), kShiftMask, 8, {}},
        StepCase{"ShiftF6PastTop", false, W::Volume, 121, kF(6), kShiftMask, 127, {}},
        StepCase{"F5AtOne", false, W::Channel, 1, kF(5), 0, 1, {}},
        StepCase{"F6AtSeven", false, W::Channel, 7, kF(6), 0, 7, {}},
        StepCase{"F8", false, W::Voices, 1, kF(8), 0, 2, {}},
        StepCase{"F8AtSeven", false, W::Voices, 7, kF(8), 0, 7, {}},
        StepCase{"F7AtOne", false, W::Voices, 1, kF(7), 0, 1, {}},
        StepCase{"CtrlRight", true, W::Instrument, 50, kRight, kCtrlMask, 51, {"C7 33 00"}},
        StepCase{"CtrlLeft", true, W::Instrument, 50, kLeft, kCtrlMask, 49, {"C7 31 00"}},
        StepCase{"ShiftCtrlRight", true, W::Instrument, 49, kRight, kShiftCtrl, 59, {"C7 3B 00"}},
        StepCase{"ShiftCtrlLeft", true, W::Instrument, 49, kLeft, kShiftCtrl, 39, {"C7 27 00"}},
        StepCase{"CtrlUpAtTop", true, W::Octave, 5, kUp, kCtrlMask, 5, {}},
        StepCase{"CtrlDown", true, W::Octave, 5, kDown, kCtrlMask, 4, {}},
        StepCase{"ShiftF9", true, W::Volume, 103, kF(9), kShiftMask, 95, {}},
        StepCase{"ShiftF10PastTop", true, W::Volume, 125, kF(10), kShiftMask, 127, {}},
        StepCase{"F10", true, W::Channel, 1, kF(10), 0, 2, {"C8 59 00", "C8 59 00"}},
        StepCase{"F9AtOne", true, W::Channel, 1, kF(9), 0, 1, {}},
        StepCase{"F12", true, W::Voices, 1, kF(12), 0, 2, {}},
        StepCase{"F11", true, W::Voices, 3, kF(11), 0, 2, {}}),
    [](const ::testing::TestParamInfo<StepCase>& info) { return std::string(info.param.name); });

struct KeypadCase {
    const char* name;
    std::vector<std::pair<std::string, int>> typed;  // digits and the mask they are typed with
    int mainProgram;
    int chordProgram;
    int beeps;
    Log midi;

    friend void PrintTo(const KeypadCase& c, std::ostream* os) { *os << c.name; }
};

class KeypadEntry : public KeyDispatch, public ::testing::WithParamInterface<KeypadCase> {};

// The keypad takes a program number in three digits; Ctrl+keypad has its own
// digits for the chord area.
TEST_P(KeypadEntry, TypesAProgramNumberInThreeDigits)
{
    const KeypadCase& c = GetParam();
    for (const auto& [digits, mask] : c.typed)
        typeKeypad(digits, mask);
    EXPECT_EQ(sent(), c.midi);
    EXPECT_EQ(mainArea().instrument().value(), c.mainProgram);
    EXPECT_EQ(mainArea().slotInstrument(1), c.mainProgram);
    EXPECT_EQ(chordSlots().instrument().value(), c.chordProgram);
    EXPECT_EQ(platform.beeps, c.beeps);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, KeypadEntry,
    ::testing::Values(
        KeypadCase{"ThreeDigits", {{"042", 0}}, 42, 50, 0, {"C0 2A 00"}},
        KeypadCase{"TwoDigitsWait", {{"04", 0}}, 0, 50, 0, {}},
        KeypadCase{"TheCurrentProgram", {{"000", 0}}, 0, 50, 0, {}},
        KeypadCase{"TooLargeBeeps", {{"130", 0}}, 0, 50, 1, {}},
        KeypadCase{"AfterABeepStartsAgain", {{"130", 0}, {"127", 0}}, 127, 50, 1, {"C0 7F 00"}},
        KeypadCase{"CtrlForTheChordArea", {{"0", 0}, {"042", kCtrlMask}, {"12", 0}}, 12, 42, 0,
                   {"C7 2A 00", "C0 0C 00"}},
        KeypadCase{"CtrlTooLargeBeeps", {{"999", kCtrlMask}}, 0, 50, 1, {}}),
    [](const ::testing::TestParamInfo<KeypadCase>& info) { return std::string(info.param.name); });

TEST_F(KeyDispatch, CtrlAloneIsSilentAndAltStillPlays)
{
    piano.keyDown(kCtrl, kCtrlMask);
    EXPECT_TRUE(sent().empty());
    piano.keyUp(kCtrl, 0);
    piano.keyDown(kComma, kAltMask);
    EXPECT_EQ(sent(), (Log{"90 3C 7F"}));
}

TEST_F(KeyDispatch, HoldingAPlayingKeySendsOneNoteOnButHoldingAnArrowRepeats)
{
    tap(kF(2));  // one-key mode, no chord area: Z is a main key
    midi.clear();
    for (int i = 0; i < 5; ++i)
        piano.keyDown('Z', 0);
    piano.keyUp('Z', 0);
    for (int i = 0; i < 3; ++i)
        piano.keyDown(kRight, 0);
    EXPECT_EQ(sent(), (Log{"90 30 7F", "80 30 00", "C0 01 00", "C0 02 00", "C0 03 00"}));
}

TEST_F(KeyDispatch, KeysOutsideTheirTableDoNothing)
{
    const auto before = state();
    tapShift(kF(7));
    tap(kF13);
    tapShift(kUp);
    tapShift(kF(11));
    tapCtrl(kF(5));  // Ctrl with a function key: no command and no note
    tapShiftCtrl(kUp);
    tapShiftCtrl(kF(1));
    tapShift(kKeypad0 + 5);
    piano.keyDown(kF(6), kAltMask);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(state(), before);
    EXPECT_EQ(platform.beeps, 0);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(KeyDispatch, DialogKeysAskTheWindowForTheirDialogs)
{
    int requests = 0;
    QObject::connect(&piano, &Piano::helpRequested, [&] { requests += 1; });
    QObject::connect(&piano, &Piano::languageDialogRequested, [&] { requests += 10; });
    QObject::connect(&piano, &Piano::editChordRequested, [&] { requests += 100; });
    QObject::connect(&piano, &Piano::drumEditorRequested, [&] { requests += 1000; });
    tap(kF(1));
    tapShift(kF(1));
    tapShift(kF(12));  // three-key mode: the chord editor
    tap(kF(2));
    tapShift(kF(12));  // one-key mode has no chord editor
    tapShift(kF(4));   // drums mode has its own dispatch
    tap(kF(12));
    tap(kF(1));
    tapShift(kF(1));
    EXPECT_EQ(requests, 1122);
}

TEST_F(KeyDispatch, EscSilencesAndCancelsAPendingSplitChoiceButKeepsHeldKeys)
{
    piano.keyDown(kComma, 0);
    tap(kF(2));
    tapShift(kF(2));
    midi.clear();

    tap(kEscape);
    Log silence;
    for (int channel = 0; channel < 16; ++channel) {
        char text[12];
        std::snprintf(text, sizeof text, "B%X 78 00", channel);
        silence.push_back(text);
    }
    EXPECT_EQ(sent(), silence);
    EXPECT_FALSE(chords().choosingSplitPoint());

    midi.clear();
    piano.keyDown(kComma, 0);  // auto-repeat of the held key
    piano.keyUp(kComma, 0);
    piano.keyDown('Y', 0);
    EXPECT_EQ(chords().chosenSplitPoint(), 0);
    EXPECT_EQ(sent(), (Log{"80 3C 00", "90 4A 7F"}));
}

} // namespace
} // namespace clavora::test
