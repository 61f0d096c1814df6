#include "StderrCapture.h"
#include "platform/FluidSynthDevice.h"
#include "platform/MidiConstants.h"
#include "platform/SystemMidiOutput.h"

#include <gtest/gtest.h>

namespace clavora {
namespace {

using midi::packShortMessage;
using test::StderrCapture;
using Bytes = std::vector<std::uint8_t>;

class FakePorts final : public MidiPorts {
public:
    std::vector<std::string> portNames() override
    {
        ++reads;
        return names;
    }
    bool openPort(int index) override
    {
        opened.push_back(index);
        if (index < 0 || index >= static_cast<int>(names.size()))
            return false;
        open = index;
        return true;
    }
    void closePort() override
    {
        ++closes;
        open = -1;
    }
    bool sendBytes(const Bytes& bytes) override
    {
        if (open < 0)
            return false;
        sent.push_back(bytes);
        return true;
    }

    std::vector<std::string> names;
    std::vector<int> opened;
    std::vector<Bytes> sent;
    int open = -1;
    int closes = 0;
    int reads = 0;
};

// A synthesizer that cannot open: no SoundFont.
std::unique_ptr<FluidSynthDevice> mutedSynth()
{
    return std::make_unique<FluidSynthDevice>(FluidSynthDevice::Config{{}, ""});
}

struct Fixture {
    explicit Fixture(std::vector<std::string> names)
    {
        auto owned = std::make_unique<FakePorts>();
        owned->names = std::move(names);
        ports = owned.get();
        output = std::make_unique<SystemMidiOutput>(mutedSynth(), std::move(owned));
    }
    FakePorts* ports;
    std::unique_ptr<SystemMidiOutput> output;
};

TEST(SystemMidiOutput, ListsTheSynthesizerThenThePortsWithNamesCutTo32Characters)
{
    Fixture f({"Midi Through:Midi Through Port-0 14:0", "USB Keys:USB Keys MIDI 1 20:0", "Señal Ñandú Piano Eléctrico Uno Dos"});
    SystemMidiOutput& out = *f.output;
    ASSERT_EQ(out.deviceCount(), 4);
    EXPECT_EQ(out.deviceName(0), "Built-in Synthesizer");
    EXPECT_EQ(out.deviceName(1), "Midi Through:Midi Through Port-0");
    EXPECT_EQ(out.deviceName(1).size(), 32u);
    EXPECT_EQ(out.deviceName(2), "USB Keys:USB Keys MIDI 1 20:0");
    // Cut by characters, not bytes.
    EXPECT_EQ(out.deviceName(3), "Señal Ñandú Piano Eléctrico Uno ");
    EXPECT_EQ(out.deviceName(4), "");
    EXPECT_EQ(out.deviceName(-1), "");
}

TEST(SystemMidiOutput, ReadsThePortListAgainOnlyOnRefresh)
{
    Fixture f({"A"});
    SystemMidiOutput& out = *f.output;
    f.ports->names.push_back("B");
    EXPECT_EQ(out.deviceCount(), 2);
    EXPECT_EQ(out.deviceName(2), "");
    out.refresh();
    EXPECT_EQ(out.deviceCount(), 3);
    EXPECT_EQ(out.deviceName(2), "B");
    f.ports->names.clear();
    out.refresh();
    EXPECT_EQ(out.deviceCount(), 1);
}

TEST(SystemMidiOutput, OpensThePortListedEvenIfItMovedAndFailsIfItHasGone)
{
    Fixture f({"A", "B", "C"});
    SystemMidiOutput& out = *f.output;

    EXPECT_TRUE(out.open(2));
    EXPECT_EQ(f.ports->open, 1);
    EXPECT_TRUE(out.isOpen());

    // "A" unplugged since the list was read: "C" is now the second port.
    f.ports->names = {"B", "C"};
    EXPECT_TRUE(out.open(3));
    EXPECT_EQ(f.ports->open, 1);

    // "B" unplugged too.
    f.ports->names = {"C"};
    EXPECT_FALSE(out.open(2));
    EXPECT_FALSE(out.isOpen());
    EXPECT_EQ(f.ports->open, -1);
    EXPECT_FALSE(out.send(packShortMessage(midi::kNoteOn, 60, 100)));

    EXPECT_FALSE(out.open(4));
    EXPECT_FALSE(out.open(-1));
}

TEST(SystemMidiOutput, OpeningADeviceClosesTheOneOpenBefore)
{
    Fixture f({"A", "B"});
    SystemMidiOutput& out = *f.output;
    ASSERT_TRUE(out.open(1));
    const int closesBefore = f.ports->closes;
    ASSERT_TRUE(out.open(2));
    EXPECT_EQ(f.ports->closes, closesBefore + 1);
    out.close();
    EXPECT_FALSE(out.isOpen());
    EXPECT_EQ(f.ports->open, -1);
}

TEST(SystemMidiOutput, SendsProgramChangesAsTwoBytesAndOtherMessagesAsThree)
{
    Fixture f({"A"});
    SystemMidiOutput& out = *f.output;
    EXPECT_FALSE(out.send(packShortMessage(0x90, 60, 100))) << "nothing open";
    ASSERT_TRUE(out.open(1));
    EXPECT_TRUE(out.send(packShortMessage(0x93, 0x3C, 0x64)));
    EXPECT_TRUE(out.send(packShortMessage(0x83, 0x3C, 0)));
    EXPECT_TRUE(out.send(packShortMessage(0xC5, 19, 0)));
    EXPECT_TRUE(out.send(packShortMessage(0xBF, midi::kAllSoundOff, 0)));
    EXPECT_TRUE(out.send(packShortMessage(0x90, 60, 0)));
    EXPECT_EQ(f.ports->sent, (std::vector<Bytes>{
        {0x93, 0x3C, 0x64}, {0x83, 0x3C, 0x00}, {0xC5, 19}, {0xBF, 120, 0}, {0x90, 60, 0}}));
}

TEST(SystemMidiOutput, RefusesBytesTheDeviceWouldMisread)
{
    Fixture f({"A"});
    SystemMidiOutput& out = *f.output;
    ASSERT_TRUE(out.open(1));
    // A data byte with the top bit set would read as a new status byte.
    EXPECT_FALSE(out.send(packShortMessage(0x90, 0x80, 100)));
    EXPECT_FALSE(out.send(packShortMessage(0x90, 60, 200)));
    // Not a status byte at all, or a system message.
    EXPECT_FALSE(out.send(packShortMessage(0x3C, 60, 100)));
    EXPECT_FALSE(out.send(packShortMessage(0xF0, 60, 100)));
    EXPECT_TRUE(f.ports->sent.empty());
    // A program change carries no second data byte to check.
    EXPECT_TRUE(out.send(packShortMessage(0xC0, 5, 200)));
    EXPECT_EQ(f.ports->sent, (std::vector<Bytes>{{0xC0, 5}}));
}

TEST(SystemMidiOutput, BuiltInSynthesizerThatCannotOpenLeavesNothingOpen)
{
    Fixture f({"A"});
    SystemMidiOutput& out = *f.output;
    ASSERT_TRUE(out.open(1));
    EXPECT_FALSE(out.open(0));
    EXPECT_FALSE(out.isOpen());
    EXPECT_EQ(f.ports->open, -1);
    EXPECT_FALSE(out.send(packShortMessage(0x90, 60, 100)));
}

TEST(SystemMidiOutput, WithoutPortsOnlyTheSynthesizerIsListed)
{
    SystemMidiOutput out(mutedSynth(), nullptr);
    out.refresh();
    EXPECT_EQ(out.deviceCount(), 1);
    EXPECT_EQ(out.deviceName(0), "Built-in Synthesizer");
    EXPECT_FALSE(out.open(1));
}

TEST(SystemMidiOutput, TheSystemsOwnPortsAreReadQuietly)
{
    StderrCapture capture;
    auto out = std::make_unique<SystemMidiOutput>();
    out->refresh();
    const int count = out->deviceCount();
    const std::string name = out->deviceName(0);
    out->open(count); // the last port, or the synthesizer when there is none
    out.reset();
    EXPECT_EQ(capture.finish(), "");
    EXPECT_GE(count, 1);
    EXPECT_EQ(name, "Built-in Synthesizer");
}

} // namespace
} // namespace clavora
