#include "platform/FluidSynthDevice.h"

#include <gtest/gtest.h>

namespace clavora {
namespace {

using Settings = std::vector<SynthSetting>;

TEST(SynthSettingsParser, ReadsPairsSeparatedByBlanks)
{
    EXPECT_EQ(parseSynthSettings("audio.driver=file audio.file.name=take.wav"),
        (Settings{{"audio.driver", "file"}, {"audio.file.name", "take.wav"}}));
    EXPECT_EQ(parseSynthSettings("  audio.periods=2 \t  synth.gain=0.5\n"),
        (Settings{{"audio.periods", "2"}, {"synth.gain", "0.5"}}));
    EXPECT_EQ(parseSynthSettings(""), Settings{});
    EXPECT_EQ(parseSynthSettings("   "), Settings{});
}

TEST(SynthSettingsParser, SkipsBadPairsAndKeepsTheRest)
{
    EXPECT_EQ(parseSynthSettings("lonely =value name= audio.periods=4 = =="),
        (Settings{{"audio.periods", "4"}}));
    // Only the first "=" separates name from value.
    EXPECT_EQ(parseSynthSettings("audio.file.name=a=b.wav"), (Settings{{"audio.file.name", "a=b.wav"}}));
}

} // namespace
} // namespace clavora
