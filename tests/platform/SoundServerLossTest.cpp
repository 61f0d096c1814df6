// The synthesizer's PulseAudio output under a server that is restarted, or
// that hangs, while Clavora plays through it, or that starts only after the
// synthesizer failed to open.
#include "PlatformTest.h"
#include "PulseTestServer.h"
#include "platform/SystemMidiOutput.h"

#include <QCoreApplication>

namespace clavora {
namespace {

class PulseAudioServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        config_.settings = "audio.driver=pulseaudio";
        SKIP_WITHOUT_SOUNDFONT();
        if (!server_.start())
            GTEST_SKIP() << server_.whyNot().toStdString();
        threadsBefore_ = test::threadsOfThisProcess().size();
        output_ = std::make_unique<SystemMidiOutput>(std::make_unique<FluidSynthDevice>(config_), nullptr);
        output_->setDeviceLostHandler([this] { ++lost_; });
        ASSERT_TRUE(output_->open(SystemMidiOutput::kSynthDevice));
        ASSERT_EQ(output_->synthesizer().audioDriver(), "pulseaudio");
    }
    // A synthesizer left to a held output is freed once the server lets
    // go: that thread is waited for, so that it does not end while the
    // process does.
    void TearDown() override
    {
        output_.reset();
        server_.stop();
        test::waitForThreadsBackTo(threadsBefore_);
    }

    // Looks at the output as the program does, though more often, until it
    // has news. None when it has none within ten seconds.
    PortNews news()
    {
        for (const QDeadlineTimer deadline(10000); !deadline.hasExpired(); QThread::msleep(20))
            if (const PortNews news = output_->checkDevice(); news != PortNews::None)
                return news;
        return PortNews::None;
    }

    // Looks at the output a few times in a row: it has no news.
    void hasNoNews()
    {
        for (int look = 0; look < 3; ++look)
            EXPECT_EQ(output_->checkDevice(), PortNews::None);
    }

    // Whether a note is heard; the output then plays on for half a second,
    // so that it has got going (a stream the server has just taken may
    // well be silent for a second or more).
    bool playsNote(int note)
    {
        const bool heard = server_.playsSound([&] { output_->send(packShortMessage(midi::kNoteOn, note, 127)); });
        QThread::msleep(500);
        return heard;
    }

    int argc_ = 1;
    char name_[5] = "test";
    char* argv_[2] = {name_, nullptr};
    QCoreApplication app_ {argc_, argv_};
    FluidSynthDevice::Config config_ = FluidSynthDevice::Config::fromEnvironment();
    test::PulseTestServer server_;
    qsizetype threadsBefore_ = 0;
    std::unique_ptr<SystemMidiOutput> output_;
    int lost_ = 0;
};

// Restarted: the output stops, waits while there is no server, and plays
// again through the new one with the instruments it had.
TEST_F(PulseAudioServer, ThatRestartsIsPlayedThroughAgain)
{
    ASSERT_TRUE(output_->send(packShortMessage(midi::kProgramChange, 24, 0)));
    ASSERT_TRUE(playsNote(60));
    server_.stop();
    EXPECT_EQ(news(), PortNews::Gone);
    // What was put off at the start (the drum kit) loads without an output.
    EXPECT_FALSE(output_->loadDeferred());
    hasNoNews();
    RESTART_OR_SKIP(server_);
    EXPECT_EQ(news(), PortNews::Back);
    EXPECT_EQ(output_->synthesizer().programOf(0), 24);
    EXPECT_EQ(output_->synthesizer().programOf(midi::kDrumChannel), 0);
    EXPECT_TRUE(playsNote(64));
    QCoreApplication::processEvents();
    EXPECT_EQ(lost_, 0);
}

// Idle, the output rests and is not taken for one that stopped playing;
// a server that goes away meanwhile is seen to (a stream whose server has
// gone does not rest), and the output plays through the next one, also
// once it has rested there.
TEST_F(PulseAudioServer, ThatGoesAwayWhileTheOutputRestsIsSeenToGo)
{
    const auto idle = [this] {
        for (const QDeadlineTimer deadline(3000); !deadline.hasExpired(); QThread::msleep(20))
            ASSERT_EQ(output_->checkDevice(), PortNews::None);
    };
    idle();
    server_.stop();
    EXPECT_EQ(news(), PortNews::Gone);
    RESTART_OR_SKIP(server_);
    EXPECT_EQ(news(), PortNews::Back);
    idle();
    EXPECT_TRUE(playsNote(64));
}

// Hung for a while: the output waits in it, silent, while the device stays
// open, and plays again once the server goes on. Closed while the server is
// hung, the device does not wait for it.
TEST_F(PulseAudioServer, ThatHangsIsPlayedThroughOnceItGoesOn)
{
    ASSERT_TRUE(playsNote(60));
    server_.hold(true);
    EXPECT_EQ(news(), PortNews::Gone);
    hasNoNews();
    EXPECT_TRUE(output_->synthesizer().isOpen());
    server_.hold(false);
    EXPECT_EQ(news(), PortNews::Back);
    EXPECT_TRUE(playsNote(64));

    server_.hold(true);
    EXPECT_EQ(news(), PortNews::Gone);
    QElapsedTimer closing;
    closing.start();
    output_->close();
    EXPECT_LT(closing.elapsed(), 1000);
    server_.hold(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(lost_, 0);
}

// A server that comes back but does not answer the new output's start
// loses the device, once.
TEST_F(PulseAudioServer, ThatHangsAsTheOutputStartsAgainLosesTheDeviceOnce)
{
    ASSERT_TRUE(playsNote(60));
    server_.stop();
    EXPECT_EQ(news(), PortNews::Gone);
    RESTART_OR_SKIP(server_);
    server_.hold(true);
    EXPECT_EQ(news(), PortNews::Gone);
    EXPECT_FALSE(output_->synthesizer().isOpen());
    QCoreApplication::processEvents();
    EXPECT_EQ(lost_, 1);
    EXPECT_EQ(output_->checkDevice(), PortNews::None);
    QCoreApplication::processEvents();
    EXPECT_EQ(lost_, 1);
    server_.hold(false);
}

// A server that starts after the synthesizer found none, or that was hung
// when it opened and goes on to answer the start that was given up: the
// output says, once, that the synthesizer may open now, and it plays
// through it. Once the device is closed (at exit, say), that is no longer
// said.
class PulseAudioServerAfterAFailedOpen : public PulseAudioServer, public ::testing::WithParamInterface<bool> { };

TEST_P(PulseAudioServerAfterAFailedOpen, IsToldOfOnce)
{
    const bool hung = GetParam();
    output_->close();
    if (hung)
        server_.hold(true);
    else
        server_.stop();
    ASSERT_FALSE(output_->open(SystemMidiOutput::kSynthDevice));
    hasNoNews();
    if (hung)
        server_.hold(false);
    else
        RESTART_OR_SKIP(server_);
    EXPECT_EQ(news(), PortNews::Ready);
    EXPECT_EQ(output_->checkDevice(), PortNews::None);
    ASSERT_TRUE(output_->open(SystemMidiOutput::kSynthDevice));
    EXPECT_TRUE(playsNote(60));

    output_->close();
    server_.stop();
    ASSERT_FALSE(output_->open(SystemMidiOutput::kSynthDevice));
    output_->close();
    RESTART_OR_SKIP(server_);
    EXPECT_EQ(output_->checkDevice(), PortNews::None);
}

INSTANTIATE_TEST_SUITE_P(Servers, PulseAudioServerAfterAFailedOpen, ::testing::Values(false, true),
    [](const ::testing::TestParamInfo<bool>& info) { return std::string(info.param ? "Hung" : "Stopped"); });

} // namespace
} // namespace clavora
