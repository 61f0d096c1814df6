#include "PlayingFixture.h"

namespace clavora::test {
namespace {

using namespace keys;

// One thing the user does: a key typed (with Shift and/or Ctrl held), a key
// held down or let go, or an on-screen key pressed or released by index.
struct Step {
    enum Kind { Type, Down, Up, Press, Release } kind;
    int code;
    int mask = 0;
};
Step type(int code, int mask = 0) { return {Step::Type, code, mask}; }
Step down(int code) { return {Step::Down, code}; }
Step up(int code) { return {Step::Up, code}; }
std::vector<Step> times(int count, Step step) { return std::vector<Step>(std::size_t(count), step); }
std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct MainRow {
    const char* name;
    std::vector<Step> before; // what was sent meanwhile is not checked
    std::vector<Step> steps;
    Log sent;
    // Instrument, Octave, Volume, Channel and Voices labels afterwards.
    const char* labels;
};

void PrintTo(const MainRow& row, std::ostream* out)
{
    *out << row.name;
}

class MainArea : public PlayingTest, public ::testing::WithParamInterface<MainRow> {
protected:
    void run(const std::vector<Step>& steps)
    {
        for (const Step& step : steps) {
            switch (step.kind) {
            case Step::Type: withModifiers(step.code, step.mask); break;
            case Step::Down: piano.keyDown(step.code, 0); break;
            case Step::Up: piano.keyUp(step.code, 0); break;
            case Step::Press: piano.pressKey(step.code); break;
            case Step::Release: piano.releaseKey(step.code); break;
            }
        }
    }
};

TEST_P(MainArea, Plays)
{
    run(GetParam().before);
    midi.clear();
    run(GetParam().steps);
    EXPECT_EQ(sent(), GetParam().sent);
    const QStringList labels{mainArea().instrument().label(), mainArea().octave().label(),
                             mainArea().volume().label(), mainArea().channel().label(), mainArea().voices().label()};
    EXPECT_EQ(labels.join('|'), GetParam().labels);
}

const Step kComma12 = down(kComma); // key 12, the first of the main area
const std::vector<Step> kSlot3{type(kF(6)), type(kF(6))};

INSTANTIATE_TEST_SUITE_P(
    Notes, MainArea,
    ::testing::Values(
        MainRow{"LayeredSlotsSoundTheirOwnOctavesOnConsecutiveChannels",
                {type(kF(6)), type(kF(8)), type(kF(8))},
                {kComma12, up(kComma)},
                {"91 3C 7F", "92 30 7F", "93 3C 7F", "81 3C 00", "82 30 00", "83 3C 00"},
                "048 - String Ensemble 1|Octave 4|Volume 127|Channel 2|Voices 3"},
        // Channel 4 with 7 voices: slots 4..7 only; 5 * 12 + 43 = 103 on slot 4.
        MainRow{"SlotsAboveSevenAreSkipped",
                times(3, type(kF(6))) + times(6, type(kF(8))) + std::vector{type(kUp)},
                {{Step::Press, 43}},
                {"93 67 7F", "94 5B 7F", "95 43 7F", "96 5B 7F"},
                "056 - Trumpet|Octave 5|Volume 127|Channel 4|Voices 7"},
        // The release uses the octave and voices in force at release.
        // Slot 2 now plays program 0 like slot 1: the Instrument value does
        // not move, yet selecting slot 1 sends its program.
        MainRow{"SelectingASlotAlwaysSendsItsProgram",
                {type(kF(6)), type(kKeypad0), type(kKeypad0), type(kKeypad0)},
                {type(kF(5))},
                {"C0 00 00"},
                "000 - Acoustic Grand Piano|Octave 4|Volume 127|Channel 1|Voices 1"},
        MainRow{"SelectingASlotShowsItsStoredValues", {type(kF(6))}, {type(kF(6))}, {"C2 31 00", "C2 31 00"},
                "049 - String Ensemble 2|Octave 3|Volume 127|Channel 3|Voices 1"},
        MainRow{"VolumeZeroSendsAVelocityZeroNoteOn", times(16, type(kF(5), kShiftMask)), {kComma12}, {"90 3C 00"},
                "000 - Acoustic Grand Piano|Octave 4|Volume 0|Channel 1|Voices 1"},
        // Only the instrument sends; the new values are what the next press plays.
        MainRow{"EachSettingChangesTheSelectedSlot", kSlot3,
                {type(kRight), type(kDown), type(kF(5), kShiftMask), type(kF(8))},
                {"C2 32 00"},
                "050 - Synth Strings 1|Octave 2|Volume 119|Channel 3|Voices 2"},
        MainRow{"OtherSlotsKeepTheirValues",
                kSlot3 + std::vector{type(kRight), type(kDown), type(kF(5), kShiftMask), type(kF(8))},
                {kComma12},
                {"92 24 77", "93 3C 7F"},
                "050 - Synth Strings 1|Octave 2|Volume 119|Channel 3|Voices 2"},
        MainRow{"ResetRestoresEverySlot",
                {type(kF(6)), type(kRight), type(kUp), type(kF(8)), type(kF(8), kShiftMask | kCtrlMask)},
                {kComma12, type(kF(6))},
                {"90 3C 7F", "C1 30 00", "C1 30 00"},
                "048 - String Ensemble 1|Octave 4|Volume 127|Channel 2|Voices 1"},
        // A press while held does not sound again; a release always sends.
        MainRow{"PressWhileHeldAndSecondReleaseSendNothing",
                {type(kF(2))},
                {{Step::Press, 20}, {Step::Press, 20}, {Step::Release, 20}, {Step::Release, 20}},
                {"90 44 7F", "80 44 00"},
                "000 - Acoustic Grand Piano|Octave 4|Volume 127|Channel 1|Voices 1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlayingTest, AKeyHeldCountsAsPressedUntilReleased)
{
    piano.pressKey(20);
    EXPECT_TRUE(piano.isKeyPressed(20));
    piano.releaseKey(20);
    EXPECT_FALSE(piano.isKeyPressed(20));
}

} // namespace
} // namespace clavora::test
