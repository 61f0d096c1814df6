#include "PlayingFixture.h"

namespace clavora::test {
namespace {

// Before start-up every scroll bar stands at its minimum. Assigning a value
// runs the change handling only when the value moves, and the routines run
// it once more explicitly; this fixes how often each program change goes out.
TEST(StartUp, SendsEveryProgramChangeInOrder)
{
    RecordingMidiOutput midi;
    FakePlatform platform;
    sound::MidiPort port(midi, platform);
    Piano piano(port, platform);

    piano.startUp();

    const Log expected = joined({
        {"open 0"},
        // Main slot 1: Channel and Instrument are already 1 and 0, so only
        // the explicit instrument handling sends.
        {"C0 00 00"},
        // Slots 2..7: the new Channel sets a new Instrument (one), the
        // explicit instrument handling (two), the explicit channel handling
        // of the defaults routine (three).
        repeated("C1 30 00", 3), repeated("C2 31 00", 3), repeated("C3 38 00", 3),
        repeated("C4 49 00", 3), repeated("C5 20 00", 3), repeated("C6 13 00", 3),
        // Back to slot 1.
        repeated("C0 00 00", 3),
        // Chord slot 1: Channel stays 1, Instrument moves from 0 to 50.
        repeated("C7 32 00", 2),
        repeated("C8 59 00", 3), repeated("CA 30 00", 3), repeated("CB 34 00", 3),
        repeated("CC 20 00", 3), repeated("CD 18 00", 3), repeated("CE 1A 00", 3),
        repeated("C7 32 00", 3),
        // The labels are refreshed by running the chord Channel handling.
        {"C7 32 00"},
        // Selecting three-key chord mode moves nothing: no further message.
    });
    EXPECT_EQ(midi.log(), expected);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_TRUE(platform.pauses.empty());
}

using StartedPiano = PlayingTest;

TEST_F(StartedPiano, LeavesTheDefaultStateAndLabels)
{
    VoiceArea& main = piano.mainArea();
    EXPECT_EQ(main.channel().value(), 1);
    EXPECT_EQ(main.voices().value(), 1);
    EXPECT_EQ(main.instrument().value(), 0);
    EXPECT_EQ(main.octave().value(), 4);
    EXPECT_EQ(main.volume().value(), 127);
    EXPECT_EQ(main.instrument().label(), "000 - Acoustic Grand Piano");
    EXPECT_EQ(main.octave().label(), "Octave 4");
    EXPECT_EQ(main.volume().label(), "Volume 127");
    EXPECT_EQ(main.channel().label(), "Channel 1");
    EXPECT_EQ(main.voices().label(), "Voices 1");

    const int programs[] = {0, 48, 49, 56, 73, 32, 19};
    const int octaves[] = {4, 4, 3, 4, 4, 2, 4};
    for (int slot = 1; slot <= 7; ++slot) {
        EXPECT_EQ(main.slotInstrument(slot), programs[slot - 1]) << slot;
        EXPECT_EQ(main.slotOctave(slot), octaves[slot - 1]) << slot;
        EXPECT_EQ(main.slotVolume(slot), 127) << slot;
    }

    ChordArea& chords = piano.chordArea();
    EXPECT_EQ(chords.mode(), ChordArea::Mode::ThreeKeys);
    EXPECT_EQ(chords.splitPoint(), 12);
    EXPECT_EQ(chords.chosenSplitPoint(), 0);
    EXPECT_FALSE(chords.choosingSplitPoint());
    EXPECT_EQ(chords.currentChordType(), 0);
    EXPECT_EQ(chords.chordTypeText(), "maj");
    EXPECT_EQ(chords.area().channel().value(), 1);
    EXPECT_EQ(chords.area().voices().value(), 1);
    EXPECT_EQ(chords.area().instrument().label(), "050 - Synth Strings 1");
    EXPECT_EQ(chords.area().volume().label(), "Volume 103");

    EXPECT_FALSE(piano.playDrums());
    EXPECT_EQ(piano.drumPads().volume().value(), 127);
    EXPECT_EQ(piano.drumPads().volume().label(), "Volume 127");
    EXPECT_EQ(port.currentMidiDevice(), sound::MidiPort::kDefaultDevice);
}

TEST(StartUp, LabelsFollowTheLanguageOfTheCountryCode)
{
    RecordingMidiOutput midi;
    FakePlatform platform;
    platform.country = 34;  // Spain
    sound::MidiPort port(midi, platform);
    Piano piano(port, platform);
    piano.startUp();

    EXPECT_EQ(piano.language(), 3);
    EXPECT_EQ(piano.mainArea().volume().label(), "Volumen 127");
    EXPECT_EQ(piano.mainArea().octave().label(), "Octava 4");
    EXPECT_EQ(piano.chordArea().area().voices().label(), "Voces 1");
}

TEST_F(StartedPiano, ShutDownClosesTheOutputWithoutSilencingIt)
{
    piano.shutDown();
    EXPECT_EQ(midi.log(), (Log{"close"}));
}

} // namespace
} // namespace clavora::test
