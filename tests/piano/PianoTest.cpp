// The started piano: its start-up, its key commands and main area played as
// scripts of key strokes with the exact MIDI each one sends, and keys held
// while the state changes, the mouse joins in or the keyboard is lost.
#include "PlayingFixture.h"

#include <algorithm>
#include <string>
#include <tuple>

namespace clavora::test {
namespace {

using namespace keys;

// Before start-up every scroll bar stands at its minimum. Assigning a value
// runs the change handling only when the value moves, and the routines run
// it once more explicitly; this fixes how often each program change goes out.
TEST_F(PlayingTest, StartUpSendsEveryProgramChangeInOrder)
{
    // Main slot 1: Channel and Instrument are already 1 and 0, so only the
    // explicit instrument handling sends. Slots 2..7: the new Channel sets a
    // new Instrument (one), the explicit instrument handling (two), the
    // explicit channel handling of the defaults routine (three). Back to
    // slot 1. Chord slot 1: Channel stays 1, Instrument moves from 0 to 50;
    // at the end the labels are refreshed by running the chord Channel
    // handling. Selecting three-key chord mode moves nothing.
    const Log expected
        = joined({{"open 0", "C0 00 00"}, repeated("C1 30 00", 3), repeated("C2 31 00", 3), repeated("C3 38 00", 3),
            repeated("C4 49 00", 3), repeated("C5 20 00", 3), repeated("C6 13 00", 3), repeated("C0 00 00", 3),
            repeated("C7 32 00", 2), repeated("C8 59 00", 3), repeated("CA 30 00", 3), repeated("CB 34 00", 3),
            repeated("CC 20 00", 3), repeated("CD 18 00", 3), repeated("CE 1A 00", 3), repeated("C7 32 00", 4)});
    EXPECT_EQ(startUpLog, expected);
    EXPECT_TRUE(platform.boxes.empty());
}

// Spain's calling code starts the piano in Spanish: the labels of the main
// and chord areas and the drums Volume.
TEST_F(PlayingTest, StartUpInTheLanguageOfTheCountry)
{
    platform.country = 34;
    piano.startUp();
    EXPECT_EQ(piano.language(), 3);
    EXPECT_EQ(labels(mainArea()) + "|" + labels(chordSlots()) + "|" + drums().volume().label().toStdString(),
        "000 - Acoustic Grand Piano|Octava 4|Volumen 127|Canal 1|Voces 1|050 - Synth Strings 1|Octava 4|Volumen "
        "103|Canal 1|Voces 1|Volumen 127");
}

// --- Key commands and the main area ---------------------------------------

class KeyCommands : public Scenes { };
TEST_P(KeyCommands, SendExactly)
{
    play();
}

// Each setting key steps its own setting by its own amount, stops at the
// limits and passes the new value on to the selected slot. An arrow sends the
// program only when it moves; Shift+arrow clamps and always sends it.
INSTANTIATE_TEST_SUITE_P(Settings, KeyCommands,
    ::testing::Values(Scene {"ArrowsStopAtProgramZero", {}, {type(kLeft), type(kRight), type(kRight), type(kLeft)},
                          {"C0 01 00", "C0 02 00", "C0 01 00"}},
        Scene {"ShiftArrowsStepByTenUpTo127", keypad("116"),
            {shift(kRight), type(kRight), shift(kRight), shift(kLeft), type(kLeft)},
            {"C0 7E 00", "C0 7F 00", "C0 7F 00", "C0 75 00", "C0 74 00"}},
        Scene {"OctaveStopsAtFiveAndOne", {},
            Steps {type(kUp), type(kUp), hit(kComma)} + times(5, type(kDown)) + Steps {hit(kComma)},
            {"90 48 7F", "80 48 00", "90 18 7F", "80 18 00"}},
        Scene {"ShiftF5F6StepTheVolumeByEightWithinZeroAnd127", times(15, shift(kF(5))),
            Steps {shift(kF(5)), hit(kComma), shift(kF(6)), hit(kComma)} + times(15, shift(kF(6)))
                + Steps {hit(kComma)},
            {"90 3C 00", "80 3C 00", "90 3C 08", "80 3C 00", "90 3C 7F", "80 3C 00"}},
        Scene {"ChannelStopsAtSeven", times(6, type(kF(6))), {type(kF(6)), hit(kComma)}, {"96 3C 7F", "86 3C 00"}},
        Scene {"ChannelAndVoicesStopAtOne", {}, {type(kF(5)), type(kF(7)), type(kF(8)), hit(kComma)},
            {"90 3C 7F", "91 3C 7F", "80 3C 00", "81 3C 00"}},
        Scene {"VoicesStopAtSeven", times(7, type(kF(8))), {}, {},
            "000 - Acoustic Grand Piano|Octave 4|Volume 127|Channel 1|Voices 7"},
        Scene {"CtrlArrowsStepTheChordInstrument", {},
            {ctrl(kRight), ctrl(kLeft), ctrl(kLeft), shiftCtrl(kRight), shiftCtrl(kLeft)},
            {"C7 33 00", "C7 32 00", "C7 31 00", "C7 3B 00", "C7 31 00"}},
        Scene {"CtrlUpDownStepTheChordOctaveUpToFive", {}, {ctrl(kUp), ctrl(kUp), hit('Z'), ctrl(kDown), hit('Z')},
            {"97 43 67", "97 48 67", "97 4C 67", "87 43 00", "87 48 00", "87 4C 00", "97 37 67", "97 3C 67", "97 40 67",
                "87 37 00", "87 3C 00", "87 40 00"}},
        Scene {"ShiftF9StepsTheChordVolume", {}, {shift(kF(9)), down('Z')}, {"97 37 5F", "97 3C 5F", "97 40 5F"}},
        Scene {"ChordVolumeStopsAt127", times(13, shift(kF(9))) + times(15, shift(kF(10))), {shift(kF(10)), down('Z')},
            {"97 37 7F", "97 3C 7F", "97 40 7F"}},
        Scene {"F9F10StepTheChordChannelFromOne", {}, {type(kF(9)), type(kF(10))}, {"C8 59 00", "C8 59 00"}},
        Scene {"F11F12StepTheChordVoicesFromOne", {type(kF(11)), type(kF(12)), type(kF(12))}, {type(kF(11))}, {}, {},
            "050 - Synth Strings 1|Octave 4|Volume 103|Channel 1|Voices 2"},
        Scene {"KeypadTakesThreeDigitsTheCurrentOneSendsNothing", {}, keypad("000") + keypad("042"), {"C0 2A 00"}},
        Scene {"CtrlKeypadHasItsOwnDigitsForTheChordArea", {}, keypad("0") + keypad("042", kCtrlMask) + keypad("12"),
            {"C7 2A 00", "C0 0C 00"}, "012 - Marimba|Octave 4|Volume 127|Channel 1|Voices 1",
            "042 - Cello|Octave 4|Volume 103|Channel 1|Voices 1"},
        Scene {"CtrlAloneIsSilentAndAltStillPlays", {}, {down(kCtrl, kCtrlMask), up(kCtrl), down(kComma, kAltMask)},
            {"90 3C 7F"}}),
    caseName);

const Step kComma12 = down(kComma); // key 12, the first of the main area

INSTANTIATE_TEST_SUITE_P(MainArea, KeyCommands,
    ::testing::Values(
        Scene {"LayeredSlotsSoundTheirOwnOctavesOnConsecutiveChannels", {type(kF(6)), type(kF(8)), type(kF(8))},
            {kComma12, up(kComma)}, {"91 3C 7F", "92 30 7F", "93 3C 7F", "81 3C 00", "82 30 00", "83 3C 00"}},
        // Channel 4 with 7 voices: slots 4..7 only; 5 * 12 + 43 = 103 on slot 4.
        Scene {"SlotsAboveSevenAreSkipped", times(3, type(kF(6))) + times(6, type(kF(8))) + Steps {type(kUp)},
            {press(43)}, {"93 67 7F", "94 5B 7F", "95 43 7F", "96 5B 7F"}},
        // Slot 2 now plays program 0 like slot 1: the Instrument value does
        // not move, yet selecting slot 1 sends its program.
        Scene {"SelectingASlotAlwaysSendsItsProgram", Steps {type(kF(6))} + keypad("000"), {type(kF(5))}, {"C0 00 00"}},
        // Only the instrument sends; the slot keeps the new values when another
        // is selected and back, the next press plays them on it and the old
        // ones on the others.
        Scene {"EachSettingChangesTheSelectedSlotOnly", {type(kF(6)), type(kF(6))},
            {type(kRight), type(kDown), shift(kF(5)), type(kF(8)), type(kF(5)), type(kF(6)), kComma12},
            {"C2 32 00", "C1 30 00", "C1 30 00", "C2 32 00", "C2 32 00", "92 24 77", "93 3C 7F"},
            "050 - Synth Strings 1|Octave 2|Volume 119|Channel 3|Voices 2"},
        Scene {"ResetRestoresEverySlot", {type(kF(6)), type(kRight), type(kUp), type(kF(8)), shiftCtrl(kF(8))},
            {kComma12, type(kF(6))}, {"90 3C 7F", "C1 30 00", "C1 30 00"},
            "048 - String Ensemble 1|Octave 4|Volume 127|Channel 2|Voices 1"},
        // A press while held does not sound again; a release always sends.
        Scene {"PressWhileHeldAndSecondReleaseSendNothing", {type(kF(2))},
            {press(20), press(20), release(20), release(20)}, {"90 44 7F", "80 44 00"}},
        Scene {"AKeyNotSeenPressedReleasesNothing", {}, {up(kComma), up('Z'), shift(kF(4)), up('Z')}, {}}),
    caseName);

TEST_F(PlayingTest, KeypadBeepsAtANumberAbove127AndStartsAgain)
{
    run(keypad("128") + keypad("999", kCtrlMask));
    EXPECT_EQ(platform.beeps, 2);
    run(keypad("127"));
    EXPECT_EQ(sent(), (Log {"C0 7F 00"}));
    EXPECT_EQ(chordSlots().instrument().value(), 50);
}

TEST_F(PlayingTest, KeysOutsideTheirTableDoNothing)
{
    const std::string before = state();
    run({shift(kF(7)), hit(kF13), shift(kUp), shift(kF(11)), ctrl(kF(5)), shiftCtrl(kUp), shiftCtrl(kF(1)),
        shift(kKeypad0 + 5), down(kF(6), kAltMask)});
    for (const int outside : {-1, kKeyCount}) { // no such key for the mouse either
        piano.pressKey(outside, Hand::Mouse);
        piano.releaseKey(outside, Hand::Mouse);
    }
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(state(), before);
    EXPECT_EQ(platform.beeps, 0);
    EXPECT_TRUE(platform.boxes.empty());
}

// The keys taken as soon as the window system reports them, before it has
// made a key event: in each mode and under each mask, such a key does
// nothing but start notes. Piano mode takes its 44 keys under every mask;
// drums mode its pads except under Shift+Ctrl, which plays no pad.
TEST_F(PlayingTest, KeysThatOnlyPlayDoNothingElse)
{
    int requests = 0;
    for (auto signal : {&Piano::helpRequested, &Piano::languageDialogRequested, &Piano::editChordRequested,
             &Piano::drumEditorRequested, &Piano::focusRequested})
        QObject::connect(&piano, signal, [&] { ++requests; });
    for (const bool drumsMode : {false, true}) {
        piano.setPlayDrums(drumsMode);
        midi.clear();
        int taken = 0;
        for (int code = 1; code < 256; ++code) {
            for (const int mask : {0, kShiftMask, kCtrlMask, kShiftCtrl}) {
                if (!piano.onlyPlays(code, mask))
                    continue;
                ++taken;
                const std::string before = state();
                piano.keyDown(code, mask);
                EXPECT_EQ(state(), before) << "code " << code << " mask " << mask;
                piano.keyUp(code, mask);
            }
        }
        EXPECT_EQ(taken, drumsMode ? 47 * 3 : 44 * 4);
        for (const std::string& entry : sent())
            EXPECT_TRUE(entry[0] == '9' || entry[0] == '8') << entry;
        EXPECT_TRUE(std::ranges::count_if(sent(), [](const std::string& e) { return e[0] == '9'; }) >= taken);
    }
    EXPECT_EQ(std::tuple(requests, platform.beeps, platform.boxes.size()), std::tuple(0, 0, 0u));
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

// --- Held keys ---------------------------------------------------------------

// Key k held while the steps c are typed, with an auto-repeat after them;
// then its release, its next press and that release.
Steps heldThrough(int k, const Steps& c)
{
    return Steps {down(k)} + c + Steps {down(k), up(k), down(k), up(k)};
}

// Whatever changes while a key is held, its release stops what its press
// started, and its next press plays in the new state.
Log heldLog(const Log& a, const Log& mid, const Log& b)
{
    return joined({a, mid, noteOffsOf(a), b, noteOffsOf(b)});
}

// Drum pads held when the keyboard goes, the first and the last among
// them, are let go with the keys, in the pads' order; a release arrives
// elsewhere, and the next press plays.
const Step kLoseKeyboard = [](Piano& piano) { piano.keyboardLost(); };

INSTANTIATE_TEST_SUITE_P(ChangeWhileHeld, KeyCommands,
    ::testing::Values(
        Scene {"DrumsOn", {}, heldThrough(kComma, {shift(kF(4))}), heldLog({"90 3C 7F"}, {}, {"99 2B 7F"})},
        Scene {"DrumsOff", {shift(kF(4))}, heldThrough('Z', {shift(kF(4))}), heldLog({"99 29 4F"}, {}, kCMajor)},
        Scene {"DrumSound", {shift(kF(4))}, heldThrough('Z', {type(kRight)}), heldLog({"99 29 4F"}, {}, {"99 2A 4F"})},
        Scene {
            "OneKeyMode", {}, heldThrough('Z', {type(kF(2))}), heldLog(kCMajor, repeated("CC 20 00", 2), {"90 30 7F"})},
        Scene {
            "GuitarMode", {}, heldThrough('X', {type(kF(4))}), heldLog(kDMajor, repeated("CD 18 00", 2), kDMajorStrum)},
        Scene {"ThreeKeyMode", {type(kF(4))}, heldThrough('X', {type(kF(3))}),
            heldLog(kDMajorStrum, repeated("C7 32 00", 2), kDMajor)},
        Scene {"SplitPoint", {type(kF(2))}, heldThrough('Y', {shift(kF(2)), type('U')}),
            heldLog({"90 4A 7F"}, {"90 4C 7F", "80 4C 00"}, {"9C 3E 67"})},
        // Esc silences every channel and cancels the split choice, but the
        // held key stays held: its auto-repeat sends nothing. Keys 25 and 23
        // then both play in the main area, as no split point was taken.
        Scene {"EscapeSilencesAndCancelsTheSplitChoice", {down(kComma), hit(kF(2)), shift(kF(2))},
            {hit(kEscape), down(kComma), up(kComma), hit('6'), hit('R')},
            allSoundOff() + Log {"80 3C 00", "90 49 7F", "80 49 00", "90 47 7F", "80 47 00"}},
        Scene {"LosingTheKeyboardLetsGoOfTheHeldPads", {shift(kF(4)), down(kBackspace), down('Q'), down('Z')},
            {kLoseKeyboard, up('Q'), down('Q')}, {"89 29 00", "89 23 00", "89 37 00", "99 23 4F"}}),
    caseName);

// Keys are taken by where they sit on the keyboard, as the X server names
// them; the keypad and events without a key code go by the Qt key.
TEST(KeyCodes, TheUsRowsAndModifiersAreKnownByPositionAlone)
{
    // X numbers the keys of a row one after the other, whatever a layout
    // prints on them.
    const std::vector<std::pair<std::uint32_t, std::string>> rows {
        {10, "1234567890"}, {24, "QWERTYUIOP"}, {38, "ASDFGHJKL"}, {52, "ZXCVBNM"}};
    for (const auto& [first, keys] : rows)
        for (std::size_t i = 0; i < keys.size(); ++i)
            EXPECT_EQ(virtualKey(ScanCodes::Xkb, first + i, Qt::Key_unknown, {}), keys[i]) << first + i;
    // The punctuation around them, both Shifts, both Ctrls, Caps Lock, the
    // keys at the row ends and the navigation block (Home, Up, Page Up,
    // Left, Right, End, Down, Page Down, Insert, Delete).
    const std::vector<std::pair<std::uint32_t, int>> others {{20, kMinus}, {21, kEquals}, {34, kBracketLeft},
        {47, kSemicolon}, {48, kQuote}, {51, 220}, {59, kComma}, {60, kPeriod}, {61, kSlash}, {50, kShift},
        {62, kShift}, {37, kCtrl}, {105, kCtrl}, {66, kCapsLock}, {95, kF(11)}, {96, kF(12)}, {9, kEscape},
        {22, kBackspace}, {23, kTab}, {64, kAlt}, {110, kHome}, {111, kUp}, {112, kPageUp}, {113, kLeft}, {114, kRight},
        {115, kEnd}, {116, kDown}, {117, kPageDown}, {118, kInsert}, {119, kDelete}};
    for (const auto& [native, expected] : others)
        EXPECT_EQ(virtualKey(ScanCodes::Xkb, native, Qt::Key_unknown, {}), expected) << native;
    for (int f = 1; f <= 10; ++f) // F1 to F10 in a row from 67
        EXPECT_EQ(virtualKey(ScanCodes::Xkb, std::uint32_t(66 + f), Qt::Key_unknown, {}), kF(f)) << f;
}

TEST(KeyCodes, VirtualKeysByPositionKeypadAndQtKey)
{
    constexpr Qt::KeyboardModifiers keypad = Qt::KeypadModifier;
    const std::tuple<ScanCodes, std::uint32_t, int, Qt::KeyboardModifiers, int> rows[] = {
        {ScanCodes::Xkb, 35, Qt::Key_Plus, {}, kBracketRight}, // German layout: + right of P
        {ScanCodes::Xkb, 36, Qt::Key_Return, {}, kEnter},
        {ScanCodes::None, 0, Qt::Key_0, {}, '0'}, // no code: the digit by its Qt key
        {ScanCodes::Xkb, 90, Qt::Key_0, keypad, kKeypad0},
        {ScanCodes::None, 52, Qt::Key_W, {}, 'W'}, // a platform whose codes are not X's
        {ScanCodes::Xkb, 0, Qt::Key_Q, {}, 'Q'}, // no code: the Qt key
        {ScanCodes::Xkb, 108, Qt::Key_AltGr, {}, kAlt}, // right Alt
        {ScanCodes::Xkb, 105, Qt::Key_Control, {}, kCtrl}, // right Ctrl
        {ScanCodes::Xkb, 94, Qt::Key_Less, {}, 226}, // the ISO key beside left Shift
        {ScanCodes::Xkb, 191, Qt::Key_F13, {}, kF13},
        {ScanCodes::Xkb, 127, Qt::Key_Pause, {}, 19}, // by its Qt key: Pause, not Caps Lock (20)
        {ScanCodes::Xkb, 49, Qt::Key_AsciiCircum, {}, 192}, // German layout: ^ left of 1
        {ScanCodes::None, 0, Qt::Key_QuoteLeft, {}, 192}, // no code: ` and ~ by their Qt keys
        {ScanCodes::None, 0, Qt::Key_AsciiTilde, {}, 192},
        {ScanCodes::Xkb, 65, Qt::Key_unknown, {}, kSpace}, // known by position alone
        {ScanCodes::Xkb, 250, Qt::Key_Exclam, {}, '1'}, // a code we do not know: the Qt key, unshifted
        {ScanCodes::None, 0, Qt::Key_Question, {}, kSlash},
        {ScanCodes::None, 0, Qt::Key_Menu, {}, 0},
        {ScanCodes::Xkb, 87, Qt::Key_1, keypad, kKeypad0 + 1}, // Num Lock on: a digit
        {ScanCodes::Xkb, 87, Qt::Key_End, keypad, kEnd}, // Num Lock off: navigation
        {ScanCodes::Xkb, 63, Qt::Key_Asterisk, keypad, 106},
    };
    for (const auto& [scanCodes, native, qtKey, modifiers, expected] : rows)
        EXPECT_EQ(virtualKey(scanCodes, native, qtKey, modifiers), expected) << native << " " << qtKey;
    // No code: each shifted digit of a US keyboard by the digit under it
    // (a Qt key of a printable character is its character).
    const std::string shifted = "!@#$%^&*()";
    const std::string digits = "1234567890";
    for (std::size_t i = 0; i < shifted.size(); ++i)
        EXPECT_EQ(virtualKey(ScanCodes::None, 0, shifted[i], {}), digits[i]) << shifted[i];
    EXPECT_EQ(std::tuple(nativeScanCodeOf('Z'), nativeScanCodeOf(kAlt), nativeScanCodeOf(0)), std::tuple(52u, 64u, 0u));
    EXPECT_EQ(
        std::tuple(scanCodesOf("xcb"), scanCodesOf("wayland-egl"), scanCodesOf("offscreen"), scanCodesOf(nullptr)),
        std::tuple(ScanCodes::Xkb, ScanCodes::Xkb, ScanCodes::None, ScanCodes::None));
}

} // namespace
} // namespace clavora::test
