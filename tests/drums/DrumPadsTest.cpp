#include "PlayingFixture.h"
#include "keys/Setting.h"

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

TEST_F(DrumsMode, PadsPlayOnChannelNineAtTheirIntensity)
{
    piano.keyDown('Z', 0);
    EXPECT_EQ(sent(), (Log{"99 29 4F"}));  // Normal: 127 - 48
    piano.keyDown('C', 0);
    EXPECT_EQ(sent(), (Log{"99 29 4F", "99 29 7F"}));  // High
    midi.clear();
    piano.keyUp('Z', 0);
    EXPECT_EQ(sent(), (Log{"89 29 00"}));
    EXPECT_EQ(drums().lastDrumKey(), 0);
}

TEST_F(DrumsMode, AHeldPadIsNotRetriggered)
{
    for (int i = 0; i < 4; ++i)
        piano.keyDown('X', 0);
    piano.keyUp('X', 0);
    EXPECT_EQ(sent(), (Log{"99 29 4F", "89 29 00"}));
    EXPECT_FALSE(drums().isPressed(1));
    piano.keyDown('X', 0);
    EXPECT_EQ(sent().back(), "99 29 4F");
}

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
        const std::vector<RecordingMidiOutput::Message> expected{
            {0, 0x99, notes[pad], high[pad] ? 127 : 79}, {0, 0x89, notes[pad], 0}};
        EXPECT_EQ(midi.messages(), expected) << pad;
        EXPECT_EQ(drums().lastDrumKey(), pad);
    }
}

TEST_F(DrumsMode, KeypadTypesTheLastPadsSoundNumber)
{
    tap('Z');
    midi.clear();
    typeKeypad("55");  // 55 is no drum sound
    EXPECT_EQ(drums().soundNumber(0), 6);
    EXPECT_TRUE(sent().empty());
    typeKeypad("09");
    EXPECT_EQ(drums().soundNumber(0), 9);
    EXPECT_EQ(drums().numberText(0), "09");
    EXPECT_FALSE(drums().isHigh(0));
    EXPECT_TRUE(sent().empty());  // typing plays nothing

    piano.keyDown('Z', 0);
    EXPECT_EQ(sent(), (Log{"99 2C 4F"}));
    EXPECT_EQ(drums().soundNumber(1), 6);  // X keeps its own sound
}

TEST_F(DrumsMode, HalfTypedNumberWaitsForItsSecondDigit)
{
    tap('Z');
    typeKeypad("4");
    tap('X');  // other keys leave the entry alone; X is now the last pad
    typeKeypad("6");
    EXPECT_EQ(drums().soundNumber(1), 46);
    EXPECT_EQ(drums().soundNumber(0), 6);
}

TEST_F(DrumsMode, ArrowsStepTheSoundNumberAndStopAtTheEnds)
{
    tap('Z');
    midi.clear();
    typeKeypad("40");
    tapShift(kRight);
    EXPECT_EQ(drums().soundNumber(0), 46);
    tap(kRight);
    EXPECT_EQ(drums().soundNumber(0), 46);
    tapShift(kRight);
    EXPECT_EQ(drums().soundNumber(0), 46);
    tap(kLeft);
    EXPECT_EQ(drums().soundNumber(0), 45);
    EXPECT_EQ(drums().numberText(0), "45");

    typeKeypad("05");
    tapShift(kLeft);
    EXPECT_EQ(drums().soundNumber(0), 0);
    tap(kLeft);
    EXPECT_EQ(drums().soundNumber(0), 0);
    tap(kRight);
    EXPECT_EQ(drums().soundNumber(0), 1);
    typeKeypad("20");
    tapShift(kLeft);
    EXPECT_EQ(drums().soundNumber(0), 12);
    tapShift(kRight);
    EXPECT_EQ(drums().soundNumber(0), 20);
    EXPECT_TRUE(sent().empty());  // stepping plays nothing
}

TEST_F(DrumsMode, UpAndDownSetTheIntensity)
{
    tap('C');  // High
    tap(kDown);
    EXPECT_FALSE(drums().isHigh(2));
    EXPECT_EQ(drums().soundNumber(2), 6);
    midi.clear();
    piano.keyDown('C', 0);
    EXPECT_EQ(sent(), (Log{"99 29 4F"}));
    piano.keyUp('C', 0);
    tap(kUp);
    EXPECT_TRUE(drums().isHigh(2));
    midi.clear();
    piano.keyDown('C', 0);
    EXPECT_EQ(sent(), (Log{"99 29 7F"}));
}

TEST_F(DrumsMode, VolumeKeysStepAndClamp)
{
    DrumPads& pads = drums();
    tap(kF(6));
    EXPECT_EQ(pads.volume().value(), 127);
    for (int i = 0; i < 6; ++i)
        tap(kF(5));
    EXPECT_EQ(pads.volume().value(), 121);
    tapShift(kF(6));
    EXPECT_EQ(pads.volume().value(), 127);
    EXPECT_EQ(pads.volume().label(), "Volume 127");

    tapShift(kF(5));
    EXPECT_EQ(pads.volume().value(), 119);
    EXPECT_EQ(pads.volume().label(), "Volume 119");
    pads.volume().setValue(7);
    tapShift(kF(5));
    EXPECT_EQ(pads.volume().value(), 0);
    tap(kF(5));
    EXPECT_EQ(pads.volume().value(), 0);
    tap(kF(6));
    EXPECT_EQ(pads.volume().value(), 1);
    EXPECT_TRUE(sent().empty());

    // Normal pads lose 48 and never go below 0.
    pads.volume().setValue(40);
    piano.keyDown('Z', 0);
    piano.keyDown('C', 0);
    EXPECT_EQ(sent(), (Log{"99 29 00", "99 29 28"}));
}

TEST_F(DrumsMode, ResetRestoresTheDefaultMapButNotVolumeOrLastPad)
{
    const auto defaults = drumMap();
    for (int pad = 0; pad < DrumPads::kPadCount; ++pad)
        drums().setSound(pad, (drums().soundNumber(pad) + 1) % 47, !drums().isHigh(pad));
    tap('M');
    typeKeypad("01");
    tap(kF(5));
    ASSERT_NE(drumMap(), defaults);

    tapShiftCtrl(kF(12));
    EXPECT_EQ(drumMap(), defaults);
    EXPECT_EQ(drums().numberText(6), "08");
    EXPECT_EQ(drums().volume().value(), 126);
    EXPECT_EQ(drums().lastDrumKey(), 6);
    EXPECT_TRUE(piano.playDrums());
}

TEST_F(DrumsMode, NavigationKeysOfTheDrumRowsDoNothing)
{
    tap('V');
    midi.clear();
    for (const int code : {kInsert, kHome, kPageUp, kDelete, kEnd, kPageDown}) {
        piano.keyDown(code, 0);
        piano.keyDown(code, 0);
        piano.keyUp(code, 0);
        piano.keyDown(code, kShiftMask);
        piano.keyUp(code, kShiftMask);
    }
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(drums().lastDrumKey(), 3);
}

TEST_F(DrumsMode, ShiftCtrlSilencesPadsButShiftAloneDoesNot)
{
    piano.keyDown(kShift, kShiftMask);
    piano.keyDown(kCtrl, kShiftMask | kCtrlMask);
    piano.keyDown('Z', kShiftMask | kCtrlMask);
    piano.keyDown(kEscape, kShiftMask | kCtrlMask);
    EXPECT_TRUE(sent().empty());
    piano.keyUp('Z', kShiftMask | kCtrlMask);  // no pad was pressed: none stops
    EXPECT_TRUE(sent().empty());
    piano.keyUp(kCtrl, kShiftMask);
    midi.clear();

    piano.keyDown('X', kShiftMask);
    EXPECT_EQ(sent(), (Log{"99 29 4F"}));
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

    const int mainInstrument = mainArea().instrument().value();
    tap(kF(2));       // not a drums command
    tapCtrl(kRight);  // Ctrl+arrow: no command, no pad
    tap(kF(8));
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(chords().mode(), ChordArea::Mode::ThreeKeys);
    EXPECT_EQ(mainArea().instrument().value(), mainInstrument);
    EXPECT_EQ(chordSlots().instrument().value(), 50);
    EXPECT_EQ(mainArea().voices().value(), 1);
}

TEST_F(DrumsMode, ShiftF4LeavesDrumsMode)
{
    tapShift(kF(4));
    EXPECT_FALSE(piano.playDrums());
    piano.keyDown('Z', 0);
    EXPECT_EQ(sent(), (Log{"97 37 67", "97 3C 67", "97 40 67"}));
}

TEST_F(DrumsMode, DrumEditorAndHelpAreRequestedByF12AndF1)
{
    int requests = 0;
    QObject::connect(&piano, &Piano::drumEditorRequested, [&] { requests += 1; });
    QObject::connect(&piano, &Piano::helpRequested, [&] { requests += 10; });
    QObject::connect(&piano, &Piano::languageDialogRequested, [&] { requests += 100; });
    tap(kF(12));
    tap(kF(1));
    tapShift(kF(1));
    EXPECT_EQ(requests, 111);
}

} // namespace
} // namespace clavora::test
