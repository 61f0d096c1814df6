#include "PlayingFixture.h"

namespace clavora::test {
namespace {

using namespace keys;

// Scenes in drums mode.
class DrumsMode : public Scenes {
protected:
    void SetUp() override
    {
        Scenes::SetUp();
        run({shift(kF(4))});
        midi.clear();
    }
};
TEST_P(DrumsMode, SendExactly)
{
    play();
}

// Shift+Ctrl+F12 restores the default map, keeping the volume and the last
// pad; every pad then sounds its note, normal pads at the volume less 48,
// high ones at the volume.
TEST_F(DrumsMode, ResetRestoresTheDefaultMapOfEveryPad)
{
    // Nothing outside the 47 pads takes a sound, whatever the number.
    int changed = 0;
    QObject::connect(&drums(), &DrumPads::padNumberChanged, [&] { ++changed; });
    for (const int outside : {-1, DrumPads::kPadCount})
        drums().setSound(outside, 5, true);
    EXPECT_EQ(changed, 0);
    for (int pad = 0; pad < DrumPads::kPadCount; ++pad)
        drums().setSound(pad, (drums().soundNumber(pad) + 1) % 47, !drums().isHigh(pad));
    run({hit('M'), hit(kF(5)), shiftCtrl(kF(12))});
    EXPECT_EQ(drums().lastDrumKey(), 6);
    EXPECT_EQ(drums().numberText(0) + drums().numberText(6), "0608");

    const int codes[] = {90, 88, 67, 86, 66, 78, 77, 188, 190, 191, 65, 83, 68, 70, 71, 72, 74, 75, 76, 186, 222, 13,
        81, 87, 69, 82, 84, 89, 85, 73, 79, 80, 219, 221, 49, 50, 51, 52, 53, 54, 55, 56, 57, 48, 189, 187, 8};
    // Each pad's note and velocity in hex, normal pads at 4E, high ones at 7E.
    const std::string heard[] = {"294E 294E 297E 297E 2B4E 2B4E 2B7E 2B7E 2C4E 2C7E 264E 264E 267E 267E 284E 284E",
        "287E 287E 2A4E 2A7E 317E 397E 234E 234E 237E 237E 244E 244E 247E 247E 2E4E 2E7E",
        "334E 337E 2D4E 2D4E 2D7E 2D7E 304E 304E 307E 307E 324E 324E 327E 327E 377E"};
    for (int pad = 0; pad < DrumPads::kPadCount; ++pad) {
        midi.clear();
        run({hit(codes[pad])});
        const std::string note = heard[pad / 16].substr(pad % 16 * 5, 4);
        EXPECT_EQ(sent(), (Log {"99 " + note.substr(0, 2) + " " + note.substr(2), "89 " + note.substr(0, 2) + " 00"}))
            << pad;
    }
    midi.clear();
    run({hit(kEscape)}); // Esc still silences in drums mode
    EXPECT_EQ(sent(), allSoundOff());
}

// Each key held (with an auto-repeat), tapped and tapped with Shift.
Steps heldTappedAndShifted(int code)
{
    return Steps {down(code), hit(code), shift(code)};
}

INSTANTIATE_TEST_SUITE_P(Pads, DrumsMode,
    ::testing::Values(
        // The keypad, the arrows and Up/Down edit the last pad's sound, within
        // the drum sounds, without playing anything.
        Scene {"KeypadTypesTheSoundAndIgnoresANumberThatIsNoDrum", {hit('Z')},
            keypad("09") + Steps {hit('Z')} + keypad("55") + Steps {hit('Z')},
            {"99 2C 4F", "89 2C 00", "99 2C 4F", "89 2C 00"}},
        Scene {"ArrowsStopAtZeroAnd46", {hit('Z')},
            keypad("05") + Steps {shift(kLeft), type(kRight), type(kLeft), type(kLeft), type(kRight), hit('Z')}
                + keypad("40") + Steps {shift(kRight), type(kRight), type(kLeft), hit('Z')},
            {"99 24 4F", "89 24 00", "99 50 4F", "89 50 00"}},
        Scene {"ShiftArrowsStepByEight", {hit('Z')},
            keypad("12") + Steps {shift(kRight), hit('Z'), shift(kLeft), shift(kLeft), hit('Z')},
            {"99 37 4F", "89 37 00", "99 27 4F", "89 27 00"}},
        Scene {"UpMakesThePadHighAndDownNormal", {hit('Z')}, {type(kUp), hit('Z'), hit('C'), type(kDown), hit('C')},
            {"99 29 7F", "89 29 00", "99 29 7F", "89 29 00", "99 29 4F", "89 29 00"}},
        Scene {"AHeldPadIsNotRetriggered", {}, times(4, down('X')) + Steps {up('X'), down('X')},
            {"99 29 4F", "89 29 00", "99 29 4F"}},
        // The keypad and Up/Down edit the last pad's sound without playing;
        // the other keys leave the entry alone; the other pads keep theirs.
        Scene {"AnEditedPadPlaysItsNewSoundAndTheOthersKeepTheirs",
            Steps {hit('Z')} + keypad("0") + Steps {hit('C')} + keypad("9") + Steps {type(kDown)},
            {down('C'), down('Z')}, {"99 2C 4F", "99 29 4F"}},
        // Normal pads lose 48 from the volume and never go below 0; nor
        // does the volume.
        Scene {"VolumeAndNormalPadsStopAtZero", times(87, type(kF(5))),
            Steps {hit('X'), hit('V')} + times(6, shift(kF(5))) + Steps {hit('V'), type(kF(6)), hit('V')},
            {"99 29 00", "89 29 00", "99 29 28", "89 29 00", "99 29 00", "89 29 00", "99 29 01", "89 29 00"}},
        // F5 and F6 step the drums volume by one, with Shift by eight, within 0..127.
        Scene {"F5F6StepTheVolumeWithinTheLimits", {},
            {type(kF(6)), hit('V'), type(kF(5)), hit('V'), shift(kF(5)), hit('V'), shift(kF(6)), hit('V')},
            {"99 29 7F", "89 29 00", "99 29 7E", "89 29 00", "99 29 76", "89 29 00", "99 29 7E", "89 29 00"}},
        Scene {"NavigationKeysOfTheDrumRowsDoNothing", {},
            heldTappedAndShifted(kInsert) + heldTappedAndShifted(kHome) + heldTappedAndShifted(kPageUp)
                + heldTappedAndShifted(kDelete) + heldTappedAndShifted(kEnd) + heldTappedAndShifted(kPageDown),
            {}},
        Scene {"ShiftCtrlSilencesPadsButShiftCtrlOrAltAloneDoNot", {},
            {down(kShift, kShiftMask), down(kCtrl, kShiftCtrl), down('Z', kShiftCtrl), down(kEscape, kShiftCtrl),
                up('Z', kShiftCtrl), up(kCtrl, kShiftMask), down('X', kShiftMask), down('B', kCtrlMask),
                down('N', kAltMask)},
            {"99 29 4F", "99 2B 4F", "99 2B 4F"}},
        Scene {"PianoCommandsAreOff", {}, {hit(kF(2)), ctrl(kRight), hit(kF(8)), down('Z')}, {"99 29 4F"},
            "000 - Acoustic Grand Piano|Octave 4|Volume 127|Channel 1|Voices 1",
            "050 - Synth Strings 1|Octave 4|Volume 103|Channel 1|Voices 1"}),
    caseName);

} // namespace
} // namespace clavora::test
