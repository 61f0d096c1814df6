// The synthesizer's own PulseAudio stream, which rests while nothing sounds,
// on a real PulseAudio server.
#include "platform/PulseOutput.h"
#include "PlatformTest.h"
#include "PulseTestServer.h"
#include "platform/FluidSynthSettings.h"
#include "platform/QueueLevel.h"

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

    // The output goes first, then the synthesizer, and the server last.
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

// What a stream writes of a server's request, in bytes: the buffer
// asked for, the buffer, least request and start threshold granted, how
// often it ran dry while playing, what the server waits for.
struct QueueCase {
    const char* server;
    std::size_t asked, granted, request, start;
    int dryRuns;
    std::size_t requested, written;
};

TEST(QueueLevel, KeepsTheBufferAtWhatWasAskedOneRequestMoreEachTimeItRanDry)
{
    const QueueCase cases[] = {
        // PipeWire's PulseAudio service: three of its 256-frame periods
        // granted for the one 128-frame period asked.
        {"PipeWire, filling an empty buffer", 1024, 6144, 2048, 1024, 0, 6144, 2048},
        {"PipeWire, one period taken", 1024, 6144, 2048, 1024, 0, 4096, 0},
        {"PipeWire, once dry", 1024, 6144, 2048, 1024, 1, 6144, 4096},
        {"PipeWire, once dry, one period taken", 1024, 6144, 2048, 1024, 1, 2048, 0},
        {"PipeWire, twice dry", 1024, 6144, 2048, 1024, 2, 6144, 6144},
        {"PipeWire, three times dry", 1024, 6144, 2048, 1024, 3, 2048, 2048},
        {"PipeWire, its start threshold", 1024, 6144, 2048, 4104, 0, 6144, 4104},
        // PulseAudio grants no more than was asked: every request is
        // answered.
        {"PulseAudio", 1024, 768, 256, 520, 0, 256, 256},
        {"PulseAudio, once dry", 1024, 768, 256, 520, 1, 768, 768},
        {"a buffer shorter than asked", 8192, 6144, 2048, 1024, 0, 2048, 2048},
    };
    for (const QueueCase& row : cases) {
        SCOPED_TRACE(row.server);
        QueueLevel queue(row.asked, row.granted, row.request, row.start);
        for (int run = 0; run < row.dryRuns; ++run)
            queue.ranDry();
        EXPECT_EQ(queue.answer(row.requested), row.written);
    }
    EXPECT_EQ(QueueLevel().answer(6144), 6144U) << "before the server says what it granted";
}

} // namespace
} // namespace clavora
