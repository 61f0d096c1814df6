#include "PlayingFixture.h"
#include "TextDigest.h"
#include "platform/ForwardingMidiOutput.h"
#include "sound/GmNames.h"

#include <deque>

namespace clavora::test {
namespace {

// On device 0 as after start-up.
TEST_F(PlayingTest, MidiPortSendsDataOneInsideTheMidiRangeOnlyAndKeepsVelocityZero)
{
    for (const int key : {128, -1, 0, 127})
        port.sendShortMessage(0x90, key, 100);
    port.sendShortMessage(0x93, 60, 0); // a slot volume of 0: still a note-on
    port.sendShortMessage(0xC7, 50, 0);
    EXPECT_EQ(sent(), (Log {"90 00 64", "90 7F 64", "93 3C 00", "C7 32 00"}));
}

// The first of the answers queued, taken off; `otherwise` when none is left.
template <typename Answer> Answer next(std::deque<Answer>& queued, Answer otherwise)
{
    if (queued.empty())
        return otherwise;
    const Answer first = queued.front();
    queued.pop_front();
    return first;
}

// An output that tells the news it is given, one at each look.
struct Returning final : ForwardingMidiOutput {
    using ForwardingMidiOutput::ForwardingMidiOutput;
    PortNews checkDevice() override { return next(news, PortNews::None); }
    std::deque<PortNews> news {PortNews::None, PortNews::Gone, PortNews::Back};
};

// An output over a recording device of three; the port's looks at it wait
// for the test to move the clock.
template <typename Output> struct PortOver : ::testing::Test {
    PortOver() { platform.heldTimers = true; }

    RecordingMidiOutput midi {{"Synthesizer", "Port A", "Port B"}};
    Output device {midi};
    FakePlatform platform;
    sound::MidiPort port {device, platform};
};
using ReturningPort = PortOver<Returning>;

// Another program's port that left and came back hears the last controller
// values (a reset forgets a channel's; the channel mode messages are not
// settings) and program of every channel again, in channel order; news
// that it is still there, or gone, sends nothing.
TEST_F(ReturningPort, ADeviceThatIsBackHearsTheLastControllersAndProgramOfEachChannel)
{
    ASSERT_TRUE(port.openMidiOutDevice(0));
    port.sendShortMessage(0xC3, 40, 0);
    port.sendShortMessage(0xCF, 5, 0);
    port.sendShortMessage(0xC3, 41, 0);
    port.sendShortMessage(0x93, 60, 100);
    for (const auto& [status, controller, value] : {std::tuple {0xB3, 64, 127}, {0xB3, 7, 90}, {0xB3, 7, 100},
             {0xB3, 0, 1}, {0xB3, 120, 0}, {0xB3, 123, 0}, {0xB5, 10, 20}, {0xB5, 121, 0}, {0xBF, 119, 0}})
        port.sendShortMessage(status, controller, value);
    port.followDevice();
    midi.clear();
    platform.advance(sound::MidiPort::kDeviceCheck * 2);
    EXPECT_EQ(midi.log(), Log {});
    platform.advance(sound::MidiPort::kDeviceCheck);
    EXPECT_EQ(midi.log(), (Log {"B3 00 01", "B3 07 64", "B3 40 7F", "C3 29 00", "BF 77 00", "CF 05 00"}));
    EXPECT_TRUE(device.news.empty());
}

// Device 0 that found no audio output at start is opened again once the
// output says it may work, and hears the last programs; nothing more is
// said than the warning at start.
TEST_F(ReturningPort, DeviceZeroThatFailedIsOpenedWhenItMayWorkAndHearsTheLastPrograms)
{
    midi.setFailing({0});
    device.news = {PortNews::None, PortNews::Ready};
    port.openMidiOut();
    ASSERT_EQ(platform.boxes.size(), 1U);
    port.sendShortMessage(0xC3, 40, 0);
    port.followDevice();
    midi.setFailing({});
    midi.clear();
    platform.advance(sound::MidiPort::kDeviceCheck);
    EXPECT_EQ(midi.log(), Log {});
    platform.advance(sound::MidiPort::kDeviceCheck);
    EXPECT_EQ(midi.log(), (Log {"open 0", "C3 28 00"}));
    EXPECT_EQ(port.midiResult(), 0);
    EXPECT_EQ(platform.boxes.size(), 1U);
}

// An output whose device can be lost, and then says at each look whether
// it is back.
struct Losing final : ForwardingMidiOutput {
    using ForwardingMidiOutput::ForwardingMidiOutput;
    void setDeviceLostHandler(std::function<void()> handler) override { lose = std::move(handler); }
    int lostDeviceBack() override { return next(back, -1); }
    void forgetLostDevice() override
    {
        static_cast<RecordingMidiOutput&>(inner()).note("forget");
        back.clear();
    }
    std::function<void()> lose;
    std::deque<int> back;
};

struct LostPortCase {
    const char* name;
    // Between the loss and the return the user chooses device 2 (as a setup
    // does), or the output is closed (as at exit).
    enum { Nothing, Choose, Close } meanwhile;
    bool opensAgain;
    Log returning; // at the look that finds the port back
    int deviceAfter;
    std::string nameAfter; // of the device chosen, as a setup saved then names it
};

class LostPort : public PortOver<Losing>, public ::testing::WithParamInterface<LostPortCase> { };

// A port lost with its server: device 0 takes over with a warning, then the
// port takes over again at the look that finds it back, without a box, and
// hears the settings in force in channel order. Choosing a device, or
// closing the output, meanwhile stops the wait; a port that refuses to open
// leaves device 0 playing.
TEST_P(LostPort, TakesOverFromDeviceZeroOnceItIsBackUnlessAnotherWasChosen)
{
    const LostPortCase& c = GetParam();
    port.fallBackWhenLost([&] { port.sendShortMessage(0xC0, 0, 0); });
    // The first port after the synthesizer is the one lost.
    ASSERT_TRUE(port.openMidiOutDevice(1));
    port.setCurrentMidiDevice(1);
    port.sendShortMessage(0xB1, 7, 90);
    port.followDevice();
    device.back = {-1, 1};
    midi.clear();
    device.lose();
    EXPECT_EQ(midi.log(), (Log {"close", "open 0", "C0 00 00"}));
    ASSERT_EQ(platform.boxes.size(), 1U);
    EXPECT_EQ(platform.boxes[0].text, sound::MidiPort::kDeviceLostText);
    EXPECT_EQ(port.currentMidiDevice(), sound::MidiPort::kDefaultDevice);
    EXPECT_EQ(port.chosenDeviceName(), "Port A") << "a setup saved meanwhile names it";
    if (c.meanwhile == LostPortCase::Choose) {
        ASSERT_TRUE(port.openMidiOutDevice(2));
        port.setCurrentMidiDevice(2);
    } else if (c.meanwhile == LostPortCase::Close) {
        port.closeMidiOut();
    }
    if (!c.opensAgain)
        midi.setFailing({1});
    platform.advance(sound::MidiPort::kDeviceCheck);
    midi.clear();
    platform.advance(sound::MidiPort::kDeviceCheck);
    EXPECT_EQ(midi.log(), c.returning);
    EXPECT_EQ(port.currentMidiDevice(), c.deviceAfter);
    EXPECT_EQ(port.chosenDeviceName(), c.nameAfter);
    EXPECT_EQ(platform.boxes.size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(Returns, LostPort,
    ::testing::Values(
        LostPortCase {"Back", LostPortCase::Nothing, true, {"open 1", "C0 00 00", "B1 07 5A"}, 1, "Port A"},
        LostPortCase {"AnotherChosen", LostPortCase::Choose, true, {}, 2, "Port B"},
        LostPortCase {"Closed", LostPortCase::Close, true, {}, sound::MidiPort::kDefaultDevice, "Synthesizer"},
        LostPortCase {"RefusesToOpen", LostPortCase::Nothing, false, {"open 1", "open 0", "C0 00 00", "B1 07 5A"},
            sound::MidiPort::kDefaultDevice, "Synthesizer"}),
    [](const ::testing::TestParamInfo<LostPortCase>& info) { return std::string(info.param.name); });

TEST(MidiPort, MapsSlotsToChannelsAndNeverToTheDrumChannel)
{
    const std::pair<int, int> slotChannel[] = {
        {1, 0}, {2, 1}, {7, 6}, {8, 7}, {9, 8}, {10, 10}, {14, 14}, {0, 0}, {15, 0}, {-1, 0}, {-32768, 0}, {32767, 0}};
    for (const auto& [slot, channel] : slotChannel)
        EXPECT_EQ(sound::midiChannelOf(slot), channel) << "slot " << slot;
}

// Every label and drum line as the user reads them, the program's own
// spellings (and the trailing blank of program 31) included; numbers
// outside the tables have no name.
TEST(GmNames, EveryLabelAndDrumLineAsDesigned)
{
    QStringList labels;
    for (int program = 0; program < sound::kInstrumentCount; ++program)
        labels << sound::instrumentLabel(program);
    QStringList drums;
    for (int number = 0; number < sound::kDrumNameCount; ++number)
        drums << sound::drumNameLine(number);
    EXPECT_EQ(textDigest(labels), "35c3f320ee224521") << labels.join('\n').toStdString();
    EXPECT_EQ(textDigest(drums), "4c0ebaa7ba51fecd") << drums.join('\n').toStdString();
    for (const int outside : {-1, sound::kInstrumentCount})
        EXPECT_TRUE(sound::instrumentName(outside).isEmpty()) << outside;
    for (const int outside : {-1, sound::kDrumNameCount})
        EXPECT_TRUE(sound::drumName(outside).isEmpty()) << outside;
}

} // namespace
} // namespace clavora::test
