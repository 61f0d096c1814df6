#include "platform/TakeRecorder.h"
#include "PlatformTest.h"

#include <QFileInfo>

#include <cmath>
#include <csignal>

#include <sys/resource.h>

namespace clavora {
namespace {

// ---- The command line ----

struct ArgumentsCase {
    const char* name;
    QStringList arguments;
    QString path;
    QStringList rest;
    bool error;
};

class RecordArgumentsTest : public ::testing::TestWithParam<ArgumentsCase> { };

TEST_P(RecordArgumentsTest, TakesTheOptionOutWhereverItStands)
{
    const RecordArguments parsed = takeRecordArguments(GetParam().arguments);
    EXPECT_EQ(parsed.error.isEmpty(), !GetParam().error) << parsed.error.toStdString();
    if (GetParam().error)
        return;
    EXPECT_EQ(parsed.path, GetParam().path);
    EXPECT_EQ(parsed.rest, GetParam().rest);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, RecordArgumentsTest,
    ::testing::Values(ArgumentsCase {"Nothing", {"/STEALTH", "My", "title"}, "", {"/STEALTH", "My", "title"}, false},
        ArgumentsCase {
            "RecordFirst", {"--record", "take.mid", "/stealth", "Notes"}, "take.mid", {"/stealth", "Notes"}, false},
        ArgumentsCase {
            "RecordAfterStealth", {"/STEALTH", "A", "--record", "b.WAV", "C"}, "b.WAV", {"/STEALTH", "A", "C"}, false},
        ArgumentsCase {"WithEquals", {"--record=dir/take.midi"}, "dir/take.midi", {}, false},
        ArgumentsCase {"NoFileName", {"/STEALTH", "--record"}, "", {}, true},
        ArgumentsCase {"UnknownKind", {"--record", "take.mp3"}, "", {}, true},
        ArgumentsCase {"EmptyName", {"--record="}, "", {}, true}),
    [](const ::testing::TestParamInfo<ArgumentsCase>& info) { return std::string(info.param.name); });

// ---- Recording ----

// A short performance with times that fall between milliseconds.
const std::vector<TimedMessage> kTake {
    {0.2, packShortMessage(midi::kProgramChange + 1, 40, 0)},
    {100.0, packShortMessage(midi::kNoteOn + 1, 60, 100)},
    {100.4, packShortMessage(midi::kNoteOn + 1, 64, 90)},
    {350.6, packShortMessage(midi::kNoteOff + 1, 60, 0)},
    {350.6, packShortMessage(midi::kNoteOff + 1, 64, 0)},
    {420.0, packShortMessage(midi::kNoteOn + 9, 38, 0)},
    {1999.5, packShortMessage(midi::kControlChange + 15, midi::kAllSoundOff, 0)},
};

class TakeRecorderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    // Records `take` through a recorder over a device that opens (or not).
    std::unique_ptr<TakeRecorder> record(const QString& path, const std::vector<TimedMessage>& take, bool deviceWorks)
    {
        auto inner = std::make_unique<RecordingMidiOutput>();
        device = inner.get();
        device->setFailing(deviceWorks ? std::set<int> {} : std::set<int> {0});
        auto recorder = std::make_unique<TakeRecorder>(
            std::move(inner), path, [this] { return now; }, FluidSynthDevice::Config::fromEnvironment());
        EXPECT_TRUE(recorder->isRecording());
        now = 0;
        recorder->send(packShortMessage(midi::kNoteOn, 1, 1)); // nothing open yet
        EXPECT_TRUE(recorder->open(0));
        for (const TimedMessage& message : take) {
            now = message.milliseconds;
            recorder->send(message.message);
        }
        recorder->send(0x3C12); // no status byte: nothing to record
        return recorder;
    }

    QTemporaryDir dir;
    RecordingMidiOutput* device = nullptr;
    double now = 0;
};

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
        EXPECT_EQ(device->messages().size(), kTake.size() + 1);
    }
}

TEST_F(TakeRecorderTest, WavFileHasItsNotesWithinOnePeriodOfTheirTimesAndLastsTheTake)
{
    EXPECT_FALSE(FluidSynthDevice::renderTake({{}, ""}, kTake, 1000, dir.filePath("none.wav").toStdString()))
        << "no SoundFont, no take";
    if (FluidSynthDevice(FluidSynthDevice::Config::fromEnvironment()).soundFontPath().empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    const QString path = dir.filePath("take.wav");
    // Sharp notes, each cut off well before the next.
    std::vector<TimedMessage> take {{0, packShortMessage(midi::kProgramChange, 115, 0)}};
    // The first note starts a period: how long the instrument takes to be
    // heard is measured there.
    const std::vector<double> onsets {0.0, 333.3, 571.9, 802.6};
    for (const double onset : onsets) {
        take.push_back({onset, packShortMessage(midi::kNoteOn, 72, 127)});
        take.push_back({onset + 120, packShortMessage(midi::kControlChange, midi::kAllSoundOff, 0)});
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
    constexpr double kPeriodMs = 128 * 1000.0 / 48000;
    const double lastsMs = wav.samples.size() / 2 * 1000.0 / wav.sampleRate;
    EXPECT_GE(lastsMs, 1000.0);
    EXPECT_LT(lastsMs, 1000.0 + kPeriodMs);

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
        EXPECT_NEAR(heard[i] - attack, onsets[i], kPeriodMs) << i;
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

class FullDiskTest : public TakeRecorderTest, public ::testing::WithParamInterface<FullDiskCase> { };

TEST_P(FullDiskTest, WhatWasWrittenStaysValidAndTheFailureIsSaidOnce)
{
    const QString path = dir.filePath(GetParam().file);
    const bool wave = path.endsWith(".wav");
    if (wave && FluidSynthDevice(FluidSynthDevice::Config::fromEnvironment()).soundFontPath().empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    // 300 messages 10 ms apart, over three seconds of sound.
    std::vector<TimedMessage> take;
    for (int i = 0; i < 300; ++i)
        take.push_back(
            {10.0 * (i + 1), packShortMessage(i % 2 ? midi::kNoteOff : midi::kNoteOn, 40 + i / 2 % 80, 100)});
    const auto recordOnAFullDisk = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit {GetParam().limit, GetParam().limit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
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

} // namespace
} // namespace clavora
