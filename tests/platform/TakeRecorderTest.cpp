#include "platform/TakeRecorder.h"
#include "PlatformTest.h"

#include <QFileInfo>

#include <fluidsynth.h>

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

// Plays a MIDI file through FluidSynth's own player, slowed down tenfold so
// that its ticks are read exactly, and collects what it plays.
std::vector<TimedMessage> playedBack(const QString& path)
{
    struct Played {
        fluid_player_t* player;
        std::vector<TimedMessage> messages;
    };
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    fluid_settings_setnum(settings, "synth.sample-rate", 48000);
    fluid_synth_t* synth = new_fluid_synth(settings);
    Played played {new_fluid_player(synth), {}};
    fluid_player_t* player = played.player;
    fluid_player_set_playback_callback(
        player,
        [](void* data, fluid_midi_event_t* event) {
            auto* p = static_cast<Played*>(data);
            if (fluid_midi_event_get_type(event) < midi::kNoteOff)
                return FLUID_OK; // the player's own tempo event
            const int status = fluid_midi_event_get_type(event) + fluid_midi_event_get_channel(event);
            // The key, control or program, then the velocity or value; one tick per millisecond.
            p->messages.push_back({double(fluid_player_get_current_tick(p->player)),
                packShortMessage(status, fluid_midi_event_get_control(event),
                    (status & 0xF0) == 0xC0 ? 0 : fluid_midi_event_get_value(event))});
            return FLUID_OK;
        },
        &played);
    EXPECT_EQ(fluid_player_add(player, path.toStdString().c_str()), FLUID_OK);
    fluid_player_set_tempo(player, FLUID_PLAYER_TEMPO_INTERNAL, 0.1);
    fluid_player_play(player);
    std::vector<float> left(480), right(480);
    for (int block = 0; block < 10000 && fluid_player_get_status(player) == FLUID_PLAYER_PLAYING; ++block)
        fluid_synth_write_float(synth, 480, left.data(), 0, 1, right.data(), 0, 1);
    EXPECT_EQ(fluid_player_get_status(player), FLUID_PLAYER_DONE);
    delete_fluid_player(player);
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return played.messages;
}

TEST_F(TakeRecorderTest, MidiFileReadsBackWithTheSameMessagesAtTheSameTimesFinishedOrNot)
{
    for (const bool finished : {false, true}) {
        SCOPED_TRACE(finished ? "finished" : "cut off");
        const QString path = dir.filePath(finished ? "finished.mid" : "cut.mid");
        auto recorder = record(path, kTake, true);
        if (finished) {
            now = 2500;
            EXPECT_TRUE(recorder->finish());
        }
        const std::vector<TimedMessage> played = playedBack(path);
        ASSERT_EQ(played.size(), kTake.size());
        for (std::size_t i = 0; i < kTake.size(); ++i) {
            EXPECT_EQ(played[i].message, kTake[i].message) << i;
            EXPECT_NEAR(played[i].milliseconds, kTake[i].milliseconds, 1.0) << i;
        }
        // What was recorded also reached the device.
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
    const std::vector<TimedMessage> played = playedBack(path);
    ASSERT_EQ(played.size(), 241U);
    for (std::size_t i = 0; i < played.size(); ++i)
        EXPECT_EQ(played[i].message, take[i].message) << i;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.mid(18, 4).toHex(), "000003cf") << "the track's length is what follows it";
    EXPECT_EQ(bytes.right(3).toHex(), "ff2f00");
}

INSTANTIATE_TEST_SUITE_P(Takes, FullDiskTest,
    ::testing::Values(FullDiskCase {"Midi", "take.mid", 1000}, FullDiskCase {"Wave", "take.wav", 100000}),
    [](const ::testing::TestParamInfo<FullDiskCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace clavora
