// The synthesizer's own PulseAudio stream, which rests while nothing sounds,
// on a real PulseAudio server.
#include "platform/PulseOutput.h"
#include "PlatformTest.h"
#include "PulseTestServer.h"
#include "platform/FluidSynthSettings.h"

namespace clavora {
namespace {

class PulseOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string soundFont = FluidSynthDevice().soundFontPath();
        if (soundFont.empty())
            GTEST_SKIP() << "no General MIDI SoundFont installed";
        if (!server_.start())
            GTEST_SKIP() << server_.whyNot().toStdString();
        settings_ = makeSettings({});
        synth_.reset(new_fluid_synth(settings_.get()));
        ASSERT_NE(fluid_synth_sfload(synth_.get(), soundFont.c_str(), 1), FLUID_FAILED);
        output_ = PulseOutput::start(settings_.get(), synth_.get());
        ASSERT_NE(output_, nullptr);
    }

    void TearDown() override
    {
        output_.reset();
        server_.stop();
    }

    // Whether the output rests within five seconds.
    bool restsWithin5s() const
    {
        for (const QDeadlineTimer deadline(5000); !deadline.hasExpired(); QThread::msleep(20))
            if (output_->resting())
                return true;
        return false;
    }

    void play(int key, int velocity)
    {
        if (velocity > 0)
            fluid_synth_noteon(synth_.get(), 0, key, velocity);
        else
            fluid_synth_noteoff(synth_.get(), 0, key);
        output_->wake();
    }

    test::PulseTestServer server_;
    SettingsPtr settings_;
    SynthPtr synth_;
    std::unique_ptr<PulseOutput> output_;
};

// Silent, it rests; a note wakes it and is heard; it stays awake while the
// note sounds, and rests again once the note has faded, to be woken again.
TEST_F(PulseOutputTest, RestsWhileSilentAndWakesForTheNextNote)
{
    ASSERT_TRUE(restsWithin5s());
    EXPECT_TRUE(server_.playsSound([&] { play(60, 127); }));
    EXPECT_FALSE(output_->resting());
    QThread::msleep(1500);
    EXPECT_FALSE(output_->resting());
    play(60, 0);
    ASSERT_TRUE(restsWithin5s());
    EXPECT_TRUE(server_.playsSound([&] { play(64, 127); }));
}

// No server, no stream; a device the server does not have, no stream.
TEST_F(PulseOutputTest, StartsOnlyWhereTheServerTakesTheStream)
{
    ASSERT_EQ(fluid_settings_setstr(settings_.get(), "audio.pulseaudio.device", "no-such-sink"), FLUID_OK);
    EXPECT_EQ(PulseOutput::start(settings_.get(), synth_.get()), nullptr);
    ASSERT_EQ(fluid_settings_setstr(settings_.get(), "audio.pulseaudio.device", "null"), FLUID_OK);
    EXPECT_NE(PulseOutput::start(settings_.get(), synth_.get()), nullptr);
    output_.reset();
    server_.stop();
    EXPECT_EQ(PulseOutput::start(settings_.get(), synth_.get()), nullptr);
}

} // namespace
} // namespace clavora
