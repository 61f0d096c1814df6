#include "FakePlatform.h"
#include "keys/KeyCodes.h"
#include "piano/Piano.h"
#include "platform/MidiConstants.h"
#include "platform/MidiOutput.h"
#include "platform/RecordingMidiOutput.h"
#include "sound/MidiPort.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace clavora {
namespace {

using Log = std::vector<std::string>;

// Keeps the packed words exactly as the port hands them to the device.
class PackedOutput final : public MidiOutput {
public:
    int deviceCount() const override { return 1; }
    std::string deviceName(int) const override { return "Packed"; }
    bool open(int) override { return opened = true; }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    bool send(std::uint32_t message) override
    {
        words.push_back(message);
        return true;
    }

    bool opened = false;
    std::vector<std::uint32_t> words;
};

TEST(MidiPortSend, PacksStatusAndDataBytesIntoOneWord)
{
    EXPECT_EQ(midi::packShortMessage(0x90, 127, 100), 6586256u);

    PackedOutput output;
    test::FakePlatform platform;
    sound::MidiPort port(output, platform);
    port.openMidiOut();
    port.sendShortMessage(0x90, 127, 100);
    port.sendShortMessage(0xC7, 50, 0);
    EXPECT_EQ(output.words, (std::vector<std::uint32_t>{6586256u, 0xC7u + 50u * 256u}));
}

TEST(MidiPortSend, DropsDataOneOutsideTheMidiRangeAndKeepsVelocityZeroNoteOns)
{
    RecordingMidiOutput midi;
    test::FakePlatform platform;
    sound::MidiPort port(midi, platform);
    port.openMidiOut();
    midi.clear();

    port.sendShortMessage(0x90, 128, 100);
    port.sendShortMessage(0x90, -1, 100);
    EXPECT_TRUE(midi.log().empty());

    port.sendShortMessage(0x90, 0, 100);
    port.sendShortMessage(0x93, 60, 0);  // a slot volume of 0: still a note-on
    EXPECT_EQ(midi.log(), (Log{"90 00 64", "93 3C 00"}));
}

TEST(MidiPortChannels, MapsSlotsToChannelsAndNeverToTheDrumChannel)
{
    using sound::midiChannelOf;
    EXPECT_EQ(midiChannelOf(0), 0);
    EXPECT_EQ(midiChannelOf(15), 0);
    EXPECT_EQ(midiChannelOf(-1), 0);
    EXPECT_EQ(midiChannelOf(-32768), 0);
    EXPECT_EQ(midiChannelOf(9), 8);
    EXPECT_EQ(midiChannelOf(10), 10);
    EXPECT_EQ(midiChannelOf(14), 14);

    std::vector<int> mainChannels;
    std::vector<int> chordChannels;
    for (int slot = 1; slot <= 7; ++slot) {
        mainChannels.push_back(midiChannelOf(slot));
        chordChannels.push_back(midiChannelOf(slot + 7));
    }
    EXPECT_EQ(mainChannels, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(chordChannels, (std::vector<int>{7, 8, 10, 11, 12, 13, 14}));
}

TEST(MidiPortSilence, SendsAllSoundOffOnEveryChannelInOrder)
{
    RecordingMidiOutput midi;
    test::FakePlatform platform;
    sound::MidiPort port(midi, platform);
    Piano piano(port, platform);
    piano.startUp();
    midi.clear();

    piano.silence();

    std::vector<RecordingMidiOutput::Message> expected;
    for (int channel = 0; channel < 16; ++channel)
        expected.push_back({0, 0xB0 + channel, 120, 0});
    EXPECT_EQ(midi.messages(), expected);
}

TEST(MidiPortOpen, WarnsOnceWhenDeviceZeroCannotBeOpenedAndThenStaysSilent)
{
    RecordingMidiOutput midi;
    midi.setFailing({0});
    test::FakePlatform platform;
    sound::MidiPort port(midi, platform);
    Piano piano(port, platform);

    piano.startUp();

    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(platform.boxes[0].title, "Warning");
    EXPECT_EQ(platform.boxes[0].text, "Unable to access the MIDI Device.\n\nNo sound will be played");
    EXPECT_EQ(midi.openCount(), 1);

    // The program carries on: keys and commands work, nothing reaches a device.
    piano.keyDown('Z', 0);
    piano.keyUp('Z', 0);
    piano.keyDown(keys::kRight, 0);
    piano.silence();
    EXPECT_TRUE(midi.messages().empty());
    EXPECT_NE(port.midiResult(), 0);
    EXPECT_EQ(platform.boxes.size(), 1u);
}

TEST(MidiPortOpen, WarnsWhenTheSystemHasNoMidiOutputAtAll)
{
    RecordingMidiOutput midi(std::vector<std::string>{});
    test::FakePlatform platform;
    sound::MidiPort port(midi, platform);
    port.openMidiOut();
    port.sendShortMessage(0x90, 60, 100);
    EXPECT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(midi.messages().empty());
}

TEST(MidiPortOpen, OpeningAChosenDeviceReportsFailureWithoutABox)
{
    RecordingMidiOutput midi({"First", "Second"});
    midi.setFailing({1});
    test::FakePlatform platform;
    sound::MidiPort port(midi, platform);

    EXPECT_FALSE(port.openMidiOutDevice(1));
    EXPECT_FALSE(port.openMidiOutDevice(-2));
    EXPECT_TRUE(port.openMidiOutDevice(0));
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(port.midiOutCount(), 2);
    EXPECT_EQ(port.midiOutName(1), "Second");
}

} // namespace
} // namespace clavora
