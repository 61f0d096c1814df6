#include "PlayingFixture.h"

#include <cstdio>
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

    int requests = 0;
};

// Table 1 and 3 steps stop at their limits; each step is one change.
TEST_F(KeyDispatch, ArrowsStepInstrumentAndOctaveWithinTheirLimits)
{
    tap(kLeft);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(mainArea().instrument().value(), 0);

    tap(kRight);
    tap(kRight);
    EXPECT_EQ(sent(), (Log{"C0 01 00", "C0 02 00"}));
    tap(kLeft);
    EXPECT_EQ(mainArea().instrument().value(), 1);

    tap(kUp);
    EXPECT_EQ(mainArea().octave().value(), 5);
    tap(kUp);
    EXPECT_EQ(mainArea().octave().value(), 5);
    for (int i = 0; i < 6; ++i)
        tap(kDown);
    EXPECT_EQ(mainArea().octave().value(), 1);

    typeKeypad("127");
    midi.clear();
    tap(kRight);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(mainArea().instrument().value(), 127);
}

TEST_F(KeyDispatch, ShiftArrowsJumpTenAndStopAtTheLimits)
{
    for (const int start : {117, 118, 120}) {
        typeKeypad(std::to_string(start));
        midi.clear();
        tapShift(kRight);
        EXPECT_EQ(mainArea().instrument().value(), 127) << start;
        EXPECT_EQ(sent(), (Log{"C0 7F 00"})) << start;
    }
    typeKeypad("100");
    tapShift(kRight);
    EXPECT_EQ(mainArea().instrument().value(), 110);

    typeKeypad("009");
    tapShift(kLeft);
    EXPECT_EQ(mainArea().instrument().value(), 0);
    typeKeypad("010");
    tapShift(kLeft);
    EXPECT_EQ(mainArea().instrument().value(), 0);
    typeKeypad("015");
    tapShift(kLeft);
    EXPECT_EQ(mainArea().instrument().value(), 5);
}

TEST_F(KeyDispatch, ShiftF5AndF6StepTheVolumeByEightAndClamp)
{
    const std::pair<int, int> down[] = {{7, 0}, {8, 0}, {9, 1}, {127, 119}};
    for (const auto& [start, result] : down) {
        mainArea().volume().setValue(start);
        tapShift(kF(5));
        EXPECT_EQ(mainArea().volume().value(), result) << start;
        EXPECT_EQ(mainArea().slotVolume(1), result) << start;
    }
    const std::pair<int, int> up[] = {{119, 127}, {120, 127}, {121, 127}, {0, 8}};
    for (const auto& [start, result] : up) {
        mainArea().volume().setValue(start);
        tapShift(kF(6));
        EXPECT_EQ(mainArea().volume().value(), result) << start;
    }
    EXPECT_TRUE(sent().empty());
}

TEST_F(KeyDispatch, FunctionKeysStepChannelsAndVoicesOfBothAreas)
{
    tap(kF(5));
    EXPECT_TRUE(sent().empty());  // Channel already 1
    for (int i = 0; i < 6; ++i)
        tap(kF(6));
    EXPECT_EQ(mainArea().channel().value(), 7);
    midi.clear();
    const auto before = state();
    tap(kF(6));
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(state(), before);

    for (int i = 0; i < 8; ++i)
        tap(kF(8));
    EXPECT_EQ(mainArea().voices().value(), 7);
    for (int i = 0; i < 8; ++i)
        tap(kF(7));
    EXPECT_EQ(mainArea().voices().value(), 1);

    midi.clear();
    tap(kF(10));
    EXPECT_EQ(chordSlots().channel().value(), 2);
    EXPECT_EQ(sent(), (Log{"C8 59 00", "C8 59 00"}));
    tap(kF(9));
    tap(kF(9));
    EXPECT_EQ(chordSlots().channel().value(), 1);
    tap(kF(12));
    tap(kF(12));
    EXPECT_EQ(chordSlots().voices().value(), 3);
    tap(kF(11));
    EXPECT_EQ(chordSlots().voices().value(), 2);
    EXPECT_EQ(chordSlots().voices().label(), "Voices 2");
}

TEST_F(KeyDispatch, CtrlAndShiftCtrlCommandsEditTheChordArea)
{
    tapCtrl(kRight);
    EXPECT_EQ(sent(), (Log{"C7 33 00"}));
    EXPECT_EQ(chordSlots().slotInstrument(1), 51);
    tapCtrl(kLeft);
    tapCtrl(kLeft);
    EXPECT_EQ(chordSlots().instrument().value(), 49);
    tapShiftCtrl(kRight);
    EXPECT_EQ(chordSlots().instrument().value(), 59);
    tapShiftCtrl(kLeft);
    tapShiftCtrl(kLeft);
    EXPECT_EQ(chordSlots().instrument().value(), 39);
    tapCtrl(kUp);
    EXPECT_EQ(chordSlots().octave().value(), 5);
    tapCtrl(kUp);
    EXPECT_EQ(chordSlots().octave().value(), 5);
    tapCtrl(kDown);
    EXPECT_EQ(chordSlots().slotOctave(1), 4);

    tapShift(kF(9));
    EXPECT_EQ(chordSlots().volume().value(), 95);
    chordSlots().volume().setValue(125);
    tapShift(kF(10));
    EXPECT_EQ(chordSlots().volume().value(), 127);
    EXPECT_EQ(chordSlots().slotVolume(1), 127);

    // The main area is untouched.
    EXPECT_EQ(mainArea().instrument().value(), 0);
    EXPECT_EQ(mainArea().octave().value(), 4);
}

TEST_F(KeyDispatch, KeypadTypesAMainProgramNumberInThreeDigits)
{
    typeKeypad("04");
    EXPECT_TRUE(sent().empty());
    typeKeypad("2");
    EXPECT_EQ(sent(), (Log{"C0 2A 00"}));
    EXPECT_EQ(mainArea().instrument().value(), 42);
    EXPECT_EQ(mainArea().slotInstrument(1), 42);
    midi.clear();

    typeKeypad("130");
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(mainArea().instrument().value(), 42);

    typeKeypad("127");  // the position went back to the first digit
    EXPECT_EQ(sent(), (Log{"C0 7F 00"}));
    EXPECT_EQ(mainArea().instrument().value(), 127);
    EXPECT_EQ(platform.beeps, 1);
}

TEST_F(KeyDispatch, TypingTheCurrentProgramSendsNothing)
{
    typeKeypad("000");
    EXPECT_TRUE(sent().empty());
}

TEST_F(KeyDispatch, CtrlKeypadTypesTheChordProgramWithItsOwnDigits)
{
    typeKeypad("0");  // main entry waits for two more digits
    typeKeypad("042", kCtrlMask);
    EXPECT_EQ(sent(), (Log{"C7 2A 00"}));
    EXPECT_EQ(chordSlots().instrument().value(), 42);
    EXPECT_EQ(mainArea().instrument().value(), 0);
    midi.clear();

    typeKeypad("12");  // completes 0, 1, 2
    EXPECT_EQ(sent(), (Log{"C0 0C 00"}));
    EXPECT_EQ(chordSlots().instrument().value(), 42);

    typeKeypad("999", kCtrlMask);
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_EQ(chordSlots().instrument().value(), 42);
}

TEST_F(KeyDispatch, CtrlWithAPlayingKeyPlaysItWithTheSeventhChord)
{
    piano.keyDown(kCtrl, kCtrlMask);
    EXPECT_TRUE(sent().empty());  // Ctrl alone plays nothing
    EXPECT_EQ(chords().chordTypeText(), "7");

    piano.keyDown('Z', kCtrlMask);
    EXPECT_EQ(sent(), (Log{"97 37 67", "97 3A 67", "97 3C 67", "97 40 67"}));
    EXPECT_TRUE(piano.isKeyPressed(0));

    piano.keyUp(kCtrl, 0);
    EXPECT_EQ(chords().chordTypeText(), "maj");
    midi.clear();
    piano.keyUp('Z', 0);
    EXPECT_EQ(sent(), (Log{"87 37 00", "87 3A 00", "87 3C 00", "87 40 00"}));
}

TEST_F(KeyDispatch, AltWithAPlayingKeyStillPlaysIt)
{
    piano.keyDown(kComma, kAltMask);
    EXPECT_EQ(sent(), (Log{"90 3C 7F"}));
}

TEST_F(KeyDispatch, HoldingAPlayingKeySendsOneNoteOnButHoldingAnArrowRepeats)
{
    tap(kF(2));  // one-key mode, no chord area: Z is a main key
    midi.clear();
    for (int i = 0; i < 5; ++i)
        piano.keyDown('Z', 0);
    EXPECT_EQ(sent(), (Log{"90 30 7F"}));
    piano.keyUp('Z', 0);
    EXPECT_EQ(sent(), (Log{"90 30 7F", "80 30 00"}));
    midi.clear();

    for (int i = 0; i < 3; ++i)
        piano.keyDown(kRight, 0);
    EXPECT_EQ(sent(), (Log{"C0 01 00", "C0 02 00", "C0 03 00"}));
}

TEST_F(KeyDispatch, ShiftF2SplitsOnlyInOneKeyMode)
{
    tapShift(kF(2));
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_FALSE(chords().choosingSplitPoint());
    tap(kF(4));
    tapShift(kF(2));
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_FALSE(chords().choosingSplitPoint());

    tap(kF(2));
    tapShift(kF(2));
    EXPECT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(chords().choosingSplitPoint());
}

TEST_F(KeyDispatch, KeysOutsideTheirTableDoNothing)
{
    const auto before = state();
    tapShift(kF(7));
    tap(kF13);
    tapShift(kUp);
    tapShift(kF(11));
    tapCtrl(kF(5));   // Ctrl with a function key: no command and no note
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
    QObject::connect(&piano, &Piano::helpRequested, [this] { requests += 1; });
    QObject::connect(&piano, &Piano::languageDialogRequested, [this] { requests += 10; });
    QObject::connect(&piano, &Piano::editChordRequested, [this] { requests += 100; });
    tap(kF(1));
    tapShift(kF(1));
    tapShift(kF(12));  // three-key mode: the chord editor
    EXPECT_EQ(requests, 111);
    tap(kF(2));
    tapShift(kF(12));  // one-key mode has no chord editor
    EXPECT_EQ(requests, 111);
}

TEST_F(KeyDispatch, EscSilencesAndCancelsAPendingSplitChoice)
{
    tap(kF(2));
    tapShift(kF(2));
    ASSERT_TRUE(chords().choosingSplitPoint());
    midi.clear();

    tap(kEscape);
    Log silence;
    for (int channel = 0; channel < 16; ++channel)
    {
        char text[12];
        std::snprintf(text, sizeof text, "B%X 78 00", channel);
        silence.push_back(text);
    }
    EXPECT_EQ(sent(), silence);
    EXPECT_FALSE(chords().choosingSplitPoint());

    midi.clear();
    piano.keyDown('Y', 0);
    EXPECT_EQ(chords().splitPoint(), 0);
    EXPECT_EQ(chords().chosenSplitPoint(), 0);
    EXPECT_EQ(sent(), (Log{"90 4A 7F"}));
}

TEST_F(KeyDispatch, EscKeepsHeldKeysHeld)
{
    piano.keyDown(kComma, 0);
    tap(kEscape);
    midi.clear();
    piano.keyDown(kComma, 0);  // auto-repeat of the held key
    EXPECT_TRUE(sent().empty());
    piano.keyUp(kComma, 0);
    EXPECT_EQ(sent(), (Log{"80 3C 00"}));
}

TEST_F(KeyDispatch, PendingSplitChoiceTakesTheNextKeyAndPlaysItAsAMainNote)
{
    tap(kF(2));
    tapShift(kF(2));
    midi.clear();

    piano.keyDown('Y', 0);
    EXPECT_FALSE(chords().choosingSplitPoint());
    EXPECT_EQ(chords().splitPoint(), 26);
    EXPECT_EQ(chords().chosenSplitPoint(), 26);
    EXPECT_EQ(sent(), (Log{"90 4A 7F"}));
}

TEST_F(KeyDispatch, ModeAndDrumKeys)
{
    tap(kF(4));
    EXPECT_EQ(chords().mode(), ChordArea::Mode::Guitar);
    tap(kF(2));
    EXPECT_EQ(chords().mode(), ChordArea::Mode::OneKey);
    tap(kF(3));
    EXPECT_EQ(chords().mode(), ChordArea::Mode::ThreeKeys);
    tapShift(kF(4));
    EXPECT_TRUE(piano.playDrums());
}

} // namespace
} // namespace clavora::test
