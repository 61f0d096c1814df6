// The piano's key commands and the main area, played as scripts of key
// strokes with the exact MIDI each one sends.
#include "PlayingFixture.h"

#include <cstdio>

namespace clavora::test {
namespace {

using namespace keys;

class KeyCommands : public Scenes {};
TEST_P(KeyCommands, SendExactly) { play(); }

const std::string kChordSlot1 = "050 - Synth Strings 1|Octave 4|Volume 103|Channel 1|";

// Each setting key steps its own setting by its own amount, stops at the
// limits and passes the new value on to the selected slot. An arrow sends the
// program only when it moves; Shift+arrow clamps and always sends it.
INSTANTIATE_TEST_SUITE_P(
    Settings, KeyCommands,
    ::testing::Values(
        Scene{"ArrowsStopAtProgramZero", {}, {type(kLeft), type(kRight), type(kRight), type(kLeft)},
              {"C0 01 00", "C0 02 00", "C0 01 00"}},
        Scene{"ShiftArrowsStepByTenUpTo127", keypad("118"),
              {shift(kRight), type(kRight), shift(kRight), shift(kLeft), type(kLeft)},
              {"C0 7F 00", "C0 7F 00", "C0 75 00", "C0 74 00"}},
        Scene{"ShiftLeftStopsAtZero", keypad("015"), times(3, shift(kLeft)), {"C0 05 00", "C0 00 00", "C0 00 00"}},
        Scene{"OctaveStopsAtFive", {}, {type(kUp), type(kUp), hit(kComma)}, {"90 48 7F", "80 48 00"}},
        Scene{"OctaveStopsAtOne", {}, times(4, type(kDown)) + Steps{hit(kComma)}, {"90 18 7F", "80 18 00"}},
        Scene{"ShiftF5F6StepTheVolumeByEightDownToZero", times(15, shift(kF(5))),
              {shift(kF(5)), hit(kComma), shift(kF(6)), hit(kComma)},
              {"90 3C 00", "80 3C 00", "90 3C 08", "80 3C 00"}},
        Scene{"VolumeStopsAt127", times(16, shift(kF(5))) + times(15, shift(kF(6))), {shift(kF(6)), hit(kComma)},
              {"90 3C 7F", "80 3C 00"}},
        Scene{"ChannelStopsAtOne", {}, {type(kF(5)), hit(kComma)}, {"90 3C 7F", "80 3C 00"}},
        Scene{"ChannelStopsAtSeven", times(6, type(kF(6))), {type(kF(6)), hit(kComma)}, {"96 3C 7F", "86 3C 00"}},
        Scene{"VoicesStopAtOne", {}, {type(kF(7)), type(kF(8)), hit(kComma)},
              {"90 3C 7F", "91 3C 7F", "80 3C 00", "81 3C 00"}},
        Scene{"VoicesStopAtSeven", times(7, type(kF(8))), {}, {},
              "000 - Acoustic Grand Piano|Octave 4|Volume 127|Channel 1|Voices 7"},
        Scene{"CtrlArrowsStepTheChordInstrument", {},
              {ctrl(kRight), ctrl(kLeft), ctrl(kLeft), shiftCtrl(kRight), shiftCtrl(kLeft)},
              {"C7 33 00", "C7 32 00", "C7 31 00", "C7 3B 00", "C7 31 00"}},
        Scene{"CtrlUpDownStepTheChordOctaveUpToFive", {}, {ctrl(kUp), ctrl(kUp), hit('Z'), ctrl(kDown), hit('Z')},
              {"97 43 67", "97 48 67", "97 4C 67", "87 43 00", "87 48 00", "87 4C 00",
               "97 37 67", "97 3C 67", "97 40 67", "87 37 00", "87 3C 00", "87 40 00"}},
        Scene{"ShiftF9StepsTheChordVolume", {}, {shift(kF(9)), down('Z')}, {"97 37 5F", "97 3C 5F", "97 40 5F"}},
        Scene{"ChordVolumeStopsAt127", times(13, shift(kF(9))) + times(15, shift(kF(10))), {shift(kF(10)), down('Z')},
              {"97 37 7F", "97 3C 7F", "97 40 7F"}},
        Scene{"F9F10StepTheChordChannelFromOne", {}, {type(kF(9)), type(kF(10))}, {"C8 59 00", "C8 59 00"}},
        Scene{"F11F12StepTheChordVoicesFromOne", {type(kF(11)), type(kF(12)), type(kF(12))}, {type(kF(11))}, {}, {},
              kChordSlot1 + "Voices 2"},
        Scene{"KeypadTakesThreeDigits", {}, keypad("042"), {"C0 2A 00"}},
        Scene{"KeypadTheCurrentProgramSendsNothing", {}, keypad("000"), {}},
        Scene{"CtrlKeypadHasItsOwnDigitsForTheChordArea", {}, keypad("0") + keypad("042", kCtrlMask) + keypad("12"),
              {"C7 2A 00", "C0 0C 00"}, "012 - Marimba|Octave 4|Volume 127|Channel 1|Voices 1",
              "042 - Cello|Octave 4|Volume 103|Channel 1|Voices 1"},
        Scene{"CtrlAloneIsSilentAndAltStillPlays", {}, {down(kCtrl, kCtrlMask), up(kCtrl), down(kComma, kAltMask)},
              {"90 3C 7F"}},
        Scene{"HoldingAPlayingKeySendsOneNoteOnButAnArrowRepeats", {type(kF(2))},
              times(5, down('Z')) + Steps{up('Z')} + times(3, down(kRight)),
              {"90 30 7F", "80 30 00", "C0 01 00", "C0 02 00", "C0 03 00"}}),
    sceneName);

const Step kComma12 = down(kComma);  // key 12, the first of the main area
const Steps kSlot3{type(kF(6)), type(kF(6))};

INSTANTIATE_TEST_SUITE_P(
    MainArea, KeyCommands,
    ::testing::Values(
        Scene{"LayeredSlotsSoundTheirOwnOctavesOnConsecutiveChannels", {type(kF(6)), type(kF(8)), type(kF(8))},
              {kComma12, up(kComma)}, {"91 3C 7F", "92 30 7F", "93 3C 7F", "81 3C 00", "82 30 00", "83 3C 00"}},
        // Channel 4 with 7 voices: slots 4..7 only; 5 * 12 + 43 = 103 on slot 4.
        Scene{"SlotsAboveSevenAreSkipped", times(3, type(kF(6))) + times(6, type(kF(8))) + Steps{type(kUp)},
              {press(43)}, {"93 67 7F", "94 5B 7F", "95 43 7F", "96 5B 7F"}},
        // Slot 2 now plays program 0 like slot 1: the Instrument value does
        // not move, yet selecting slot 1 sends its program.
        Scene{"SelectingASlotAlwaysSendsItsProgram", Steps{type(kF(6))} + keypad("000"), {type(kF(5))}, {"C0 00 00"}},
        Scene{"SelectingASlotShowsItsStoredValues", {type(kF(6))}, {type(kF(6))}, {"C2 31 00", "C2 31 00"},
              "049 - String Ensemble 2|Octave 3|Volume 127|Channel 3|Voices 1"},
        // Only the instrument sends; the new values are what the next press plays.
        Scene{"EachSettingChangesTheSelectedSlot", kSlot3,
              {type(kRight), type(kDown), shift(kF(5)), type(kF(8))}, {"C2 32 00"},
              "050 - Synth Strings 1|Octave 2|Volume 119|Channel 3|Voices 2"},
        Scene{"OtherSlotsKeepTheirValues", kSlot3 + Steps{type(kRight), type(kDown), shift(kF(5)), type(kF(8))},
              {kComma12}, {"92 24 77", "93 3C 7F"}},
        Scene{"ResetRestoresEverySlot", {type(kF(6)), type(kRight), type(kUp), type(kF(8)), shiftCtrl(kF(8))},
              {kComma12, type(kF(6))}, {"90 3C 7F", "C1 30 00", "C1 30 00"},
              "048 - String Ensemble 1|Octave 4|Volume 127|Channel 2|Voices 1"},
        // A press while held does not sound again; a release always sends.
        Scene{"PressWhileHeldAndSecondReleaseSendNothing", {type(kF(2))},
              {press(20), press(20), release(20), release(20)}, {"90 44 7F", "80 44 00"}},
        Scene{"AKeyNotSeenPressedReleasesNothing", {}, {up(kComma), up('Z'), shift(kF(4)), up('Z')}, {}}),
    sceneName);

TEST_F(PlayingTest, KeypadBeepsAtANumberAbove127AndStartsAgain)
{
    run(keypad("130") + keypad("999", kCtrlMask));
    EXPECT_EQ(platform.beeps, 2);
    run(keypad("127"));
    EXPECT_EQ(sent(), (Log{"C0 7F 00"}));
    EXPECT_EQ(chordSlots().instrument().value(), 50);
}

TEST_F(PlayingTest, KeysOutsideTheirTableDoNothing)
{
    const auto state = [this] {
        return labels(mainArea()) + labels(chordSlots()) + drums().volume().label().toStdString()
             + std::to_string(int(chords().mode()) * 1000 + chords().splitPoint() * 10 + chords().choosingSplitPoint())
             + std::to_string(piano.playDrums());
    };
    const std::string before = state();
    run({shift(kF(7)), hit(kF13), shift(kUp), shift(kF(11)), ctrl(kF(5)), shiftCtrl(kUp), shiftCtrl(kF(1)),
         shift(kKeypad0 + 5), down(kF(6), kAltMask)});
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(state(), before);
    EXPECT_EQ(platform.beeps, 0);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(PlayingTest, DialogKeysAskTheWindowForTheirDialogs)
{
    int requests = 0;
    QObject::connect(&piano, &Piano::helpRequested, [&] { requests += 1; });
    QObject::connect(&piano, &Piano::languageDialogRequested, [&] { requests += 10; });
    QObject::connect(&piano, &Piano::editChordRequested, [&] { requests += 100; });
    QObject::connect(&piano, &Piano::drumEditorRequested, [&] { requests += 1000; });
    // Three-key mode has a chord editor, one-key mode none; drums mode has
    // its own dispatch.
    run({hit(kF(1)), shift(kF(1)), shift(kF(12)), hit(kF(2)), shift(kF(12)), shift(kF(4)), hit(kF(12)), hit(kF(1)),
         shift(kF(1))});
    EXPECT_EQ(requests, 1122);
}

TEST_F(PlayingTest, EscSilencesAndCancelsAPendingSplitChoiceButKeepsHeldKeys)
{
    run({down(kComma), hit(kF(2)), shift(kF(2))});
    midi.clear();
    run({hit(kEscape)});
    Log silence;
    for (int channel = 0; channel < 16; ++channel) {
        char text[12];
        std::snprintf(text, sizeof text, "B%X 78 00", channel);
        silence.push_back(text);
    }
    EXPECT_EQ(sent(), silence);
    EXPECT_FALSE(chords().choosingSplitPoint());
    midi.clear();
    run({down(kComma), up(kComma), down('Y')});  // auto-repeat of the held key, then a main key
    EXPECT_EQ(chords().chosenSplitPoint(), 0);
    EXPECT_EQ(sent(), (Log{"80 3C 00", "90 4A 7F"}));
}

} // namespace
} // namespace clavora::test
