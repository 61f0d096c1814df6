#include "PlayingFixture.h"
#include "keys/Setting.h"

#include <ostream>
#include <string>
#include <vector>

namespace clavora::test {
namespace {

using namespace keys;

class DrumsMode : public PlayingTest {
protected:
    void SetUp() override
    {
        PlayingTest::SetUp();
        tapShift(kF(4));
        ASSERT_TRUE(piano.playDrums());
        midi.clear();
    }

    // Sound number and intensity of every pad.
    std::vector<int> drumMap()
    {
        std::vector<int> map;
        for (int pad = 0; pad < DrumPads::kPadCount; ++pad)
            map.push_back(drums().soundNumber(pad) * 2 + drums().isHigh(pad));
        return map;
    }
};

TEST_F(DrumsMode, EveryPadOfTheDefaultMapSoundsItsNote)
{
    const int codes[] = {90, 88, 67, 86, 66, 78, 77, 188, 190, 191, 65, 83, 68, 70, 71, 72,
                         74, 75, 76, 186, 222, 13, 81, 87, 69, 82, 84, 89, 85, 73, 79, 80,
                         219, 221, 49, 50, 51, 52, 53, 54, 55, 56, 57, 48, 189, 187, 8};
    const int notes[] = {41, 41, 41, 41, 43, 43, 43, 43, 44, 44, 38, 38, 38, 38, 40, 40,
                         40, 40, 42, 42, 49, 57, 35, 35, 35, 35, 36, 36, 36, 36, 46, 46,
                         51, 51, 45, 45, 45, 45, 48, 48, 48, 48, 50, 50, 50, 50, 55};
    const bool high[] = {0, 0, 1, 1, 0, 0, 1, 1, 0, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 1, 1, 1, 0, 0,
                         1, 1, 0, 0, 1, 1, 0, 1, 0, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 1};
    for (int pad = 0; pad < DrumPads::kPadCount; ++pad) {
        midi.clear();
        piano.keyDown(codes[pad], 0);
        piano.keyUp(codes[pad], 0);
        // Normal pads play at the volume less 48, high ones at the volume.
        const std::vector<RecordingMidiOutput::Message> expected{
            {0, 0x99, notes[pad], high[pad] ? 127 : 79}, {0, 0x89, notes[pad], 0}};
        EXPECT_EQ(midi.messages(), expected) << pad;
        EXPECT_EQ(drums().lastDrumKey(), pad);
    }
}

TEST_F(DrumsMode, AHeldPadIsNotRetriggered)
{
    for (int i = 0; i < 4; ++i)
        piano.keyDown('X', 0);
    piano.keyUp('X', 0);
    piano.keyDown('X', 0);
    EXPECT_EQ(sent(), (Log{"99 29 4F", "89 29 00", "99 29 4F"}));
}

// A command typed with its modifiers.
struct Stroke {
    int code;
    int mask = 0;
};

struct SoundCase {
    const char* name;
    int pad;  // the key of the pad played first, which becomes the last pad
    const char* digits;
    std::vector<Stroke> strokes;
    int sound;
    bool high;
    const char* text;

    friend void PrintTo(const SoundCase& c, std::ostream* os) { *os << c.name; }
};

class PadSound : public DrumsMode, public ::testing::WithParamInterface<SoundCase> {};

// The keypad, the arrows and Up/Down edit the last pad's sound, within the
// drum sounds, without playing anything.
TEST_P(PadSound, EditsTheLastPadsSound)
{
    const SoundCase& c = GetParam();
    tap(c.pad);
    const int pad = drums().lastDrumKey();
    midi.clear();
    typeKeypad(c.digits);
    for (const Stroke& stroke : c.strokes)
        withModifiers(stroke.code, stroke.mask);
    EXPECT_EQ(drums().soundNumber(pad), c.sound);
    EXPECT_EQ(drums().isHigh(pad), c.high);
    EXPECT_EQ(drums().numberText(pad), c.text);
    EXPECT_TRUE(sent().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Edits, PadSound,
    ::testing::Values(
        SoundCase{"Typed", 'Z', "09", {}, 9, false, "09"},
        SoundCase{"TypedNoDrum", 'Z', "55", {}, 6, false, "06"},
        SoundCase{"Right", 'Z', "00", {{kRight}}, 1, false, "01"},
        SoundCase{"Left", 'Z', "46", {{kLeft}}, 45, false, "45"},
        SoundCase{"RightAtTop", 'Z', "46", {{kRight}}, 46, false, "46"},
        SoundCase{"LeftAtZero", 'Z', "00", {{kLeft}}, 0, false, "00"},
        SoundCase{"ShiftRight", 'Z', "12", {{kRight, kShiftMask}}, 20, false, "20"},
        SoundCase{"ShiftRightPastTop", 'Z', "40", {{kRight, kShiftMask}}, 46, false, "46"},
        SoundCase{"ShiftLeft", 'Z', "20", {{kLeft, kShiftMask}}, 12, false, "12"},
        SoundCase{"ShiftLeftPastZero", 'Z', "05", {{kLeft, kShiftMask}}, 0, false, "00"},
        SoundCase{"Up", 'Z', "", {{kUp}}, 6, true, "06"},
        SoundCase{"Down", 'C', "", {{kDown}}, 6, false, "06"}),
    [](const ::testing::TestParamInfo<SoundCase>& info) { return std::string(info.param.name); });

TEST_F(DrumsMode, AnEditedPadPlaysItsNewSoundAndTheOthersKeepTheirs)
{
    tap('Z');
    typeKeypad("0");
    tap('C');  // other keys leave the entry alone; C is now the last pad
    typeKeypad("9");
    tap(kDown);
    midi.clear();
    piano.keyDown('C', 0);
    piano.keyDown('Z', 0);
    EXPECT_EQ(sent(), (Log{"99 2C 4F", "99 29 4F"}));

    // Normal pads lose 48 from the volume and never go below 0.
    drums().volume().setValue(40);
    piano.keyDown('X', 0);
    piano.keyDown('V', 0);
    EXPECT_EQ(sent(), (Log{"99 2C 4F", "99 29 4F", "99 29 00", "99 29 28"}));
}

struct VolumeCase {
    int start;
    Stroke stroke;
    int result;
};

class DrumVolume : public DrumsMode, public ::testing::WithParamInterface<VolumeCase> {};

TEST_P(DrumVolume, StepsAndClamps)
{
    const VolumeCase& c = GetParam();
    drums().volume().setValue(c.start);
    withModifiers(c.stroke.code, c.stroke.mask);
    EXPECT_EQ(drums().volume().value(), c.result);
    EXPECT_TRUE(sent().empty());
}

INSTANTIATE_TEST_SUITE_P(Steps, DrumVolume,
                         ::testing::Values(VolumeCase{127, {kF(6)}, 127}, VolumeCase{127, {kF(5)}, 126},
                                           VolumeCase{0, {kF(5)}, 0}, VolumeCase{0, {kF(6)}, 1},
                                           VolumeCase{127, {kF(5), kShiftMask}, 119},
                                           VolumeCase{7, {kF(5), kShiftMask}, 0},
                                           VolumeCase{121, {kF(6), kShiftMask}, 127}));

TEST_F(DrumsMode, ResetRestoresTheDefaultMapButNotVolumeOrLastPad)
{
    const auto defaults = drumMap();
    for (int pad = 0; pad < DrumPads::kPadCount; ++pad)
        drums().setSound(pad, (drums().soundNumber(pad) + 1) % 47, !drums().isHigh(pad));
    tap('M');
    tap(kF(5));
    ASSERT_NE(drumMap(), defaults);

    tapShiftCtrl(kF(12));
    EXPECT_EQ(drumMap(), defaults);
    EXPECT_EQ(drums().volume().value(), 126);
    EXPECT_EQ(drums().lastDrumKey(), 6);
    EXPECT_TRUE(piano.playDrums());
}

TEST_F(DrumsMode, NavigationKeysOfTheDrumRowsDoNothing)
{
    tap('V');
    midi.clear();
    for (const int code : {kInsert, kHome, kPageUp, kDelete, kEnd, kPageDown}) {
        piano.keyDown(code, 0);  // held: auto-repeat
        tap(code);
        tapShift(code);
    }
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(drums().lastDrumKey(), 3);
}

TEST_F(DrumsMode, ShiftCtrlSilencesPadsButShiftCtrlOrAltAloneDoNot)
{
    piano.keyDown(kShift, kShiftMask);
    piano.keyDown(kCtrl, kShiftMask | kCtrlMask);
    piano.keyDown('Z', kShiftMask | kCtrlMask);
    piano.keyDown(kEscape, kShiftMask | kCtrlMask);
    piano.keyUp('Z', kShiftMask | kCtrlMask);  // no pad was pressed: none stops
    EXPECT_TRUE(sent().empty());
    piano.keyUp(kCtrl, kShiftMask);

    piano.keyDown('X', kShiftMask);
    piano.keyDown('B', kCtrlMask);
    piano.keyDown('N', kAltMask);
    EXPECT_EQ(sent(), (Log{"99 29 4F", "99 2B 4F", "99 2B 4F"}));
}

TEST_F(DrumsMode, EscSilencesAndPianoCommandsAreOff)
{
    tap(kEscape);
    EXPECT_EQ(sent().size(), 16u);
    EXPECT_EQ(sent().front(), "B0 78 00");
    midi.clear();

    tap(kF(2));       // not a drums command
    tapCtrl(kRight);  // Ctrl+arrow: no command, no pad
    tap(kF(8));
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(chords().mode(), ChordArea::Mode::ThreeKeys);
    EXPECT_EQ(chordSlots().instrument().value(), 50);
    EXPECT_EQ(mainArea().voices().value(), 1);
}

} // namespace
} // namespace clavora::test
