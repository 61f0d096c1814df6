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

    // Main slot 1: Channel and Instrument are already 1 and 0, so only the
    // explicit instrument handling sends. Slots 2..7: the new Channel sets a
    // new Instrument (one), the explicit instrument handling (two), the
    // explicit channel handling of the defaults routine (three). Back to
    // slot 1. Chord slot 1: Channel stays 1, Instrument moves from 0 to 50;
    // at the end the labels are refreshed by running the chord Channel
    // handling. Selecting three-key chord mode moves nothing.
    const Log expected = joined({{"open 0", "C0 00 00"}, repeated("C1 30 00", 3), repeated("C2 31 00", 3),
                                 repeated("C3 38 00", 3), repeated("C4 49 00", 3), repeated("C5 20 00", 3),
                                 repeated("C6 13 00", 3), repeated("C0 00 00", 3), repeated("C7 32 00", 2),
                                 repeated("C8 59 00", 3), repeated("CA 30 00", 3), repeated("CB 34 00", 3),
                                 repeated("CC 20 00", 3), repeated("CD 18 00", 3), repeated("CE 1A 00", 3),
                                 repeated("C7 32 00", 4)});
    EXPECT_EQ(midi.log(), expected);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_TRUE(platform.pauses.empty());
    // The octaves and volumes of the main slots, the rest of the defaults.
    std::string octaves;
    for (int slot = 1; slot <= 7; ++slot) {
        octaves += std::to_string(piano.mainArea().slotOctave(slot));
        EXPECT_EQ(piano.mainArea().slotVolume(slot), 127) << slot;
    }
    EXPECT_EQ(octaves, "4434424");
    EXPECT_EQ(piano.chordArea().mode(), ChordArea::Mode::ThreeKeys);
    EXPECT_EQ(piano.chordArea().splitPoint(), 12);
    EXPECT_FALSE(piano.playDrums());
    EXPECT_EQ(port.currentMidiDevice(), sound::MidiPort::kDefaultDevice);
    midi.clear();
    piano.shutDown();
    EXPECT_EQ(midi.log(), (Log{"close"})); // notes still sounding are not silenced
}

struct LabelsRow {
    int country;
    int language;
    // Main Instrument, Octave, Volume, Channel, Voices; chord Instrument, Volume; drums Volume.
    const char* labels;
};

class StartUpLabels : public ::testing::TestWithParam<LabelsRow> {};

TEST_P(StartUpLabels, SpeakTheLanguageOfTheCountry)
{
    RecordingMidiOutput midi;
    FakePlatform platform;
    platform.country = GetParam().country;
    sound::MidiPort port(midi, platform);
    Piano piano(port, platform);
    piano.startUp();
    EXPECT_EQ(piano.language(), GetParam().language);
    VoiceArea& chord = piano.chordArea().area();
    const QStringList shown{chord.instrument().label(), chord.volume().label(), piano.drumPads().volume().label()};
    EXPECT_EQ(labels(piano.mainArea()) + "|" + shown.join('|').toStdString(), GetParam().labels);
}

INSTANTIATE_TEST_SUITE_P(
    StartUp, StartUpLabels,
    ::testing::Values(LabelsRow{0, 1, "000 - Acoustic Grand Piano|Octave 4|Volume 127|Channel 1|Voices 1|"
                                      "050 - Synth Strings 1|Volume 103|Volume 127"},
                      LabelsRow{55, 2, "000 - Acoustic Grand Piano|Oitava 4|Volume 127|Canal 1|Vozes 1|"
                                       "050 - Synth Strings 1|Volume 103|Volume 127"},
                      LabelsRow{34, 3, "000 - Acoustic Grand Piano|Octava 4|Volumen 127|Canal 1|Voces 1|"
                                       "050 - Synth Strings 1|Volumen 103|Volumen 127"}));

} // namespace
} // namespace clavora::test
