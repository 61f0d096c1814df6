#include "platform/AudioDrivers.h"
#include "PlatformTest.h"
#include "ScopedEnvironment.h"
#include "platform/JackServer.h"

#include <cstdlib>

namespace clavora {
namespace {

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
