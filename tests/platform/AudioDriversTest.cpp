#include "platform/AudioDrivers.h"
#include "PlatformTest.h"

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
// load nothing before one does: the SoundFont here is not even one.
struct ProbeCase {
    const char* name;
    const char* settings;
};

class AudioDriverProbe : public ::testing::TestWithParam<ProbeCase> { };

TEST_P(AudioDriverProbe, GivesUpWithinASecond)
{
    // The JACK library would start a server for a program that does not
    // forbid it; the synthesizer must forbid it itself.
    ::unsetenv("JACK_NO_START_SERVER");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FluidSynthDevice synth({{test::writeFile(dir.filePath("font.sf2"), "not a SoundFont")}, GetParam().settings});
    QElapsedTimer clock;
    clock.start();
    // Were an output to open here (a JACK server someone runs), the file
    // still is no SoundFont.
    EXPECT_FALSE(synth.open());
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_NE(std::getenv("JACK_NO_START_SERVER"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Drivers, AudioDriverProbe,
    ::testing::Values(ProbeCase {"WhicheverWorks", ""}, ProbeCase {"MissingDriver", "audio.driver=pipewire"},
        ProbeCase {"FailingAlsa", "audio.driver=alsa audio.alsa.device=hw:9"},
        ProbeCase {"JackWithoutServer", "audio.driver=jack"}),
    [](const ::testing::TestParamInfo<ProbeCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace clavora
