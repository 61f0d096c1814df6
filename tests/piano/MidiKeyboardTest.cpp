// The piano played from a MIDI keyboard: notes to keys, velocities, chords
// recognised from the left hand, controllers, and strums that never hold
// back the other hand.
#include "piano/MidiKeyboard.h"
#include "FakeMidiInput.h"
#include "PlayingFixture.h"
#include "platform/MidiConstants.h"

namespace clavora::test {
namespace {

using namespace keys;

class MidiPlaying : public PlayingTest {
protected:
    void SetUp() override
    {
        PlayingTest::SetUp();
        platform.heldTimers = true;
    }
    void on(int note, int velocity = 127, int channel = 3)
    {
        input.receive(midi::packShortMessage(midi::kNoteOn + channel, note, velocity));
    }
    void off(int note) { input.receive(midi::packShortMessage(midi::kNoteOff + 5, note, 64)); }
    // What is sent while the clock moves on, each message after its tick.
    Log timeline(int milliseconds)
    {
        Log timed;
        for (int ms = 0; ms < milliseconds; ++ms) {
            const std::size_t before = sent().size();
            platform.advance(1);
            for (std::size_t i = before; i < sent().size(); ++i)
                timed.push_back(std::to_string(platform.ticks) + " " + sent()[i]);
        }
        return timed;
    }

    MidiKeyboard input {piano, platform};
};

struct Struck {
    int note, volume, velocity;
    const char *noteOn, *noteOff;
};
class SingleNote : public MidiPlaying, public ::testing::WithParamInterface<Struck> { };

// With no chord area (one-key mode, split point 0) every key is a main key
// sounding its own note at octave 4, so note 48 + k plays k, and notes
// outside the keys move by octaves. The slot's volume is scaled by the
// velocity over 127, rounded; a note-on at velocity 0 is the note's release.
TEST_P(SingleNote, PlaysItsKeyAtTheScaledVolume)
{
    run({type(kF(2))});
    mainArea().volume().setValue(GetParam().volume);
    midi.clear();
    on(GetParam().note, GetParam().velocity);
    on(GetParam().note, 0);
    EXPECT_EQ(sent(), (Log {GetParam().noteOn, GetParam().noteOff}));
}

INSTANTIATE_TEST_SUITE_P(Notes, SingleNote,
    ::testing::Values(Struck {0, 127, 127, "90 30 7F", "80 30 00"}, Struck {36, 127, 100, "90 30 64", "80 30 00"},
        Struck {47, 103, 100, "90 3B 51", "80 3B 00"}, Struck {48, 64, 64, "90 30 20", "80 30 00"},
        Struck {60, 100, 127, "90 3C 64", "80 3C 00"}, Struck {91, 1, 63, "90 5B 00", "80 5B 00"},
        Struck {92, 1, 64, "90 50 01", "80 50 00"}, Struck {127, 127, 127, "90 5B 7F", "80 5B 00"}));

// A note struck again before its release (two keyboards, or a sequencer)
// ends its sound first, so that its one release ends it.
TEST_F(MidiPlaying, ANoteStruckAgainBeforeItsReleaseStartsAfresh)
{
    run({type(kF(2))});
    midi.clear();
    on(60, 127);
    on(60, 64);
    off(60);
    EXPECT_EQ(sent(), (Log {"90 3C 7F", "80 3C 00", "90 3C 40", "80 3C 00"}));
}

// In one-key mode a key below the split point plays its one note in the
// chord area, at once: only chords are waited for.
TEST_F(MidiPlaying, InOneKeyModeTheChordAreaPlaysAtOnce)
{
    chords().setChosenSplitPoint(12);
    run({type(kF(2))});
    midi.clear();
    on(48);
    EXPECT_EQ(sent(), (Log {"9C 24 67"})); // slot 5 at octave 3, its volume 103
    EXPECT_EQ(platform.runningTimers(), 0u);
}

const Log kCMajor {"97 37 67", "97 3C 67", "97 40 67"};

// A chord-area note waits 40 ms for the rest of its chord, then plays its
// key's chord; main notes play at once meanwhile.
TEST_F(MidiPlaying, AChordAreaNoteWaitsFortyMillisecondsForItsChord)
{
    on(0); // the lowest note, moved up by octaves to key 0
    on(60, 100);
    EXPECT_EQ(timeline(40), (Log {"40 97 37 67", "40 97 3C 67", "40 97 40 67"}));
    EXPECT_EQ(sent().front(), "90 3C 64");
    midi.clear();
    // Let go before the wait is over, a note is heard all the same.
    on(50);
    off(50);
    off(0);
    EXPECT_EQ(sent(),
        (Log {"97 36 67", "97 39 67", "97 3E 67", "87 36 00", "87 39 00", "87 3E 00", "87 37 00", "87 3C 00",
            "87 40 00"}));
    EXPECT_EQ(platform.runningTimers(), 0u);
}

// C, E flat and G together play C minor (Shift+Z) at the velocity of the
// hardest, 127; letting go of one of them stops the chord. Three notes that make
// no chord play as their own keys.
TEST_F(MidiPlaying, ThreeNotesHeldTogetherPlayTheirChord)
{
    on(55, 90);
    on(51, 127);
    platform.advance(30);
    on(48, 60);
    platform.advance(40);
    off(51);
    off(48);
    off(55);
    EXPECT_EQ(sent(), (Log {"97 37 67", "97 3C 67", "97 3F 67", "87 37 00", "87 3C 00", "87 3F 00"}));
    midi.clear();

    on(48);
    on(49);
    on(50);
    platform.advance(40);
    EXPECT_EQ(sent(), joined({kCMajor, {"97 38 67", "97 3D 67", "97 41 67"}, {"97 36 67", "97 39 67", "97 3E 67"}}));
    off(49);
    off(50);
    midi.clear();
    // Notes added to a held one, or to a held chord, make a new chord of
    // all of them.
    for (const int note : {52, 55})
        on(note);
    platform.advance(100);
    on(58);
    platform.advance(40);
    EXPECT_EQ(sent(),
        joined({noteOffsOf(kCMajor), kCMajor, noteOffsOf(kCMajor), {"97 37 67", "97 3A 67", "97 3C 67", "97 40 67"}}));
}

struct Passed {
    const char* name;
    std::vector<std::uint32_t> messages;
    Log sent;
    friend void PrintTo(const Passed& p, std::ostream* out) { *out << p.name; }
};
class PassThrough : public MidiPlaying, public ::testing::WithParamInterface<Passed> { };

// Controllers, pressure and bend reach every sounding slot of both areas
// (two main voices here), whatever their channel; a program change picks
// the main instrument; polyphonic pressure, system and broken messages do
// nothing.
TEST_P(PassThrough, ToTheSoundingChannels)
{
    run({type(kF(8))});
    midi.clear();
    for (const std::uint32_t message : GetParam().messages)
        input.receive(message);
    EXPECT_EQ(sent(), GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(Messages, PassThrough,
    ::testing::Values(Passed {"Sustain", {0x7F40B5}, {"B0 40 7F", "B1 40 7F", "B7 40 7F"}},
        Passed {"PitchBend", {0x4000E2}, {"E0 00 40", "E1 00 40", "E7 00 40"}},
        Passed {"ChannelPressure", {0x50D9}, {"D0 50 00", "D1 50 00", "D7 50 00"}},
        Passed {"ProgramChange", {0x13C4}, {"C0 13 00"}},
        Passed {"Ignored", {0x403CA0, 0xF8, 0xFE, 0xF0, 0x80A0B0, 0x3C}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Esc lets go of what the input holds before silencing every channel; the
// notes' releases then send nothing.
TEST_F(MidiPlaying, EscapeClearsTheNotesOfTheInput)
{
    on(60);
    on(48);
    platform.advance(40);
    midi.clear();
    run({hit(kEscape)});
    ASSERT_EQ(sent().size(), 4u + 16u);
    EXPECT_EQ(
        Log(sent().begin(), sent().begin() + 5), (Log {"87 37 00", "87 3C 00", "87 40 00", "80 3C 00", "B0 78 00"}));
    midi.clear();
    off(60);
    off(48);
    on(48);
    EXPECT_EQ(timeline(40), (Log {"80 97 37 67", "80 97 3C 67", "80 97 40 67"}));
}

// A source that leaves (a keyboard unplugged) never lets go of its notes:
// they end when the input is next looked at. News that it is still there,
// or back, changes nothing.
TEST_F(MidiPlaying, NotesOfASourceThatLeftEndAtTheNextLook)
{
    using News = PortNews;
    FakeMidiInput source;
    source.news = {News::None, News::Back, News::Gone};
    run({type(kF(2))});
    input.follow(source);
    on(60);
    on(64);
    off(64);
    midi.clear();
    EXPECT_EQ(timeline(2000), (Log {"1500 80 3C 00"}));
    EXPECT_TRUE(source.news.empty());
    off(60);
    EXPECT_EQ(sent(), (Log {"80 3C 00"}));
}

// Drums mode: a note strikes the pad of its key's computer key, at the pad's
// velocity scaled; notes an octave apart that press one key sound it once.
TEST_F(MidiPlaying, PadsAndSharedKeys)
{
    run({shift(kF(4))});
    midi.clear();
    on(48, 100);
    off(48);
    EXPECT_EQ(sent(), (Log {"99 29 3E", "89 29 00"}));
    run({shift(kF(4)), type(kF(2))});
    midi.clear();
    on(36);
    on(48);
    off(36);
    EXPECT_EQ(sent(), (Log {"90 30 7F"}));
    off(48);
    EXPECT_EQ(sent(), (Log {"90 30 7F", "80 30 00"}));
}

// Guitar mode on slots 1 and 2: a strum keeps its 20 ms gaps on the timer
// while a main key and a MIDI note play at once; released mid-strum, the
// strum stops and exactly what it sent is stopped, on the lowest chord key too.
TEST_F(MidiPlaying, StrumRunsOnATimer)
{
    run(Steps {type(kF(4))} + times(5, type(kF(9))) + Steps {type(kF(12))});
    midi.clear();
    run({down('X')});
    run({down(kComma)});
    platform.advance(10);
    on(62);
    const Log strum {"0 97 39 67", "20 97 3E 67", "40 97 45 67", "60 97 4A 67", "80 97 4E 67", "80 98 39 67",
        "100 98 3E 67", "120 98 45 67", "140 98 4A 67", "160 98 4E 67"};
    EXPECT_EQ(sent(), (Log {"97 39 67", "90 3C 7F", "90 3E 7F"}));
    midi.clear();
    EXPECT_EQ(timeline(200), Log(strum.begin() + 1, strum.end()));
    run({up(kComma)});
    off(62);

    midi.clear();
    run({up('X'), down('X')});
    timeline(50);
    run({up('X')});
    EXPECT_EQ(timeline(100), Log {});
    EXPECT_EQ(sent(),
        (Log {"87 39 00", "87 3E 00", "87 45 00", "87 4A 00", "87 4E 00", "88 39 00", "88 3E 00", "88 45 00",
            "88 4A 00", "88 4E 00", "97 39 67", "97 3E 67", "97 45 67", "87 39 00", "87 3E 00", "87 45 00"}));
    // Esc stops a strum too; the key's release stops what it had sent.
    midi.clear();
    run({down('X')});
    timeline(10);
    run({hit(kEscape)});
    timeline(100);
    run({up('X')});
    EXPECT_EQ(sent().front(), "97 39 67");
    EXPECT_EQ(sent().back(), "87 39 00");
    EXPECT_EQ(sent().size(), 1u + 16u + 1u);
    // The lowest chord key, C major from the open low E, stops the same way.
    midi.clear();
    run({down('Z')});
    timeline(30);
    run({up('Z')});
    EXPECT_EQ(timeline(100), Log {});
    EXPECT_EQ(sent(), (Log {"97 34 67", "97 3C 67", "87 34 00", "87 3C 00"}));
}

} // namespace
} // namespace clavora::test
