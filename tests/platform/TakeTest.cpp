// A take recorded as it is played (--record), or kept in memory and saved
// after the fact with the leading silence cut, bounded, forgotten on
// request: files with the messages at their times, valid when cut off, and
// saved whole or not at all.
#include "PlatformTest.h"
#include "platform/AtomicFile.h"
#include "platform/TakeMemory.h"
#include "platform/TakeRecorder.h"

#include <QFileInfo>

#include <cmath>

#include <sys/resource.h>

namespace clavora {
namespace {

// ---- The command line ----

// The arguments, the path taken out of them and the arguments left.
TEST(RecordArguments, TakesTheOptionOutWhereverItStandsAndRefusesItGivenWrongly)
{
    const std::tuple<QStringList, QString, QStringList> cases[] = {
        {{"/STEALTH", "My", "title"}, "", {"/STEALTH", "My", "title"}},
        {{"--record", "take.mid", "/stealth", "Notes"}, "take.mid", {"/stealth", "Notes"}},
        {{"/STEALTH", "A", "--record", "b.WAV", "C"}, "b.WAV", {"/STEALTH", "A", "C"}},
        {{"--record=dir/take.midi"}, "dir/take.midi", {}},
    };
    for (const auto& [arguments, path, rest] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const RecordArguments parsed = takeRecordArguments(arguments);
        EXPECT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
        EXPECT_EQ(parsed.path, path);
        EXPECT_EQ(parsed.rest, rest);
    }
    // No file name, a kind of file that is not recorded, an empty name.
    for (const QStringList& wrong : {QStringList {"/STEALTH", "--record"}, {"--record", "take.mp3"}, {"--record="}})
        EXPECT_FALSE(takeRecordArguments(wrong).error.isEmpty()) << wrong.join(' ').toStdString();
}

// ---- Recording ----

TimedMessage at(double milliseconds, int status, int data1, int data2 = 0)
{
    return {milliseconds, packShortMessage(status, data1, data2)};
}

// A short performance with times that fall between milliseconds.
const std::vector<TimedMessage> kTake {at(0.2, midi::kProgramChange + 1, 40), at(100.0, midi::kNoteOn + 1, 60, 100),
    at(100.4, midi::kNoteOn + 1, 64, 90), at(350.6, midi::kNoteOff + 1, 60), at(350.6, midi::kNoteOff + 1, 64),
    at(420.0, midi::kNoteOn + 9, 38), at(1999.5, midi::kControlChange + 15, midi::kAllSoundOff)};

// Files written from now on may grow to `bytes` only; a write past that
// fails rather than ending the process. For a child process, which alone
// then has the limit.
void limitFileSizeTo(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit {bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

// How long a WAV file plays, in frames: 48 a millisecond at 48 kHz.
std::size_t framesOf(const test::Wav& wav)
{
    return wav.samples.size() / 2;
}

// An audio period of the synthesizer, in frames (2.67 ms at 48 kHz).
constexpr std::size_t kPeriod = 128;

class TakeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    // Plays `take` into `output`, each message at its time.
    void play(MidiOutput& output, const std::vector<TimedMessage>& take)
    {
        for (const TimedMessage& m : take) {
            now = m.milliseconds;
            output.send(m.message);
        }
    }
    // Records `take` through a recorder over the device, which opens (or not).
    std::unique_ptr<TakeRecorder> record(const QString& path, const std::vector<TimedMessage>& take, bool deviceWorks)
    {
        device.close();
        device.clear();
        device.setFailing(deviceWorks ? std::set<int> {} : std::set<int> {0});
        auto recorder = std::make_unique<TakeRecorder>(
            std::make_unique<ForwardingMidiOutput>(device), path, clock, FluidSynthDevice::Config::fromEnvironment());
        EXPECT_TRUE(recorder->isRecording());
        now = 0;
        recorder->send(packShortMessage(midi::kNoteOn, 1, 1)); // nothing open yet
        EXPECT_TRUE(recorder->open(0));
        play(*recorder, take);
        recorder->send(0x3C12); // no status byte: nothing to record
        return recorder;
    }
    QStringList filesLeft() const
    {
        return QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
    }

    QTemporaryDir dir;
    RecordingMidiOutput device;
    double now = 0;
    std::function<double()> clock = [this] { return now; };
};

using TakeRecorderTest = TakeTest;
using TakeMemoryTest = TakeTest;

// A take cut off (the program killed) is a valid file all the same; what was
// recorded also reached the device.
TEST_F(TakeRecorderTest, MidiFileHoldsTheMessagesAtTheirMillisecondsFinishedOrNot)
{
    for (const bool finished : {false, true}) {
        SCOPED_TRACE(finished ? "finished" : "cut off");
        const QString path = dir.filePath(finished ? "finished.mid" : "cut.mid");
        auto recorder = record(path, kTake, true);
        if (finished) {
            now = 2500;
            EXPECT_TRUE(recorder->finish());
        }
        EXPECT_EQ(test::eventsOf(path),
            QStringList({"0 FF 51 03 07 A1 20", "0 C1 28", "100 91 3C 64", "100 91 40 5A", "351 81 3C 00",
                "351 81 40 00", "420 99 26 00", "2000 BF 78 00", finished ? "2500 FF 2F 00" : "2000 FF 2F 00"}));
        EXPECT_EQ(device.messages().size(), 8U); // the message without a status byte too
    }
}

TEST_F(TakeRecorderTest, WavFileHasItsNotesWithinOnePeriodOfTheirTimesAndLastsTheTake)
{
    SKIP_WITHOUT_SOUNDFONT();
    const QString path = dir.filePath("take.wav");
    // Sharp notes, each cut off well before the next.
    std::vector<TimedMessage> take {at(0, midi::kProgramChange, 115)};
    // The first note starts a period: how long the instrument takes to be
    // heard is measured there.
    const std::vector<double> onsets {0.0, 333.3, 571.9, 802.6};
    for (const double onset : onsets) {
        take.push_back(at(onset, midi::kNoteOn, 72, 127));
        take.push_back(at(onset + 120, midi::kControlChange, midi::kAllSoundOff));
    }
    // Played on a machine without sound: the take is recorded all the same.
    auto recorder = record(path, take, false);
    EXPECT_TRUE(recorder->isRecordingOnly());
    now = 1000;
    recorder->close(); // as the window does when it closes
    EXPECT_FALSE(recorder->isOpen());
    ASSERT_TRUE(recorder->finish());

    const test::Wav wav = test::readWav(path);
    ASSERT_EQ(wav.channels, 2);
    ASSERT_EQ(wav.sampleRate, 48000);
    // One second is 375 whole periods, so a period rendered past the end shows.
    EXPECT_GE(framesOf(wav), 48000U);
    EXPECT_LT(framesOf(wav), 48000U + kPeriod);

    // An onset: the first sample heard after a silence of 50 ms.
    std::vector<double> heard;
    const int silence = 48000 / 20;
    int quiet = silence;
    for (std::size_t frame = 0; frame < wav.samples.size() / 2; ++frame) {
        const bool loud = std::abs(wav.samples[2 * frame]) > 200 || std::abs(wav.samples[2 * frame + 1]) > 200;
        if (loud && quiet >= silence)
            heard.push_back(frame * 1000.0 / wav.sampleRate);
        quiet = loud ? 0 : quiet + 1;
    }
    ASSERT_EQ(heard.size(), onsets.size());
    const double attack = heard[0];
    EXPECT_LT(attack, 5.0);
    for (std::size_t i = 1; i < onsets.size(); ++i)
        EXPECT_NEAR(heard[i] - attack, onsets[i], kPeriod / 48.0) << i;
}

// The disk fills while a take is recorded (a file size limit stands in for
// it): what was written before stays a valid file, the failure is said once,
// and the take does not finish well. Recorded in a child process, which
// alone has the limit.
struct FullDiskCase {
    const char* name;
    const char* file;
    rlim_t limit;
};

class FullDiskTest : public TakeTest, public ::testing::WithParamInterface<FullDiskCase> { };

TEST_P(FullDiskTest, WhatWasWrittenStaysValidAndTheFailureIsSaidOnce)
{
    const QString path = dir.filePath(GetParam().file);
    const bool wave = path.endsWith(".wav");
    if (wave)
        SKIP_WITHOUT_SOUNDFONT();
    // 300 messages 10 ms apart, over three seconds of sound.
    std::vector<TimedMessage> take;
    for (int i = 0; i < 300; ++i)
        take.push_back(at(10.0 * (i + 1), i % 2 ? midi::kNoteOff : midi::kNoteOn, 40 + i / 2 % 80, 100));
    const auto recordOnAFullDisk = [&] {
        limitFileSizeTo(GetParam().limit);
        int said = 0;
        auto recorder = record(path, take, true);
        recorder->setWriteErrorHandler([&said](const QString&) { ++said; });
        now = 3000;
        const bool finished = recorder->finish();
        std::exit(!finished && said == 1 ? 0 : 1);
    };
    EXPECT_EXIT(recordOnAFullDisk(), ::testing::ExitedWithCode(0),
        "^clavora: The take \".*\" could not be written on \\(.*\\)\\. What was played until then is kept\\.\n$");

    if (wave) {
        const test::Wav wav = test::readWav(path); // its sizes agree with its length
        EXPECT_EQ(wav.channels, 2);
        EXPECT_GT(wav.samples.size(), 40000U);
        EXPECT_LE(QFileInfo(path).size(), 100000);
        return;
    }
    // 29 bytes of header and tempo, 4 of end of track, 4 for each message
    // (a one-byte time and three bytes): 241 messages fit in 1000 bytes.
    EXPECT_EQ(QFileInfo(path).size(), 997);
    const QStringList events = test::eventsOf(path);
    ASSERT_EQ(events.size(), 243);
    EXPECT_EQ(events[241], "2410 90 50 64");
    EXPECT_EQ(events.back(), "2410 FF 2F 00");
}

INSTANTIATE_TEST_SUITE_P(Takes, FullDiskTest,
    ::testing::Values(FullDiskCase {"Midi", "take.mid", 1000}, FullDiskCase {"Wave", "take.wav", 100000}),
    [](const ::testing::TestParamInfo<FullDiskCase>& info) { return std::string(info.param.name); });

// A disk with room for the head of a MIDI file but not for its end: the
// take cannot be written, and that is known before anything is played.
TEST_F(TakeRecorderTest, ADiskWithRoomForTheHeadOnlyIsRefusedBeforeAnythingIsPlayed)
{
    const QString path = dir.filePath(QStringLiteral("take.mid"));
    const auto startOnAFullDisk = [&] {
        limitFileSizeTo(30); // 29 bytes of header and tempo, not the 4 of the end of track
        const TakeRecorder recorder(std::make_unique<ForwardingMidiOutput>(device), path, clock, {});
        std::exit(recorder.isRecording() ? 1 : 0);
    };
    EXPECT_EXIT(startOnAFullDisk(), ::testing::ExitedWithCode(0), "");
}

TEST_F(TakeMemoryTest, MidiFileHoldsWhatWasPlayedFromTheFirstNoteToTheMillisecond)
{
    TakeMemory memory(device, clock);
    memory.send(packShortMessage(midi::kNoteOn, 0x30, 0x40)); // nothing open: not played, not kept
    ASSERT_TRUE(memory.open(0));
    play(memory,
        {at(120.4, midi::kProgramChange, 5), at(130.0, midi::kControlChange, 7, 100),
            at(1500.4, midi::kNoteOn, 0x3C, 100), at(2500.6, midi::kNoteOff, 0x3C),
            at(3500.0, midi::kNoteOn + 1, 0x40, 80), at(3600.0, midi::kNoteOff + 1, 0x40)});
    const QString path = dir.filePath(QStringLiteral("take.mid"));
    ASSERT_EQ(memory.save(path, {}), QString());
    EXPECT_EQ(test::eventsOf(path),
        QStringList({"0 FF 51 03 07 A1 20", "0 C0 05", "0 B0 07 64", "0 90 3C 64", "1000 80 3C 00", "2000 91 40 50",
            "2100 81 40 00", "2100 FF 2F 00"}));
    EXPECT_EQ(device.messages().size(), 6u);
    // The take goes on after saving.
    memory.send(packShortMessage(midi::kNoteOn, 0x3E, 90));
    EXPECT_EQ(memory.size(), 7u);
}

TEST_F(TakeMemoryTest, TheBoundDropsTheOldestAndNewRecordingForgetsAllButTheInstruments)
{
    TakeMemory memory(device, clock, 4);
    ASSERT_TRUE(memory.open(0));
    EXPECT_FALSE(memory.hasNotes());
    play(memory,
        {at(0, midi::kProgramChange, 5), at(10, midi::kNoteOn, 0x3C, 100), at(20, midi::kNoteOff, 0x3C),
            at(25, midi::kProgramChange + 1, 7), at(30, midi::kNoteOn, 0x40, 100), at(40.5, midi::kNoteOff, 0x40)});
    EXPECT_EQ(memory.size(), 4u);
    EXPECT_TRUE(memory.hasNotes());
    // The dropped program change still sets the instrument at the start.
    EXPECT_EQ(memory.take(),
        (std::vector {at(0, midi::kProgramChange, 5), at(0, midi::kNoteOff, 0x3C), at(0, midi::kProgramChange + 1, 7),
            at(0, midi::kNoteOn, 0x40, 100), at(10.5, midi::kNoteOff, 0x40)}));

    memory.forget();
    EXPECT_FALSE(memory.hasNotes());
    EXPECT_EQ(memory.size(), 0u);
    EXPECT_EQ(memory.take(), (std::vector {at(0, midi::kProgramChange, 5), at(0, midi::kProgramChange + 1, 7)}));
    // A note-on of velocity 0 is a release: still no note.
    play(memory, {at(50, midi::kNoteOn, 0x3C)});
    EXPECT_FALSE(memory.hasNotes());
    // A note, then pushed out of the bound by later messages: none is left.
    play(memory, {at(60, midi::kNoteOn, 0x3E, 90)});
    EXPECT_TRUE(memory.hasNotes());
    play(memory, {at(61, midi::kNoteOff, 0x3E), at(62, midi::kNoteOff, 0x3E), at(63, midi::kNoteOff, 0x3E)});
    play(memory, {at(64, midi::kNoteOff, 0x3E)});
    EXPECT_FALSE(memory.hasNotes());
}

TEST_F(TakeMemoryTest, AFailedSaveLeavesNoFileAndSaysWhy)
{
    TakeMemory memory(device, clock);
    ASSERT_TRUE(memory.open(0));
    play(memory, {at(5, midi::kNoteOn, 0x3C, 100)});
    test::writeFile(dir.filePath(QStringLiteral("plain")), "not a folder");
    const QString unwritable = QStringLiteral("/proc/take.mid");
    for (const QString& path :
        {dir.filePath(QStringLiteral("plain/take.mid")), unwritable, dir.filePath(QStringLiteral("take.txt"))})
        EXPECT_NE(memory.save(path, {}), QString()) << path.toStdString();
    // No SoundFont to render with.
    EXPECT_NE(memory.save(dir.filePath(QStringLiteral("take.wav")), {{}, ""}), QString());
    // Stopped on the way (Cancel).
    const std::atomic<bool> stopped = true;
    const auto synth = FluidSynthDevice::Config::fromEnvironment();
    if (!FluidSynthDevice(synth).soundFontPath().empty()) {
        EXPECT_EQ(memory.save(dir.filePath(QStringLiteral("stopped.wav")), synth, &stopped), "it was stopped");
    }
    EXPECT_FALSE(QFileInfo::exists(unwritable));
    EXPECT_EQ(filesLeft(), QStringList({"plain"}));
}

// The disk fills up in the middle of a save: the file saved before stays as
// it was, and nothing else is left in its folder.
TEST_F(TakeMemoryTest, ADiskThatFillsUpLeavesTheOldFileAndNoHalfOne)
{
    const QString path = dir.filePath(QStringLiteral("keep.clavora"));
    ASSERT_EQ(saveFileAtomically(path, "the setup saved before"), QString());
    const auto saveOnAFullDisk = [&] {
        limitFileSizeTo(4096);
        const QString error = saveFileAtomically(path, QByteArray(64 * 1024, 'x'));
        std::exit(error == "File too large" ? 0 : 1);
    };
    EXPECT_EXIT(saveOnAFullDisk(), ::testing::ExitedWithCode(0), "");
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "the setup saved before");
    EXPECT_EQ(filesLeft(), QStringList({"keep.clavora"}));
}

TEST_F(TakeMemoryTest, WavFileLastsToTwoSecondsAfterTheLastMessageButNotPastTheSaving)
{
    SKIP_WITHOUT_SOUNDFONT();
    const FluidSynthDevice::Config config = FluidSynthDevice::Config::fromEnvironment();
    TakeMemory memory(device, clock);
    ASSERT_TRUE(memory.open(0));
    play(memory, {at(1000, midi::kNoteOn, 0x3C, 100), at(1300, midi::kNoteOff, 0x3C)});
    // 2,300 and 500 ms.
    for (const auto& [savedAt, lasts] :
        {std::pair {10000.0, std::size_t {110400}}, std::pair {1500.0, std::size_t {24000}}}) {
        now = savedAt;
        const QString path = dir.filePath(QStringLiteral("take %1.wav").arg(savedAt));
        ASSERT_EQ(memory.save(path, config), QString());
        const test::Wav wav = test::readWav(path);
        ASSERT_EQ(std::pair(wav.channels, wav.sampleRate), std::pair(2, 48000));
        EXPECT_GE(framesOf(wav), lasts) << savedAt;
        EXPECT_LT(framesOf(wav), lasts + kPeriod) << savedAt;
    }
}

} // namespace
} // namespace clavora
