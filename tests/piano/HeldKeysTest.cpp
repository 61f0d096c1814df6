#include "PlayingFixture.h"

#include <ostream>
#include <string>
#include <vector>

namespace clavora::test {
namespace {

using namespace keys;

// A command typed with its modifiers, as a user does (modifiers first).
struct Stroke {
    int code;
    int mask = 0;
};

struct HeldKeyCase {
    const char* name;
    std::vector<Stroke> before;  // typed before the key goes down
    int key;                     // the key held
    std::vector<Stroke> change;  // typed while it is held
    Log press;                   // what its press sends
    Log next;                    // what its next press sends, after the change

    friend void PrintTo(const HeldKeyCase& c, std::ostream* os) { *os << c.name; }
};

// The note-offs that stop exactly these note-ons.
Log noteOffsOf(const Log& noteOns)
{
    Log offs;
    for (const std::string& on : noteOns)
        offs.push_back(std::string(1, '8') + on.substr(1, 5) + "00");
    return offs;
}

class HeldKeys : public PlayingTest {
protected:
    void type(const std::vector<Stroke>& strokes)
    {
        for (const Stroke& stroke : strokes)
            withModifiers(stroke.code, stroke.mask);
    }
};

class ChangeWhileHeld : public HeldKeys, public ::testing::WithParamInterface<HeldKeyCase> {};

// Whatever changes while a key is held, its release stops what its press
// started, and its next press plays in the new state.
TEST_P(ChangeWhileHeld, ReleaseStopsWhatThePressStarted)
{
    const HeldKeyCase& c = GetParam();
    type(c.before);
    midi.clear();
    piano.keyDown(c.key, 0);
    EXPECT_EQ(sent(), c.press);
    type(c.change);
    piano.keyDown(c.key, 0);  // auto-repeat
    midi.clear();

    piano.keyUp(c.key, 0);
    EXPECT_EQ(sent(), noteOffsOf(c.press));
    midi.clear();
    piano.keyDown(c.key, 0);
    EXPECT_EQ(sent(), c.next);
    midi.clear();
    piano.keyUp(c.key, 0);
    EXPECT_EQ(sent(), noteOffsOf(c.next));
}

const Log kCMajorStrings{"97 37 67", "97 3C 67", "97 40 67"};
const Log kDMajorStrings{"97 36 67", "97 39 67", "97 3E 67"};
const Log kDMajorGuitar{"9D 2D 67", "9D 32 67", "9D 39 67", "9D 3E 67", "9D 42 67"};

INSTANTIATE_TEST_SUITE_P(
    AllChanges, ChangeWhileHeld,
    ::testing::Values(
        HeldKeyCase{"DrumsOn", {}, kComma, {{kF(4), kShiftMask}}, {"90 3C 7F"}, {"99 2B 7F"}},
        HeldKeyCase{"DrumsOff", {{kF(4), kShiftMask}}, 'Z', {{kF(4), kShiftMask}}, {"99 29 4F"}, kCMajorStrings},
        HeldKeyCase{"DrumSound", {{kF(4), kShiftMask}}, 'Z', {{kRight}}, {"99 29 4F"}, {"99 2A 4F"}},
        HeldKeyCase{"OneKeyMode", {}, 'Z', {{kF(2)}}, kCMajorStrings, {"90 30 7F"}},
        HeldKeyCase{"GuitarMode", {}, 'X', {{kF(4)}}, kDMajorStrings, kDMajorGuitar},
        HeldKeyCase{"ThreeKeyMode", {{kF(4)}}, 'X', {{kF(3)}}, kDMajorGuitar, kDMajorStrings},
        HeldKeyCase{"ChordType", {}, 'Z', {{kSpace}, {kShift, kShiftMask}}, kCMajorStrings, kCMajorStrings},
        HeldKeyCase{"SplitPoint", {{kF(2)}}, 'Y', {{kF(2), kShiftMask}, {'U'}}, {"90 4A 7F"}, {"9C 3E 67"}},
        HeldKeyCase{"MainOctave", {}, kComma, {{kUp}}, {"90 3C 7F"}, {"90 48 7F"}},
        HeldKeyCase{"ChordOctave", {}, 'Z', {{kUp, kCtrlMask}}, kCMajorStrings, {"97 43 67", "97 48 67", "97 4C 67"}},
        HeldKeyCase{"MainInstrument", {}, kComma, {{kRight}}, {"90 3C 7F"}, {"90 3C 7F"}},
        HeldKeyCase{"MainChannel", {}, kComma, {{kF(6)}}, {"90 3C 7F"}, {"91 3C 7F"}},
        HeldKeyCase{"MainVoices", {{kF(8)}}, kComma, {{kF(7)}}, {"90 3C 7F", "91 3C 7F"}, {"90 3C 7F"}},
        HeldKeyCase{"ChordVoices", {}, 'Z', {{kF(12)}}, kCMajorStrings,
                    joined({kCMajorStrings, {"98 37 67", "98 3C 67", "98 40 67"}})}),
    [](const ::testing::TestParamInfo<HeldKeyCase>& info) { return std::string(info.param.name); });

TEST_F(HeldKeys, AKeyNotSeenPressedReleasesNothing)
{
    piano.keyUp(kComma, 0);
    piano.keyUp('Z', 0);
    tapShift(kF(4));
    piano.keyUp('Z', 0);
    EXPECT_TRUE(sent().empty());
}

// The mouse and the keyboard hold a key each on their own: it sounds until
// the last of them lets go, and losing the keyboard leaves the mouse's key.
TEST_F(HeldKeys, MouseAndKeyboardHoldTheSameKeyIndependently)
{
    piano.pressKey(12, Hand::Mouse);
    piano.keyDown(kComma, 0);
    piano.keyUp(kComma, 0);
    piano.keyDown(kComma, 0);
    piano.keyboardLost();
    EXPECT_EQ(sent(), (Log{"90 3C 7F"}));
    EXPECT_TRUE(piano.isKeyPressed(12));
    tapShift(kF(4));  // drums mode: the mouse still lets go of its piano key
    piano.releaseKey(12, Hand::Mouse);
    EXPECT_EQ(sent(), (Log{"90 3C 7F", "80 3C 00"}));
    EXPECT_FALSE(piano.isKeyPressed(12));
}

TEST_F(HeldKeys, LosingTheKeyboardLetsGoOfItsKeysPadsAndModifiers)
{
    piano.keyDown(kShift, kShiftMask);
    piano.keyDown(kSpace, kShiftMask);
    piano.keyDown('Z', kShiftMask);  // C minor ninth
    piano.keyDown(kComma, kShiftMask);
    tapShift(kF(4));
    piano.keyDown('Q', kShiftMask);  // a pad
    const Log started = sent();
    midi.clear();

    piano.keyboardLost();
    Log stopped = noteOffsOf(Log(started.begin(), started.end() - 1));
    stopped.push_back("89 23 00");
    EXPECT_EQ(sent(), stopped);
    EXPECT_EQ(chords().chordTypeText(), "maj");
    for (int modifier = 0; modifier < ChordArea::kModifierCount; ++modifier)
        EXPECT_FALSE(chords().isModifierDown(modifier)) << modifier;
    EXPECT_FALSE(drums().isPressed(22));

    // The releases arrive elsewhere; the next presses play.
    midi.clear();
    piano.keyUp('Q', 0);
    piano.keyDown('Q', 0);
    tapShift(kF(4));
    piano.keyDown(kComma, 0);
    EXPECT_EQ(sent(), (Log{"99 23 4F", "90 3C 7F"}));
}

TEST_F(HeldKeys, ShutDownStopsEveryHeldNoteBeforeClosing)
{
    piano.keyDown('Z', 0);
    piano.pressKey(43, Hand::Mouse);
    piano.keyDown(kComma, 0);
    piano.keyUp(kComma, 0);
    midi.clear();
    piano.shutDown();
    EXPECT_EQ(sent(), joined({noteOffsOf(kCMajorStrings), {"80 5B 00", "close"}}));
}

} // namespace
} // namespace clavora::test
