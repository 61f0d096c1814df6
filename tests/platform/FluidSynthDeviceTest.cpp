#include "PlatformTest.h"
#include "platform/AudioDrivers.h"

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
            {"synth.sample-rate=nan", 8.0}, {"synth.sample-rate=-nan", 8.0}, {"synth.sample-rate=NaN", 8.0},
            {"synth.sample-rate=inf", 8.0}, {"synth.sample-rate=-infinity", 8.0}, {"synth.sample-rate=1e999", 8.0},
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
    for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
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
    if (FluidSynthDevice(systemConfig("")).soundFontPath().empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
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
    FluidSynthDevice synth(systemConfig(""));
    if (synth.soundFontPath().empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
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
TEST(JackAudio, TheSynthesizerPlaysIntoThePlaybackPorts)
{
    FluidSynthDevice synth(systemConfig("audio.driver=jack"));
    if (synth.soundFontPath().empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    test::JackTestServer server;
    if (!server.start())
        GTEST_SKIP() << server.whyNot().toStdString();
    ASSERT_TRUE(synth.open());
    EXPECT_EQ(synth.audioDriver(), "jack");
    const test::JackView view;
    EXPECT_EQ(view.connections("Clavora-synth:left"), std::vector<std::string> {"system:playback_1"});
    EXPECT_EQ(view.connections("Clavora-synth:right"), std::vector<std::string> {"system:playback_2"});
    synth.close();
    EXPECT_FALSE(view.hasClient("Clavora-synth"));
    EXPECT_EQ(synth.audioDriver(), "");
}

using Names = std::vector<std::string>;

// The drivers of Debian's FluidSynth.
const Names kDebianDrivers {"alsa", "file", "jack", "oss", "pulseaudio", "sdl2"};
const AudioFacts kPipeWire {.pulseServer = true, .pipewireServer = true, .alsaDevices = true};

struct OrderCase {
    const char* name;
    Names available;
    AudioFacts facts;
    Names expected;
};

class AudioDriverOrder : public ::testing::TestWithParam<OrderCase> { };

TEST_P(AudioDriverOrder, TriesWhatCanWorkFirstAndNeverStartsAServer)
{
    EXPECT_EQ(audioDriverOrder(GetParam().available, GetParam().facts), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Systems, AudioDriverOrder,
    ::testing::Values(OrderCase {"NoSoundAtAll", kDebianDrivers, {}, {"jack", "alsa"}},
        OrderCase {"DesktopWithPulse", kDebianDrivers, {.pulseServer = true, .alsaDevices = true},
            {"pulseaudio", "alsa", "jack"}},
        OrderCase {"JackServerAndCard", kDebianDrivers, {.jackServer = true, .alsaDevices = true}, {"jack", "alsa"}},
        OrderCase {"PipeWireWithItsPulseSocket", kDebianDrivers, kPipeWire, {"pulseaudio", "alsa", "jack"}},
        OrderCase {
            "PipeWireDriverPresent", {"alsa", "pipewire", "pulseaudio"}, kPipeWire, {"pipewire", "pulseaudio", "alsa"}},
        OrderCase {"OssOnly", kDebianDrivers, {.ossDevice = true}, {"oss", "jack", "alsa"}},
        OrderCase {
            "ServerRunsButItsDriverIsMissing", {"alsa", "file"}, {.pulseServer = true, .jackServer = true}, {"alsa"}},
        OrderCase {"OnlyTheFileDriver", {"file", "sdl2"}, {.pulseServer = true, .alsaDevices = true}, {}}),
    [](const ::testing::TestParamInfo<OrderCase>& info) { return std::string(info.param.name); });

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
    FluidSynthDevice::Config config = FluidSynthDevice::Config::fromEnvironment();
    config.settings = GetParam().settings;
    FluidSynthDevice synth(config);
    if (synth.soundFontPath().empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
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

} // namespace
} // namespace clavora
