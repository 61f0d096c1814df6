// Setups: a round trip through a file gives the same state and the same
// MIDI; bad files are refused whole; what a file leaves out is the default.
#include "piano/Setup.h"
#include "PlayingFixture.h"
#include "chords/ChordEditing.h"
#include "keys/Setting.h"
#include "lang/AreaWords.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace clavora::test {
namespace {

using SetupState = setup::Setup;

// A piano started on its own device with two outputs, and a MIDI input that
// remembers what it was asked to open.
struct Player {
    Player()
    {
        midi.setDeviceNames({"Synth A", "Port B"});
        piano.startUp();
        midiIn.current = [this] { return input; };
        midiIn.choose = [this](const QString& name) {
            input = name;
            return true;
        };
        midi.clear();
    }
    // What the steps send, pauses included.
    Log played(const Steps& steps)
    {
        midi.clear();
        platform.onPause = [this](int ms) { midi.note("pause " + std::to_string(ms)); };
        for (const Step& step : steps)
            step(piano);
        return midi.log();
    }
    RecordingMidiOutput midi;
    FakePlatform platform;
    sound::MidiPort port {midi, platform};
    Piano piano {port, platform};
    QString input;
    setup::MidiInChoice midiIn;
};

QString writeText(const QTemporaryDir& dir, const QByteArray& text)
{
    const QString path = dir.filePath(QStringLiteral("test.clavora"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    return path;
}

// The started piano and a folder for the setup files it opens.
class SetupFiles : public PlayingTest {
protected:
    QString open(const QByteArray& text) { return setup::openSetupFile(piano, writeText(dir, text)); }
    QTemporaryDir dir;
};

// Notes in the main and chord areas, a strummed guitar chord, a keyboard
// chord and a drum pad.
const Steps kPhrase {press(30), release(30), press(15), release(15), type(keys::kF(4)), press(0), release(0),
    type(keys::kF(3)), press(0), release(0), shift(keys::kF(4)), hit('C')};

TEST(Setups, RoundTripGivesTheSameStateAndTheSameMidi)
{
    Player before;
    Piano& piano = before.piano;
    piano.setLanguage(lang::Spanish);
    VoiceArea& main = piano.mainArea();
    main.instrument().setValue(20);
    main.octave().setValue(2);
    main.volume().setValue(90);
    main.channel().setValue(2);
    main.instrument().setValue(33);
    main.voices().setValue(3);
    ChordArea& chords = piano.chordArea();
    chords.setChosenSplitPoint(20);
    chords.selectMode(ChordArea::Mode::OneKey);
    chords.area().instrument().setValue(70);
    chords.area().octave().setValue(3);
    chords.area().volume().setValue(60);
    chords.area().voices().setValue(2);
    ASSERT_TRUE(chords::storeKeyboardChord(chords.tables(), 0, 0, {{{0, 0}, {0, 3}, {1, 7}}}).accepted());
    ASSERT_TRUE(chords::storeGuitarChord(chords.tables(), 0, 0, {-1, 0, 2, 2, 1, 0}).accepted());
    piano.drumPads().setSound(2, 10, false);
    piano.drumPads().volume().setValue(90);
    ASSERT_TRUE(before.port.openMidiOutDevice(1));
    before.port.setCurrentMidiDevice(1);
    before.input = QStringLiteral("Keys In");

    const QByteArray text = setup::writeSetup(setup::captureSetup(piano, before.midiIn));
    for (const char* line : {"\"version\": 1", "\"language\": \"es\"", "\"midiOut\": \"Port B\"",
             "\"midiIn\": \"Keys In\"", "\"mode\": \"oneKey\"", "\"splitPoint\": 20", "\"instrument\": 33"})
        EXPECT_TRUE(text.contains(line)) << line << "\n" << text.toStdString();

    Player after;
    QTemporaryDir dir;
    EXPECT_EQ(setup::openSetupFile(after.piano, writeText(dir, text), after.midiIn), QString());
    EXPECT_EQ(after.input, QStringLiteral("Keys In"));
    EXPECT_EQ(after.midi.log().front(), "open 1");
    EXPECT_TRUE(setup::captureSetup(after.piano, after.midiIn) == setup::captureSetup(piano, before.midiIn));

    const Log heard = before.played(kPhrase);
    EXPECT_EQ(after.played(kPhrase), heard);
    // Three main voices, two chord voices, six strings but one not played,
    // three chord notes and a pad, each on and off.
    EXPECT_EQ(
        std::ranges::count_if(heard, [](const std::string& entry) { return entry[0] == '9'; }), 3 + 2 + 5 + 3 + 1);

    // The first output named in a file is opened again like any other, with
    // no problem reported.
    const QString first = writeText(dir, R"({"format": "Clavora setup", "version": 1, "midiOut": "Synth A"})");
    EXPECT_EQ(setup::openSetupFile(after.piano, first, after.midiIn), QString());
    EXPECT_EQ(setup::captureSetup(after.piano, after.midiIn).midiOut, QStringLiteral("Synth A"));
}

// The round trips compare whole setups, so a part the comparison left out
// would go unchecked there: any one part changed makes two setups differ.
TEST(Setups, AnyOnePartChangedMakesTwoSetupsDiffer)
{
    const SetupState base = setup::defaultSetup(lang::English);
    const std::function<void(SetupState&)> changes[] = {
        [](SetupState& s) { s.main.octaves[6] = 1; },
        [](SetupState& s) { s.chords.slot = 2; },
        [](SetupState& s) { s.mode = ChordArea::Mode::Guitar; },
        [](SetupState& s) { s.splitPoint = 5; },
        [](SetupState& s) { s.tables.setKeyboardChord(chords::kChordTableSize - 1, QStringLiteral("000407")); },
        [](SetupState& s) { s.tables.setGuitarChord(0, QStringLiteral("-1-1-1-1-1-1")); },
        [](SetupState& s) { s.padSounds[46] = 0; },
        [](SetupState& s) { s.padHigh[46] = !s.padHigh[46]; },
        [](SetupState& s) { s.drumVolume = 1; },
        [](SetupState& s) { s.language = lang::Spanish; },
        [](SetupState& s) { s.midiOut = QStringLiteral("Port B"); },
        [](SetupState& s) { s.midiIn = QStringLiteral("Keys In"); },
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        SetupState changed = base;
        changes[i](changed);
        EXPECT_FALSE(changed == base) << "change " << i;
    }
}

// Opening sends the program changes of every slot as the defaults routine
// does when the slots are chosen one by one: two or three for each slot
// whose instrument differs from the one shown before it, then the chosen
// slot's again.
TEST_F(SetupFiles, OpeningSendsTheProgramChangesOfEachSlotInTurn)
{
    const QByteArray text = R"({"format": "Clavora setup", "version": 1, "main": {"slot": 2, "voices": 2,
        "slots": [{}, {"instrument": 40}, {}, {}, {}, {}, {}]}})";
    EXPECT_EQ(open(text), QString());
    const Log expected
        = joined({repeated("C0 00 00", 1), repeated("C1 28 00", 3), repeated("C2 31 00", 3), repeated("C3 38 00", 3),
            repeated("C4 49 00", 3), repeated("C5 20 00", 3), repeated("C6 13 00", 3), repeated("C1 28 00", 3),
            repeated("C7 32 00", 1), repeated("C8 59 00", 3), repeated("CA 30 00", 3), repeated("CB 34 00", 3),
            repeated("CC 20 00", 3), repeated("CD 18 00", 3), repeated("CE 1A 00", 3), repeated("C7 32 00", 3)});
    EXPECT_EQ(sent(), expected);
    EXPECT_EQ(mainArea().voices().value(), 2);
    EXPECT_EQ(mainArea().instrument().value(), 40);
}

// What a file leaves out is the default, whatever was in force before;
// keys a later version may add are passed over.
TEST_F(SetupFiles, WhatTheFileLeavesOutIsTheDefaultAndUnknownKeysAreIgnored)
{
    mainArea().instrument().setValue(50);
    chords().selectMode(ChordArea::Mode::Guitar);
    drums().setSound(5, 0, true);
    const QByteArray text = R"({"format": "Clavora setup", "version": 1, "reverb": {"room": 3},
        "main": {"voices": 2, "transpose": 5}, "midiOut": "Missing"})";
    EXPECT_EQ(open(text).toStdString(),
        "The setup \"" + dir.filePath("test.clavora").toStdString()
            + "\" was opened, but there is no MIDI output \"Missing\".");
    SetupState expected = setup::defaultSetup(lang::English, QStringLiteral("Recording device"));
    expected.main.voices = 2;
    EXPECT_TRUE(setup::captureSetup(piano) == expected);
    // The built-in pads: Z and N soft, C hard.
    EXPECT_EQ(std::tuple(drums().isHigh(0), drums().isHigh(2), drums().isHigh(5)), std::tuple(false, true, false));
}

// A valid start that changes the language and the main slot, so that a file
// refused late shows nothing was applied.
QByteArray file(const char* rest)
{
    return QByteArray(R"({"format": "Clavora setup", "version": 1, "language": "es", "main": {"slot": 3}, )") + rest
        + "}";
}

QByteArray slotList(const char* area, int index, const char* entry)
{
    QByteArray list;
    for (int i = 0; i < 7; ++i)
        list += (i ? ", " : "") + QByteArray(i == index ? entry : "{}");
    return "\"" + QByteArray(area) + "\": {\"slots\": [" + list + "]}";
}

// Each bad file is refused with the first problem found; a file that cannot
// be read at all is refused too.
TEST_F(SetupFiles, BadFilesAreRefusedWholeWithTheFileAndTheFirstProblem)
{
    const std::pair<QByteArray, std::string> bad[] = {
        {"", "the file is empty"},
        {QByteArray(setup::kMaxFileSize + 1, ' '), "the file is too large for a setup (1048577 bytes)"},
        {QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "not a setup file (illegal value at byte 1)"},
        {R"({"format": "Clavora setup", "version": 1, "language": "es", "main": {"sl)",
            "not a setup file (unterminated string at byte 73)"},
        {R"({"version": 1, "main": {}})", "not a setup file (no \"format\": \"Clavora setup\")"},
        {R"({"format": "Clavora setup", "version": 2})", "version 2 is not known (this Clavora reads version 1)"},
        {R"({"format": "Clavora setup"})", "version (none) is not known (this Clavora reads version 1)"},
        {R"({"format": "Clavora setup", "version": 1, "language": "fr"})", "language \"fr\" is not en, pt or es"},
        {file(R"("midiOut": 3)"), "midiOut is not a text"},
        {file(slotList("main", 0, R"({"instrument": 128})")), "main.slots[0].instrument is 128, outside 0 to 127"},
        {file(slotList("chords", 6, R"({"octave": 6})")), "chords.slots[6].octave is 6, outside 1 to 5"},
        {file(slotList("main", 3, R"({"volume": -1})")), "main.slots[3].volume is -1, outside 0 to 127"},
        {file(slotList("main", 1, R"({"volume": "loud"})")), "main.slots[1].volume is not a whole number"},
        {file(slotList("main", 2, R"({"octave": 2.5})")), "main.slots[2].octave is not a whole number"},
        {file(R"("chords": {"slots": [{}, {}, {}, {}, {}, {}]})"), "chords.slots holds 6 slots instead of 7"},
        {file(R"("chords": {"voices": 0})"), "chords.voices is 0, outside 1 to 7"},
        {file(R"("chords": {"splitPoint": 44})"), "chords.splitPoint is 44, outside 0 to 43"},
        {file(R"("chords": {"mode": "drums"})"), "chords.mode is not oneKey, threeKeys or guitar"},
        {file(R"("keyboardChords": [{"root": 12, "type": 0, "notes": [0, 4, 7]}])"),
            "keyboardChords[0].root is 12, outside 0 to 11"},
        {file(R"("keyboardChords": [{"root": 3, "notes": [0, 4, 7]}])"), "keyboardChords[0] needs a root and a type"},
        {file(R"("keyboardChords": [{"root": 0, "type": 2, "notes": [0, 4, 7]}])"),
            "keyboardChords[0].notes must be a list of 4 numbers"},
        {file(R"("keyboardChords": [{"root": 0, "type": 0, "notes": [0, 4, 68]}])"),
            "keyboardChords[0].notes[2] would not sound at every chord octave"},
        {file(R"("guitarChords": [{"root": 0, "type": 12, "frets": [0, 0, 0, 0, 0, 0]}])"),
            "guitarChords[0].type is 12, outside 0 to 11"},
        {file(R"("guitarChords": [{"root": 0, "type": 0, "frets": [-2, 0, 0, 0, 0, 0]}])"),
            "guitarChords[0].frets[0] is -2, outside -1 to 127"},
        {file(R"("guitarChords": [{"root": 0, "type": 0, "frets": [0, 0, 0, 0, 0, 40]}])"),
            "guitarChords[0].frets[5] would not sound at every chord octave"},
        {file(R"("drums": {"volume": 128})"), "drums.volume is 128, outside 0 to 127"},
        {file(R"("drums": {"pads": [{"pad": 47, "sound": 0}]})"), "drums.pads[0].pad is 47, outside 0 to 46"},
        {file(R"("drums": {"pads": [{"pad": 3, "sound": 47}]})"), "drums.pads[0].sound is 47, outside 0 to 46"},
        {file(R"("drums": {"pads": [{"pad": 3, "high": "yes"}]})"), "drums.pads[0].high is not true or false"},
    };
    // On a piano whose chord instrument is not the default.
    chordSlots().instrument().setValue(9);
    const SetupState before = setup::captureSetup(piano);
    const auto refused = [&](const QString& path, const std::string& problem) {
        midi.clear();
        EXPECT_EQ(setup::openSetupFile(piano, path).toStdString(),
            "The setup \"" + path.toStdString() + "\" was not opened: " + problem + ". Nothing was changed.");
        EXPECT_TRUE(setup::captureSetup(piano) == before);
        EXPECT_EQ(sent(), Log {});
    };
    for (const auto& [text, problem] : bad) {
        SCOPED_TRACE(problem);
        refused(writeText(dir, text), problem);
    }
    refused(dir.filePath(QStringLiteral("gone.clavora")), "No such file or directory");
}

TEST_F(SetupFiles, AFileOfTheLargestSizeIsRead)
{
    QByteArray text = R"({"format": "Clavora setup", "version": 1, "main": {"voices": 2}})";
    text.prepend(QByteArray(setup::kMaxFileSize - text.size(), ' ')); // its last byte counts
    EXPECT_EQ(open(text), QString());
    EXPECT_EQ(mainArea().voices().value(), 2);
}

TEST(SetupArguments, TheOptionIsTakenOutWhereverItStands)
{
    const auto parsed = setup::takeSetupArguments({"/STEALTH", "--setup", "a b.clavora", "Title"});
    EXPECT_EQ(parsed.path, QStringLiteral("a b.clavora"));
    EXPECT_EQ(parsed.rest, QStringList({"/STEALTH", "Title"}));
    EXPECT_EQ(setup::takeSetupArguments({"--setup=x.clavora"}).path, QStringLiteral("x.clavora"));
    // Started from the menu, the desktop entry's "--setup %f" has no file.
    const auto alone = setup::takeSetupArguments({"--setup"});
    EXPECT_TRUE(alone.path.isEmpty() && alone.rest.isEmpty());
}

} // namespace
} // namespace clavora::test
