// The piano played from a MIDI keyboard: notes to keys, velocities, chords
// recognised from the left hand, controllers, and strums that never hold
// back the other hand.
#include "piano/MidiKeyboard.h"
#include "FakeMidiInput.h"
#include "PlayingFixture.h"
#include "platform/MidiConstants.h"

#include <sstream>

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
    void on(int note, int velocity = 127) { input.receive(midi::packShortMessage(midi::kNoteOn + 3, note, velocity)); }
    void off(int note) { input.receive(midi::packShortMessage(midi::kNoteOff + 5, note, 64)); }
    // Plays what comes in: "60" strikes note 60 at velocity 127 and "60@90"
    // at velocity 90, "-60" lets it go, "+40" lets 40 ms pass, "x7F40B5" is
    // a message as it stands; meanwhile "Esc" is typed, "vX" holds the X key
    // down and "^X" lets it go.
    void play(const std::string& script)
    {
        std::istringstream words(script);
        for (std::string word; words >> word;) {
            const std::size_t at = word.find('@');
            if (word == "Esc")
                run({hit(kEscape)});
            else if (word[0] == 'v' || word[0] == '^')
                run({word[0] == 'v' ? down(word[1]) : up(word[1])});
            else if (word[0] == 'x')
                input.receive(std::uint32_t(std::stoul(word.substr(1), nullptr, 16)));
            else if (word[0] == '+')
                platform.advance(std::stoi(word.substr(1)));
            else if (word[0] == '-')
                off(std::stoi(word.substr(1)));
            else
                on(std::stoi(word), at == std::string::npos ? 127 : std::stoi(word.substr(at + 1)));
        }
    }
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

// What comes in after the steps `before`, and exactly what it sends; no
// timer is left waiting after it.
struct Phrase {
    const char* name;
    Steps before;
    std::string script;
    Log sent;
    friend void PrintTo(const Phrase& phrase, std::ostream* out) { *out << phrase.name; }
};
class Phrases : public MidiPlaying, public ::testing::WithParamInterface<Phrase> { };

TEST_P(Phrases, SendExactly)
{
    run(GetParam().before);
    midi.clear();
    play(GetParam().script);
    EXPECT_EQ(sent(), GetParam().sent);
    EXPECT_EQ(platform.runningTimers(), 0u);
}

// The main volume set to `volume`.
Step mainVolume(int volume)
{
    return [volume](Piano& piano) { piano.mainArea().volume().setValue(volume); };
}

// With no chord area (one-key mode, split point 0) every key is a main key
// sounding its own note at octave 4, so note 48 + k plays k, and notes
// outside the keys move by octaves. The slot's volume is scaled by the
// velocity over 127, rounded; a note-on at velocity 0 is the note's release.
const Step kOneKey = type(kF(2));
INSTANTIATE_TEST_SUITE_P(SingleNotes, Phrases,
    ::testing::Values(Phrase {"Lowest", {kOneKey}, "0 0@0", {"90 30 7F", "80 30 00"}},
        Phrase {"OctaveBelowTheKeys", {kOneKey}, "36@100 36@0", {"90 30 64", "80 30 00"}},
        Phrase {"BelowTheFirstKey", {kOneKey, mainVolume(103)}, "47@100 47@0", {"90 3B 51", "80 3B 00"}},
        Phrase {"FirstKey", {kOneKey, mainVolume(64)}, "48@64 48@0", {"90 30 20", "80 30 00"}},
        Phrase {"FullVelocity", {kOneKey, mainVolume(100)}, "60 60@0", {"90 3C 64", "80 3C 00"}},
        Phrase {"RoundedDownToZero", {kOneKey, mainVolume(1)}, "91@63 91@0", {"90 5B 00", "80 5B 00"}},
        Phrase {"RoundedUpToOne", {kOneKey, mainVolume(1)}, "92@64 92@0", {"90 50 01", "80 50 00"}},
        Phrase {"Highest", {kOneKey}, "127 127@0", {"90 5B 7F", "80 5B 00"}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(Notes, Phrases,
    ::testing::Values(
        // A note struck again before its release (two keyboards, or a
        // sequencer) ends its sound first, so that its one release ends it.
        Phrase {"ANoteStruckAgainStartsAfresh", {kOneKey}, "60 60@64 -60",
            {"90 3C 7F", "80 3C 00", "90 3C 40", "80 3C 00"}},
        // Notes an octave apart press one key and sound it once; it ends
        // with the last of them.
        Phrase {"NotesThatPressOneKeySoundItOnce", {kOneKey}, "36 48 -36 60 -48", {"90 30 7F", "90 3C 7F", "80 30 00"}},
        // In one-key mode a key below the split point plays its one note in
        // the chord area at once (slot 5 at octave 3, its volume 103): only
        // chords are waited for.
        Phrase {"InOneKeyModeTheChordAreaPlaysAtOnce", {type(kF(2)), shift(kF(2)), hit(kComma)}, "48 60 +100",
            {"9C 24 67", "90 3C 7F"}},
        // A chord-area note (the lowest, moved up by octaves to key 0) waits
        // 40 ms for the rest of its chord, then plays its key's chord; main
        // notes play at once meanwhile.
        Phrase {"AChordAreaNoteWaitsFortyMillisecondsForItsChord", {}, "0 +39 60@100 +1", Log {"90 3C 64"} + kCMajor},
        // Let go before the wait is over, a note is heard all the same.
        Phrase {"ANoteLetGoWhileItWaitsIsHeard", {}, "0 +40 50 -50 -0",
            kCMajor + kDMajor + noteOffsOf(kDMajor) + noteOffsOf(kCMajor)},
        // C, E flat and G together play C minor (Shift+Z) at the velocity of
        // the hardest, 127; letting go of one of them stops the chord.
        Phrase {"ThreeNotesHeldTogetherPlayTheirChord", {}, "55@90 51 +30 48@60 +40 -51 -48 -55",
            {"97 37 67", "97 3C 67", "97 3F 67", "87 37 00", "87 3C 00", "87 3F 00"}},
        Phrase {"ThreeNotesOfNoChordPlayAsTheirOwnKeys", {}, "48 49 50 +40",
            kCMajor + Log {"97 38 67", "97 3D 67", "97 41 67"} + kDMajor},
        // Notes added to a held one, or to a held chord, make a new chord of
        // all of them.
        Phrase {"NotesAddedToHeldOnesMakeANewChord", {}, "48 +40 52 55 +100 58 +40",
            kCMajor + noteOffsOf(kCMajor) + kCMajor + noteOffsOf(kCMajor)
                + Log {"97 37 67", "97 3A 67", "97 3C 67", "97 40 67"}},
        // Esc lets go of what the input holds before silencing every
        // channel; the notes' releases then send nothing.
        Phrase {"EscapeClearsTheNotesOfTheInput", {}, "60 48 +40 Esc -60 -48 48 +40",
            Log {"90 3C 7F"} + kCMajor + Log {"87 37 00", "87 3C 00", "87 40 00", "80 3C 00"} + allSoundOff()
                + kCMajor},
        // Drums mode: a note strikes the pad of its key's computer key, at
        // the pad's velocity scaled.
        Phrase {"DrumsModeStrikesThePads", {shift(kF(4))}, "48@100 -48", {"99 29 3E", "89 29 00"}}),
    caseName);

// Guitar mode on chord slots 1 and 2.
const Steps kGuitarOnTwoSlots = Steps {type(kF(4))} + times(5, type(kF(9))) + Steps {type(kF(12))};

// A strum let go midway stops, and exactly what it sent is stopped, on the
// lowest chord key too (C major from the open low E); Esc stops it too,
// and the key's release then stops what it had sent.
INSTANTIATE_TEST_SUITE_P(Strums, Phrases,
    ::testing::Values(Phrase {"LetGoMidway", kGuitarOnTwoSlots, "vX +50 ^X +100",
                          {"97 39 67", "97 3E 67", "97 45 67", "87 39 00", "87 3E 00", "87 45 00"}},
        Phrase {"LowestKeyLetGoMidway", kGuitarOnTwoSlots, "vZ +30 ^Z +100",
            {"97 34 67", "97 3C 67", "87 34 00", "87 3C 00"}},
        Phrase {"StoppedByEsc", kGuitarOnTwoSlots, "vX +10 Esc +100 ^X",
            Log {"97 39 67"} + allSoundOff() + Log {"87 39 00"}}),
    caseName);

// Controllers, pressure and bend reach every sounding slot of both areas
// (two main voices here), whatever their channel; a program change picks
// the main instrument; polyphonic pressure, system and broken messages do
// nothing.
INSTANTIATE_TEST_SUITE_P(PassThrough, Phrases,
    ::testing::Values(Phrase {"Sustain", {type(kF(8))}, "x7F40B5", {"B0 40 7F", "B1 40 7F", "B7 40 7F"}},
        Phrase {"PitchBend", {type(kF(8))}, "x4000E2", {"E0 00 40", "E1 00 40", "E7 00 40"}},
        Phrase {"ChannelPressure", {type(kF(8))}, "x50D9", {"D0 50 00", "D1 50 00", "D7 50 00"}},
        Phrase {"ProgramChange", {type(kF(8))}, "x13C4", {"C0 13 00"}},
        Phrase {"Ignored", {type(kF(8))}, "x403CA0 xF8 xFE xF0 x80A0B0 x3C", {}}),
    caseName);

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

// A strum on two slots keeps its 20 ms gaps on the timer while a main key
// and a MIDI note play at once; once done, its release stops every string.
TEST_F(MidiPlaying, StrumRunsOnATimer)
{
    run(kGuitarOnTwoSlots);
    midi.clear();
    run({down('X'), down(kComma)});
    platform.advance(10);
    on(62);
    EXPECT_EQ(sent(), (Log {"97 39 67", "90 3C 7F", "90 3E 7F"}));
    midi.clear();
    EXPECT_EQ(timeline(200),
        (Log {"20 97 3E 67", "40 97 45 67", "60 97 4A 67", "80 97 4E 67", "80 98 39 67", "100 98 3E 67", "120 98 45 67",
            "140 98 4A 67", "160 98 4E 67"}));
    midi.clear();
    run({up('X')});
    EXPECT_EQ(sent(),
        (Log {"87 39 00", "87 3E 00", "87 45 00", "87 4A 00", "87 4E 00", "88 39 00", "88 3E 00", "88 45 00",
            "88 4A 00", "88 4E 00"}));
}

} // namespace
} // namespace clavora::test
