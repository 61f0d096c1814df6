#include "PlatformTest.h"
#include "platform/AudioDrivers.h"

#include <cerrno>

#include <fcntl.h>
#include <poll.h>

namespace clavora {
namespace {

FluidSynthDevice::Config systemConfig(std::string settings)
{
    FluidSynthDevice::Config config = FluidSynthDevice::Config::fromEnvironment();
    config.settings = std::move(settings);
    return config;
}

TEST(SynthSettingsParser, ReadsPairsSeparatedByBlanksAndSkipsBadOnes)
{
    using Settings = std::vector<SynthSetting>;
    const std::pair<std::string, Settings> cases[] = {
        {"audio.driver=file audio.file.name=take.wav", {{"audio.driver", "file"}, {"audio.file.name", "take.wav"}}},
        {"  audio.periods=2 \t  synth.gain=0.5\n", {{"audio.periods", "2"}, {"synth.gain", "0.5"}}}, {"", {}},
        {"   ", {}}, {"lonely =value name= audio.periods=4 = ==", {{"audio.periods", "4"}}},
        {"audio.file.name=a=b.wav", {{"audio.file.name", "a=b.wav"}}}, // only the first "=" separates
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseSynthSettings(text), expected) << text;
}

// Ours is 3 x 128 frames at 48 kHz, 8 ms; the user's settings override it;
// bad ones, non-finite numbers among them, are ignored.
TEST(FluidSynthDevice, BufferLatency)
{
    const std::pair<const char*, double> cases[]
        = {{"", 8.0}, {"audio.periods=2 audio.period-size=256 synth.sample-rate=44100", 11.609977},
            {"audio.periods=many synth.sample-rate=fast no.such.setting=3 audio.period-size=12x", 8.0},
            {"synth.sample-rate=nan", 8.0}, {"synth.sample-rate=-infinity", 8.0}, {"synth.sample-rate=1e999", 8.0},
            {"synth.sample-rate=96000", 4.0}};
    for (const auto& [settings, milliseconds] : cases)
        EXPECT_NEAR(FluidSynthDevice(systemConfig(settings)).bufferLatencyMs(), milliseconds, 1e-6) << settings;
}

TEST(FluidSynthDevice, AnUnusableSoundFontIsNamedOnceAndTheNextInstalledOneServesOrOpenFails)
{
    const std::string installed = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
    if (!QFile::exists(QString::fromStdString(installed)))
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string empty = test::writeFile(dir.filePath("empty.sf2"), "");
    const std::string text = test::writeFile(dir.filePath("notes.sf2"), "RIFF this is not a SoundFont at all");
    const std::string missing = dir.filePath("missing.sf2").toStdString();
    const std::string toFile = "audio.driver=file audio.file.name=" + dir.filePath("out.wav").toStdString();

    CaptureStderr();
    FluidSynthDevice none({{missing}, toFile});
    EXPECT_EQ(none.soundFontPath(), "");
    EXPECT_FALSE(none.open());
    EXPECT_FALSE(none.isOpen());
    EXPECT_FALSE(none.send(packShortMessage(midi::kNoteOn, 60, 100)));
    FluidSynthDevice broken({{text}, toFile});
    EXPECT_FALSE(broken.open());
    EXPECT_FALSE(broken.isOpen());
    const FluidSynthDevice::Config config {{empty, missing, text, installed}, ""};
    EXPECT_EQ(FluidSynthDevice(config).soundFontPath(), installed);
    EXPECT_EQ(FluidSynthDevice(config).soundFontPath(), installed);
    const std::string said = GetCapturedStderr();
    EXPECT_EQ(test::countOf(said, "empty.sf2"), 1) << said;
    EXPECT_EQ(test::countOf(said, "notes.sf2"), 1) << said;
    EXPECT_EQ(test::countOf(said, "missing.sf2"), 0) << "an absent file is not an error: " << said;
}

// The nice value of every thread of this process.
std::multiset<int> threadNiceness()
{
    std::multiset<int> values;
    for (const QString& task : test::threadsOfThisProcess()) {
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(task));
        EXPECT_TRUE(stat.open(QIODevice::ReadOnly));
        const QByteArray line = stat.readAll();
        values.insert(line.mid(line.lastIndexOf(')') + 2).split(' ').at(16).toInt()); // field 19, after the name
    }
    return values;
}

// What the notes sound like is checked where a take is rendered to a file.
TEST(FluidSynthDevice, OpensPuttingOffWhatTheFirstNotesDoNotNeedTakesMessagesAndCloses)
{
    SKIP_WITHOUT_SOUNDFONT();
    QTemporaryDir dir;
    FluidSynthDevice synth(systemConfig("audio.driver=file audio.file.name=" + dir.filePath("take.wav").toStdString()));
    const auto programs = [&] { return std::vector {synth.programOf(1), synth.programOf(2), synth.programOf(9)}; };
    const std::multiset<int> niceBefore = threadNiceness();
    ASSERT_TRUE(synth.open());
    // The loading gave way to the rest of the program on a thread of its
    // own: neither the caller nor the driver's thread is left less urgent.
    EXPECT_EQ(*threadNiceness().rbegin(), *niceBefore.rbegin());
    EXPECT_GT(threadNiceness().size(), niceBefore.size()) << "the file driver runs a thread";
    EXPECT_TRUE(synth.isOpen());
    // A program change waits for its channel's next message, the drum kit
    // for the percussion channel's; what is left, for loadDeferred().
    EXPECT_TRUE(synth.send(packShortMessage(midi::kProgramChange | 1, 48, 0)));
    EXPECT_TRUE(synth.send(packShortMessage(midi::kProgramChange | 2, 49, 0)));
    EXPECT_EQ(programs(), (std::vector {0, 0, -1}));
    EXPECT_TRUE(synth.send(packShortMessage(midi::kNoteOn | 1, 60, 127)));
    EXPECT_EQ(programs(), (std::vector {48, 0, -1}));
    EXPECT_TRUE(synth.loadDeferred());
    EXPECT_EQ(programs(), (std::vector {48, 49, -1}));
    EXPECT_FALSE(synth.loadDeferred());
    EXPECT_EQ(programs(), (std::vector {48, 49, 0}));
    EXPECT_TRUE(synth.send(packShortMessage(midi::kProgramChange | 2, 50, 0)));
    EXPECT_EQ(synth.programOf(2), 50) << "nothing is put off once all is loaded";
    // The top note and velocity are taken, on and off: a refused note-off
    // would leave its note sounding.
    EXPECT_TRUE(synth.send(packShortMessage(midi::kNoteOn, 127, 127)));
    EXPECT_TRUE(synth.send(packShortMessage(midi::kNoteOff, 127, 127)));
    EXPECT_FALSE(synth.send(packShortMessage(midi::kNoteOn, 200, 127)));
    EXPECT_TRUE(synth.send(packShortMessage(midi::kControlChange, midi::kAllSoundOff, 0)));
    synth.close();
    EXPECT_FALSE(synth.isOpen());
    EXPECT_FALSE(synth.send(packShortMessage(midi::kNoteOn, 60, 127)));
    ASSERT_TRUE(synth.open());
    EXPECT_TRUE(synth.send(packShortMessage(midi::kNoteOn | midi::kDrumChannel, 36, 100)));
    EXPECT_EQ(programs(), (std::vector {0, 0, 0})) << "a drum note loads the kit first";
    EXPECT_FALSE(synth.loadDeferred());
}

TEST(FluidSynthDevice, OpeningTheRealAudioOutputPrintsNothing)
{
    SKIP_WITHOUT_SOUNDFONT();
    FluidSynthDevice synth(systemConfig(""));
    if (test::libjackStuck())
        GTEST_SKIP() << test::kLibjackStuck;
    // Whether or not an audio output works here, the libraries keep quiet.
    CaptureStderr();
    synth.open();
    synth.close();
    EXPECT_EQ(GetCapturedStderr(), "");
    EXPECT_FALSE(synth.isOpen());
}

// Under JACK the synthesizer is heard at once, through the playback ports,
// as a client named for the program; closed, it leaves nothing behind.
// Through JACK chosen, or found as the best output there is.
class JackAudio : public ::testing::TestWithParam<const char*> { };

TEST_P(JackAudio, TheSynthesizerPlaysIntoThePlaybackPorts)
{
    SKIP_WITHOUT_SOUNDFONT();
    FluidSynthDevice synth(systemConfig(GetParam()));
    test::JackTestServer server;
    if (!server.start())
        GTEST_SKIP() << server.whyNot().toStdString();
    const AudioFacts facts = AudioFacts::ofThisSystem();
    if (!*GetParam() && (facts.pipewireServer || facts.pulseServer))
        GTEST_SKIP() << "a sound server comes before JACK here";
    ASSERT_TRUE(synth.open());
    EXPECT_EQ(synth.audioDriver(), "jack");
    const test::JackView view;
    EXPECT_EQ(view.connections("Clavora-synth:left"), std::vector<std::string> {"system:playback_1"});
    EXPECT_EQ(view.connections("Clavora-synth:right"), std::vector<std::string> {"system:playback_2"});
    synth.close();
    EXPECT_FALSE(view.hasClient("Clavora-synth"));
    EXPECT_EQ(synth.audioDriver(), "");
}

INSTANTIATE_TEST_SUITE_P(Drivers, JackAudio, ::testing::Values("audio.driver=jack", ""));

using Names = std::vector<std::string>;

// The drivers of Debian's FluidSynth.
const Names kDebianDrivers {"alsa", "file", "jack", "oss", "pulseaudio", "sdl2"};
const AudioFacts kPipeWire {.pulseServer = true, .pipewireServer = true, .alsaDevices = true};

// The drivers there are, what the system has, and the drivers tried in turn.
TEST(AudioDriverOrder, TriesWhatCanWorkFirstAndNeverStartsAServer)
{
    const std::tuple<Names, AudioFacts, Names> cases[] = {
        {kDebianDrivers, {}, {"jack", "alsa"}}, // no sound at all
        {kDebianDrivers, {.pulseServer = true, .alsaDevices = true}, {"pulseaudio", "alsa", "jack"}}, // a desktop
        {kDebianDrivers, {.jackServer = true, .alsaDevices = true}, {"jack", "alsa"}}, // a JACK server and a card
        {kDebianDrivers, kPipeWire, {"pulseaudio", "alsa", "jack"}}, // PipeWire with its PulseAudio socket
        {{"alsa", "pipewire", "pulseaudio"}, kPipeWire, {"pipewire", "pulseaudio", "alsa"}}, // PipeWire's driver
        {kDebianDrivers, {.ossDevice = true}, {"oss", "jack", "alsa"}}, // OSS only
        {{"alsa", "file"}, {.pulseServer = true, .jackServer = true}, {"alsa"}}, // the servers' drivers are missing
        {{"file", "sdl2"}, {.pulseServer = true, .alsaDevices = true}, {}}, // only the file driver
    };
    for (const auto& [available, facts, expected] : cases)
        EXPECT_EQ(audioDriverOrder(available, facts), expected);
}

// An open of the synthesizer must give up quickly when no output works, and
// never start a sound server. The SoundFont is a real one, so that the
// drivers are really tried.
struct ProbeCase {
    const char* name;
    const char* settings;
    bool anywhere; // fails on any machine, else only on one without audio
};

class AudioDriverProbe : public ::testing::TestWithParam<ProbeCase> { };

TEST_P(AudioDriverProbe, GivesUpWithinASecond)
{
    const AudioFacts facts = AudioFacts::ofThisSystem();
    if (!GetParam().anywhere
        && (facts.pulseServer || facts.pipewireServer || facts.jackServer || facts.alsaDevices || facts.ossDevice))
        GTEST_SKIP() << "this machine has an audio output";
    // The JACK library would start a server for a program that does not
    // forbid it; the synthesizer must forbid it itself.
    ::unsetenv("JACK_NO_START_SERVER");
    test::ScopedEnvironment server("JACK_DEFAULT_SERVER", "clavora-nobody-here");
    SKIP_WITHOUT_SOUNDFONT();
    FluidSynthDevice synth(systemConfig(GetParam().settings));
    if (test::libjackStuck())
        GTEST_SKIP() << test::kLibjackStuck;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(synth.open());
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(jackServerRuns()) << "a JACK server was started";
}

INSTANTIATE_TEST_SUITE_P(Drivers, AudioDriverProbe,
    ::testing::Values(ProbeCase {"WhicheverWorks", "", false},
        ProbeCase {"MissingDriver", "audio.driver=pipewire", false},
        ProbeCase {"FailingAlsa", "audio.driver=alsa audio.alsa.device=hw:9", true},
        ProbeCase {"JackWithoutServer", "audio.driver=jack", true}),
    [](const ::testing::TestParamInfo<ProbeCase>& info) { return std::string(info.param.name); });

// A sound server that stops answering keeps FluidSynth's driver from ever
// coming back, as a file output into a pipe does here: one nobody opens
// keeps the driver from starting, one nobody reads from stopping. The
// device gives either up within its patience; the late driver ends on its
// own once the pipe moves.
class StuckAudioOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        pipe_ = dir_.filePath(QStringLiteral("out.raw")).toStdString();
        ASSERT_EQ(::mkfifo(pipe_.c_str(), 0600), 0);
        config_ = systemConfig("audio.driver=file audio.file.type=raw audio.file.name=" + pipe_);
        config_.driverPatience = std::chrono::milliseconds(100);
        SKIP_WITHOUT_SOUNDFONT();
        reader_ = ::open(pipe_.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader_, 0);
        threadsBefore_ = test::threadsOfThisProcess().size();
    }
    // The late call's thread ends after it has closed the pipe: it is
    // waited for, so that it does not end while the process does.
    void TearDown() override
    {
        if (reader_ >= 0)
            ::close(reader_);
        test::waitForThreadsBackTo(threadsBefore_);
    }

    // Reads the pipe until its writer has closed it. False when that takes
    // more than ten seconds.
    bool readToTheEnd() const
    {
        char buffer[4096];
        for (pollfd ready {reader_, POLLIN, 0}; ::poll(&ready, 1, 10000) > 0;) {
            const ssize_t got = ::read(reader_, buffer, sizeof buffer);
            if (got == 0)
                return true;
            if (got < 0 && errno != EAGAIN && errno != EINTR)
                return false;
        }
        return false;
    }

    // Whether a thread of this process comes to wait in a write into the
    // full pipe within ten seconds.
    static bool outputWaitsForThePipe()
    {
        for (const QDeadlineTimer deadline(10000); !deadline.hasExpired(); QThread::msleep(1)) {
            for (const QString& task : test::threadsOfThisProcess()) {
                QFile waitsIn(QStringLiteral("/proc/self/task/%1/wchan").arg(task));
                if (waitsIn.open(QIODevice::ReadOnly) && waitsIn.readAll().contains("pipe_write"))
                    return true;
            }
        }
        return false;
    }

    QTemporaryDir dir_;
    std::string pipe_;
    FluidSynthDevice::Config config_;
    int reader_ = -1;
    qsizetype threadsBefore_ = 0;
};

TEST_F(StuckAudioOutput, ADriverThatDoesNotStartIsGivenUp)
{
    ::close(std::exchange(reader_, -1)); // nobody to open the pipe for
    FluidSynthDevice synth(config_);
    EXPECT_FALSE(synth.open());
    EXPECT_FALSE(synth.isOpen());
    EXPECT_FALSE(synth.open()) << "tried again while still out";
    reader_ = ::open(pipe_.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader_, 0);
    EXPECT_TRUE(readToTheEnd()) << "the driver that started late was not stopped";
}

// A file output that stalls is not taken for a sound server that went away:
// starting it again would write over the file. Closed, it is left to stop
// on its own.
TEST_F(StuckAudioOutput, AFileOutputThatStallsIsNotStartedAgainAndIsLeftToStopOnItsOwn)
{
    // Holds more sound than an output is given to get going.
    ASSERT_GT(::fcntl(reader_, F_SETPIPE_SZ, 65536), 0);
    FluidSynthDevice synth(config_);
    ASSERT_TRUE(synth.open());
    ASSERT_TRUE(outputWaitsForThePipe()) << "the output never waited for the pipe";
    for (int look = 0; look < 5; ++look) {
        EXPECT_EQ(synth.checkOutput(), FluidSynthDevice::OutputNews::None) << "look " << look;
        QThread::msleep(20);
    }
    synth.close();
    EXPECT_FALSE(synth.isOpen());
    EXPECT_TRUE(readToTheEnd()) << "the output never stopped";
}

} // namespace
} // namespace clavora
