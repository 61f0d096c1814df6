// Keys held while the state changes, the mouse, losing the keyboard, closing.
#include "PlayingFixture.h"

namespace clavora::test {
namespace {

using namespace keys;

struct HeldKeyCase {
    const char* name;
    Steps before;  // typed before the key goes down
    int key;       // the key held
    Steps change;  // typed while it is held
    Log press;     // what its press sends
    Log next;      // what its next press sends, after the change

    friend void PrintTo(const HeldKeyCase& c, std::ostream* os) { *os << c.name; }
};

class ChangeWhileHeld : public PlayingTest, public ::testing::WithParamInterface<HeldKeyCase> {};

// Whatever changes while a key is held, its release stops what its press
// started, and its next press plays in the new state.
TEST_P(ChangeWhileHeld, ReleaseStopsWhatThePressStarted)
{
    const HeldKeyCase& c = GetParam();
    run(c.before);
    midi.clear();
    piano.keyDown(c.key, 0);
    EXPECT_EQ(sent(), c.press);
    run(c.change + Steps{down(c.key)});  // and an auto-repeat
    midi.clear();
    run({up(c.key), down(c.key), up(c.key)});
    EXPECT_EQ(sent(), joined({noteOffsOf(c.press), c.next, noteOffsOf(c.next)}));
}

const Log kCMajorStrings{"97 37 67", "97 3C 67", "97 40 67"};
const Log kDMajorStrings{"97 36 67", "97 39 67", "97 3E 67"};
const Log kDMajorGuitar{"9D 2D 67", "9D 32 67", "9D 39 67", "9D 3E 67", "9D 42 67"};

INSTANTIATE_TEST_SUITE_P(
    AllChanges, ChangeWhileHeld,
    ::testing::Values(
        HeldKeyCase{"DrumsOn", {}, kComma, {shift(kF(4))}, {"90 3C 7F"}, {"99 2B 7F"}},
        HeldKeyCase{"DrumsOff", {shift(kF(4))}, 'Z', {shift(kF(4))}, {"99 29 4F"}, kCMajorStrings},
        HeldKeyCase{"DrumSound", {shift(kF(4))}, 'Z', {type(kRight)}, {"99 29 4F"}, {"99 2A 4F"}},
        HeldKeyCase{"OneKeyMode", {}, 'Z', {type(kF(2))}, kCMajorStrings, {"90 30 7F"}},
        HeldKeyCase{"GuitarMode", {}, 'X', {type(kF(4))}, kDMajorStrings, kDMajorGuitar},
        HeldKeyCase{"ThreeKeyMode", {type(kF(4))}, 'X', {type(kF(3))}, kDMajorGuitar, kDMajorStrings},
        HeldKeyCase{"ChordType", {}, 'Z', {type(kSpace), type(kShift, kShiftMask)}, kCMajorStrings, kCMajorStrings},
        HeldKeyCase{"SplitPoint", {type(kF(2))}, 'Y', {shift(kF(2)), type('U')}, {"90 4A 7F"}, {"9C 3E 67"}},
        HeldKeyCase{"MainOctave", {}, kComma, {type(kUp)}, {"90 3C 7F"}, {"90 48 7F"}},
        HeldKeyCase{"ChordOctave", {}, 'Z', {ctrl(kUp)}, kCMajorStrings, {"97 43 67", "97 48 67", "97 4C 67"}},
        HeldKeyCase{"MainInstrument", {}, kComma, {type(kRight)}, {"90 3C 7F"}, {"90 3C 7F"}},
        HeldKeyCase{"MainChannel", {}, kComma, {type(kF(6))}, {"90 3C 7F"}, {"91 3C 7F"}},
        HeldKeyCase{"MainVoices", {type(kF(8))}, kComma, {type(kF(7))}, {"90 3C 7F", "91 3C 7F"}, {"90 3C 7F"}},
        HeldKeyCase{"ChordVoices", {}, 'Z', {type(kF(12))}, kCMajorStrings,
                    joined({kCMajorStrings, {"98 37 67", "98 3C 67", "98 40 67"}})}),
    [](const ::testing::TestParamInfo<HeldKeyCase>& info) { return std::string(info.param.name); });

// The mouse and the keyboard hold a key each on their own: it sounds until
// the last of them lets go, and losing the keyboard leaves the mouse's key.
TEST_F(PlayingTest, MouseAndKeyboardHoldTheSameKeyIndependently)
{
    piano.pressKey(12, Hand::Mouse);
    run({down(kComma), up(kComma), down(kComma)});
    piano.keyboardLost();
    EXPECT_EQ(sent(), (Log{"90 3C 7F"}));
    EXPECT_TRUE(piano.isKeyPressed(12));
    run({shift(kF(4))});  // drums mode: the mouse still lets go of its piano key
    piano.releaseKey(12, Hand::Mouse);
    EXPECT_EQ(sent(), (Log{"90 3C 7F", "80 3C 00"}));
    EXPECT_FALSE(piano.isKeyPressed(12));
}

TEST_F(PlayingTest, LosingTheKeyboardLetsGoOfItsKeysPadsAndModifiers)
{
    // C minor ninth and a key, then a pad in drums mode.
    run({down(kShift, kShiftMask), down(kSpace, kShiftMask), down('Z', kShiftMask), down(kComma, kShiftMask),
         shift(kF(4)), down('Q', kShiftMask)});
    const Log started = sent();
    midi.clear();

    piano.keyboardLost();
    EXPECT_EQ(sent(), joined({noteOffsOf(Log(started.begin(), started.end() - 1)), {"89 23 00"}}));
    EXPECT_EQ(chords().chordTypeText(), "maj");
    for (int modifier = 0; modifier < ChordArea::kModifierCount; ++modifier)
        EXPECT_FALSE(chords().isModifierDown(modifier)) << modifier;
    EXPECT_FALSE(drums().isPressed(22));

    // The releases arrive elsewhere; the next presses play.
    midi.clear();
    run({up('Q'), down('Q'), shift(kF(4)), down(kComma)});
    EXPECT_EQ(sent(), (Log{"99 23 4F", "90 3C 7F"}));
}

TEST_F(PlayingTest, ShutDownStopsEveryHeldNoteBeforeClosing)
{
    run({down('Z'), press(43), down(kComma), up(kComma)});
    midi.clear();
    piano.shutDown();
    EXPECT_EQ(sent(), joined({noteOffsOf(kCMajorStrings), {"80 5B 00", "close"}}));
}

} // namespace
} // namespace clavora::test
